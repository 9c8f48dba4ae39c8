// The program's windows as Qt widgets: making, freeing, and ending the event loop.
#pragma once

#include "core/session/WindowSystem.h"

#include <memory>
#include <optional>
#include <string>

namespace rotaline {

class RandomSource;
class frmMODS;
class frmRotaline;

class QtWindowSystem : public WindowSystem {
public:
    explicit QtWindowSystem(MessageBoxes& messages);
    ~QtWindowSystem() override;

    // Loads the chooser, which runs start-up, and shows it unless start-up ended the program.
    // False when no window is left.
    bool Start(const std::optional<std::string>& installPathOverride);

    // The loaded windows, or null.
    frmMODS* ChooserWindow() const;
    frmRotaline* EditorWindow() const;
    // Shuffles of editors loaded from now on draw from this source instead of the clock.
    void UseRandomSource(std::shared_ptr<RandomSource> random) { random_ = std::move(random); }

private:
    EditorForm& CreateEditor() override;
    void DestroyForm(Form& form) override;
    void Quit() override;

    std::shared_ptr<RandomSource> random_;
};

} // namespace rotaline
