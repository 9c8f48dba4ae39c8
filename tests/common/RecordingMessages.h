// Message boxes that are recorded instead of shown, so that tests read them without a modal loop.
#pragma once

#include "core/session/MessageBoxes.h"

#include <string>
#include <vector>

namespace rotaline::testing {

struct ShownMessage {
    std::string text;
    std::string title;
    MessageIcon icon;
};

struct RecordingMessages : MessageBoxes {
    void Show(const std::string& text, const std::string& title, MessageIcon icon) override {
        shown.push_back({text, title, icon});
    }
    std::vector<ShownMessage> shown;
};

} // namespace rotaline::testing
