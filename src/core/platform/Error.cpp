// Error wording and the kinds of errno values.
#include "core/platform/Error.h"

#include <cerrno>
#include <cstring>

namespace rotaline {

namespace {

ErrorKind KindOfErrno(int code) {
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return ErrorKind::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorKind::AccessDenied;
    case EFBIG:
        return ErrorKind::TooLarge;
    case EISDIR:
        return ErrorKind::NotAFile;
    case EAGAIN:
    case EBUSY:
        return ErrorKind::Busy;
    case ENOSPC:
        return ErrorKind::NoSpace;
    case EINVAL:
        return ErrorKind::Invalid;
    default:
        return ErrorKind::Other;
    }
}

} // namespace

const char* CommonWording(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::NotFound:
        return "No such file or directory";
    case ErrorKind::AccessDenied:
        return "Permission denied";
    case ErrorKind::NoSpace:
        return "No space left on device";
    default:
        return nullptr;
    }
}

std::string Error::Message() const {
    return path.empty() ? detail : path + ": " + detail;
}

Error Error::At(const std::string& nativePath) && {
    if (path.empty()) {
        path = nativePath;
    }
    return std::move(*this);
}

Error MakeError(ErrorKind kind, std::string detail) {
    return Error{kind, ErrorSystem::None, 0, {}, std::move(detail)};
}

Error PosixError(int code, std::string detail) {
    const ErrorKind kind = KindOfErrno(code);
    // The C library's own words, which for the kinds with common wording are those words.
    if (detail.empty()) {
        detail = std::strerror(code);
    }
    return Error{kind, ErrorSystem::Posix, code, {}, std::move(detail)};
}

} // namespace rotaline
