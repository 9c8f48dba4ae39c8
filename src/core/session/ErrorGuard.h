// The guard every front-end puts around its actions: a failure nobody expected is reported in
// the front-end's way (a box, a line on standard error), not fatal.
#pragma once

#include "core/session/MessageBoxes.h"

#include <exception>
#include <string>
#include <utility>

namespace rotaline {

// Only broken invariants throw: the lists refuse, for instance, to grow past 32,767 items. The
// user learns why the action did nothing, and the lists stay as they were.
template <typename Handler, typename Report> void RunGuarded(Handler&& handler, Report&& report) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& failure) {
        std::forward<Report>(report)(std::string("The action was not carried out: ") +
                                     failure.what());
    }
}

// The windows' form: the failure in a "Cannot Continue" box.
template <typename Handler> void RunGuarded(MessageBoxes& messages, Handler&& handler) {
    RunGuarded(std::forward<Handler>(handler), [&messages](const std::string& text) {
        messages.Show(text, "Cannot Continue", MessageIcon::Critical);
    });
}

} // namespace rotaline
