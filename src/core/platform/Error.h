// The one error value of the core, and the result type that carries a value or an error.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace rotaline {

// What went wrong, as far as the code acts on it; the same failure has the same kind on every
// system.
enum class ErrorKind {
    NotFound,
    AccessDenied,
    TooLarge,
    NotAFile,
    ChangedOnDisk,
    Busy,
    NoSpace,
    Invalid,
    Other,
};

// Which system's numbering `Error::systemCode` follows: errno values and Win32 codes overlap.
enum class ErrorSystem { None, Posix, Win32 };

struct Error {
    ErrorKind kind = ErrorKind::Other;
    ErrorSystem system = ErrorSystem::None;
    int systemCode = 0;
    std::string path;   // the native path the failure concerns, or empty
    std::string detail; // what happened, in words

    // "path: detail", or the detail alone when no path is known.
    std::string Message() const;
    // The same error about `nativePath`, when it has none yet.
    Error At(const std::string& nativePath) &&;
};

// The words for a kind that every system reports alike ("Permission denied"), or null: both
// systems' errors use them, so that the same failure reads the same.
const char* CommonWording(ErrorKind kind);

// An error the program itself finds, not reported by the system.
Error MakeError(ErrorKind kind, std::string detail);
// An errno value: its kind, and its wording (or `detail` when given).
Error PosixError(int code, std::string detail = {});

// A value or the error that kept it from being made, like C++23's std::expected.
template <typename T, typename E = Error> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    E& error() { return std::get<1>(state_); }
    const E& error() const { return std::get<1>(state_); }

private:
    std::variant<T, E> state_;
};

// An operation that gives nothing back but may fail.
template <typename E> class [[nodiscard]] Result<void, E> {
public:
    Result() = default;
    Result(E error) : error_(std::move(error)), failed_(true) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    E& error() { return error_; }
    const E& error() const { return error_; }

private:
    E error_{};
    bool failed_ = false;
};

} // namespace rotaline
