// A failed operating-system call: its error code and the system's own wording of it.
#pragma once

#include <string>

namespace rotaline {

struct SystemError {
    int code = 0;
    std::string message;
};

} // namespace rotaline
