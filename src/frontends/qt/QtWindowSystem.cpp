// The program's windows as Qt widgets.
#include "frontends/qt/QtWindowSystem.h"

#include "core/lists/RandomSource.h"
#include "frontends/qt/FrmMods.h"
#include "frontends/qt/FrmRotaline.h"
#include "frontends/qt/WindowLook.h"

#include <QCoreApplication>
#include <QWidget>

#include <algorithm>

namespace rotaline {

QtWindowSystem::QtWindowSystem(MessageBoxes& messages) : messages_(messages) {
    LoadWindowFonts();
}

QtWindowSystem::~QtWindowSystem() {
    // Windows still loaded when the program ends go with it, newest first.
    while (!loaded_.empty()) {
        QWidget* widget = dynamic_cast<QWidget*>(loaded_.back());
        loaded_.pop_back();
        delete widget;
    }
}

bool QtWindowSystem::Start(const std::optional<std::string>& installPathOverride) {
    chooser_ = new frmMODS(*this);
    Register(*chooser_);
    chooser_->Form_Load(installPathOverride);
    if (!IsLoaded(*chooser_)) {
        return false;
    }
    chooser_->Show();
    return true;
}

std::int16_t QtWindowSystem::FormsCount() const {
    return static_cast<std::int16_t>(loaded_.size());
}

Form& QtWindowSystem::FormAt(std::int16_t index) {
    return *loaded_.at(static_cast<std::size_t>(index));
}

void QtWindowSystem::Register(Form& form) {
    loaded_.push_back(&form);
}

bool QtWindowSystem::IsLoaded(const Form& form) const {
    return std::find(loaded_.begin(), loaded_.end(), &form) != loaded_.end();
}

void QtWindowSystem::Unload(Form& form) {
    if (!IsLoaded(form)) {
        return;
    }
    if (&form == chooser_) {
        chooser_->Form_Unload();
    }
    std::erase(loaded_, &form);
    if (&form == chooser_) {
        chooser_ = nullptr;
    }
    if (&form == editor_) {
        editor_ = nullptr;
    }
    QWidget* widget = dynamic_cast<QWidget*>(&form);
    widget->hide();
    // The unload may come from one of the window's own handlers, still on the stack.
    widget->deleteLater();
    if (loaded_.empty()) {
        QCoreApplication::quit();
    }
}

Form& QtWindowSystem::Chooser() {
    return *chooser_;
}

EditorForm& QtWindowSystem::LoadEditor() {
    if (editor_ == nullptr) {
        std::shared_ptr<RandomSource> random = random_;
        if (!random) {
            random = MakeClockRandomSource();
        }
        editor_ = new frmRotaline(*this, chooser_, std::move(random));
        Register(*editor_);
    }
    return *editor_;
}

} // namespace rotaline
