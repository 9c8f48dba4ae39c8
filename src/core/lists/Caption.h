// The text of a heading, with one listener that redraws it when it changes.
#pragma once

#include <functional>
#include <string>
#include <utility>

namespace rotaline {

class Caption {
public:
    explicit Caption(std::string text) : text_(std::move(text)) {}

    const std::string& Text() const { return text_; }
    void SetText(std::string text) {
        text_ = std::move(text);
        if (onChange_) {
            onChange_(text_);
        }
    }
    void OnChange(std::function<void(const std::string&)> onChange) {
        onChange_ = std::move(onChange);
    }

private:
    std::string text_;
    std::function<void(const std::string&)> onChange_;
};

} // namespace rotaline
