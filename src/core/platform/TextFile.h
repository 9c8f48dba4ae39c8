// Reads a file whole and replaces a file's content safely, as raw bytes.
#pragma once

#include "core/platform/Error.h"

#include <cstddef>
#include <string>

namespace rotaline {

// Reads the file at a native path. Anything but a regular file (a folder, a pipe, a device) is
// refused without blocking; so is a file larger than `maxBytes`. Errors carry the path.
Result<std::string> ReadWholeFile(const std::string& nativePath, std::size_t maxBytes);

// Replaces the content of the file at a native path with `bytes` so that the old content stays
// whole if anything fails, and so that who may read or write the file does not change: owner,
// group, mode bits, ACL, extended attributes, other hard links and a mount on the file stay.
// Where a new file can carry all of that, the new content goes to a temporary file in the same
// folder (unnamed until complete where the system allows; else named so that a later save can
// remove it if the save is killed), is flushed and then takes the old file's place in one step.
// Elsewhere it is written into the file itself, the old bytes kept until the new ones are
// flushed and put back on failure. A symbolic link stays a link and its target is replaced,
// unless another account planted it (on POSIX: the link's owner is neither the user nor the
// target's owner); a read-only file is refused.
Result<void> ReplaceFileContent(const std::string& nativePath, const std::string& bytes);

} // namespace rotaline
