// Runs a window's handler so that a failure nobody expected is reported, not fatal.
#pragma once

#include "core/session/MessageBoxes.h"

#include <exception>
#include <string>
#include <utility>

namespace rotaline {

// The lists refuse, for instance, to grow past 32,767 items; the user learns why the click did
// nothing, and the lists stay as they were.
template <typename Handler> void RunGuarded(MessageBoxes& messages, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& failure) {
        messages.Show(std::string("The action was not carried out: ") + failure.what(),
                      "Cannot Continue", MessageIcon::Critical);
    }
}

} // namespace rotaline
