// The program's windows as Qt widgets.
#include "frontends/qt/QtWindowSystem.h"

#include "core/lists/RandomSource.h"
#include "frontends/qt/FrmMods.h"
#include "frontends/qt/FrmRotaline.h"
#include "frontends/qt/WindowLook.h"

#include <QCoreApplication>

#include <vector>

namespace rotaline {

QtWindowSystem::QtWindowSystem(MessageBoxes& messages) : WindowSystem(messages) {
    LoadWindowFonts();
}

QtWindowSystem::~QtWindowSystem() {
    // Windows still loaded when the program ends go with it, newest first.
    std::vector<Form*> left;
    for (std::int16_t i = 0; i < FormsCount(); ++i) {
        left.push_back(&FormAt(i));
    }
    for (auto form = left.rbegin(); form != left.rend(); ++form) {
        delete dynamic_cast<QWidget*>(*form);
    }
}

bool QtWindowSystem::Start(const std::optional<std::string>& installPathOverride) {
    auto* chooser = new frmMODS(*this);
    LoadChooser(*chooser);
    chooser->Form_Load(installPathOverride);
    if (!IsLoaded(*chooser)) {
        return false;
    }
    chooser->Show();
    return true;
}

frmMODS* QtWindowSystem::ChooserWindow() const {
    return static_cast<frmMODS*>(LoadedChooser());
}

frmRotaline* QtWindowSystem::EditorWindow() const {
    return static_cast<frmRotaline*>(LoadedEditor());
}

EditorForm& QtWindowSystem::CreateEditor() {
    std::shared_ptr<RandomSource> random = random_ ? random_ : MakeClockRandomSource();
    return *new frmRotaline(*this, ChooserWindow(), std::move(random));
}

void QtWindowSystem::DestroyForm(Form& form) {
    auto* widget = dynamic_cast<QWidget*>(&form);
    widget->hide();
    // The unload may come from one of the window's own handlers, still on the stack.
    widget->deleteLater();
}

void QtWindowSystem::Quit() {
    QCoreApplication::quit();
}

} // namespace rotaline
