// Reads a file whole and replaces a file's content safely, as raw bytes.
#pragma once

#include "core/platform/SystemError.h"

#include <cstddef>
#include <optional>
#include <string>

namespace rotaline {

struct ReadResult {
    std::string bytes;
    std::optional<SystemError> error;
};

// Reads the file at a native path. Anything but a regular file (a folder, a pipe, a device) is
// refused without blocking; so is a file larger than `maxBytes`.
ReadResult ReadWholeFile(const std::string& nativePath, std::size_t maxBytes);

// Replaces the content of the file at a native path with `bytes` so that the old content stays
// whole if anything fails: the new content goes to a temporary file in the same folder, is
// flushed to disk and then put in the old file's place in one step. The old file's permission
// bits are kept; a symbolic link stays a link and its target is replaced; a read-only file is
// refused. No temporary file is left behind.
std::optional<SystemError> ReplaceFileContent(const std::string& nativePath,
                                              const std::string& bytes);

} // namespace rotaline
