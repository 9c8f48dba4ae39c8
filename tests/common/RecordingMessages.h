// Message boxes that are recorded instead of shown, so that tests read them without a modal loop.
#pragma once

#include "core/session/MessageBoxes.h"

#include <functional>
#include <string>
#include <vector>

namespace rotaline::testing {

struct ShownMessage {
    std::string text;
    std::string title;
    MessageIcon icon;
};

class RecordingMessages : public MessageBoxes {
public:
    void Show(const std::string& text, const std::string& title, MessageIcon icon) override {
        shown.push_back({text, title, icon});
        if (onShow) {
            onShow();
        }
    }

    std::vector<ShownMessage> shown;
    // Runs while the box would be open, as a user acting before dismissing it.
    std::function<void()> onShow;
};

} // namespace rotaline::testing
