// What the program's operations need from the window system: its loaded windows and messages.
#pragma once

#include "core/session/MessageBoxes.h"

#include <cstdint>

namespace rotaline {

struct EditorLists;

// A loaded window.
class Form {
public:
    virtual ~Form() = default;
    virtual void Show() = 0; // modeless
    virtual void Hide() = 0;
};

// The map cycle editor window, with the lists and headings it shows.
class EditorForm : public Form {
public:
    virtual EditorLists& Lists() = 0;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The loaded windows in the order they were loaded; the chooser is at position 0.
    virtual std::int16_t FormsCount() const = 0;
    virtual Form& FormAt(std::int16_t index) = 0;
    // Unloads a window: it leaves the list of loaded windows and its lists are discarded.
    virtual void Unload(Form& form) = 0;

    virtual Form& Chooser() = 0;
    // Loads the editor without showing it, or gives the one already loaded.
    virtual EditorForm& LoadEditor() = 0;

    virtual MessageBoxes& Messages() = 0;
};

} // namespace rotaline
