// The program's loaded windows: their order, loading and unloading, and when the program ends.
#pragma once

#include "core/session/MessageBoxes.h"

#include <cstdint>
#include <vector>

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

// Keeps the loaded windows in load order, the chooser at position 0. A front-end makes the
// windows and implements the hooks; which window goes when, and when the program ends, is
// decided here for every front-end alike.
class WindowSystem {
public:
    explicit WindowSystem(MessageBoxes& messages) : messages_(messages) {}
    virtual ~WindowSystem() = default;
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

    std::int16_t FormsCount() const { return static_cast<std::int16_t>(loaded_.size()); }
    Form& FormAt(std::int16_t index) { return *loaded_.at(static_cast<std::size_t>(index)); }
    bool IsLoaded(const Form& form) const;

    // Registers the chooser the front-end has made; it is the first window loaded.
    void LoadChooser(Form& chooser);
    Form& Chooser() { return *chooser_; }
    // Loads the editor without showing it, or gives the one already loaded.
    EditorForm& LoadEditor();
    // The loaded chooser and editor, or null.
    Form* LoadedChooser() const { return chooser_; }
    EditorForm* LoadedEditor() const { return editor_; }

    // Unloads a window: unloading the chooser first unloads every other window, from the last
    // loaded down; the program ends when no window is left. Unloading twice does nothing.
    void Unload(Form& form);

    // The close boxes: the chooser's ends the program as Exit does; the editor's returns to
    // the chooser as Close does, since a program with no window to reach is no use to anyone.
    void ChooserCloseBox();
    void EditorCloseBox();

    MessageBoxes& Messages() { return messages_; }

protected:
    virtual EditorForm& CreateEditor() = 0;
    // The window has left the list; the front-end hides it and frees it when it safely can.
    virtual void DestroyForm(Form& form) = 0;
    virtual void Quit() = 0;

private:
    MessageBoxes& messages_;
    std::vector<Form*> loaded_;
    Form* chooser_ = nullptr;
    EditorForm* editor_ = nullptr;
};

} // namespace rotaline
