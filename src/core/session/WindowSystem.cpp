// The list of loaded windows and the rules for unloading them.
#include "core/session/WindowSystem.h"

#include "core/session/SaveAndReturn.h"
#include "core/session/Shutdown.h"

#include <algorithm>

namespace rotaline {

bool WindowSystem::IsLoaded(const Form& form) const {
    return std::find(loaded_.begin(), loaded_.end(), &form) != loaded_.end();
}

void WindowSystem::LoadChooser(Form& chooser) {
    chooser_ = &chooser;
    loaded_.push_back(&chooser);
}

EditorForm& WindowSystem::LoadEditor() {
    if (editor_ == nullptr) {
        editor_ = &CreateEditor();
        loaded_.push_back(editor_);
    }
    return *editor_;
}

void WindowSystem::Unload(Form& form) {
    if (!IsLoaded(form)) {
        return;
    }
    if (&form == chooser_) {
        Form_Unload(*this);
        chooser_ = nullptr;
    }
    if (&form == editor_) {
        editor_ = nullptr;
    }
    std::erase(loaded_, &form);
    DestroyForm(form);
    if (loaded_.empty()) {
        Quit();
    }
}

void WindowSystem::ChooserCloseBox() {
    if (chooser_ != nullptr) {
        Unload(*chooser_);
    }
}

void WindowSystem::EditorCloseBox() {
    if (editor_ != nullptr) {
        cmdClose_Click(*this, *editor_);
    }
}

} // namespace rotaline
