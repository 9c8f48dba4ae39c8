// The program's windows as Qt widgets: loading, showing, unloading, and the list of loaded ones.
#pragma once

#include "core/session/WindowSystem.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace rotaline {

class RandomSource;
class frmMODS;
class frmRotaline;

class QtWindowSystem : public WindowSystem {
public:
    explicit QtWindowSystem(MessageBoxes& messages);
    ~QtWindowSystem() override;
    QtWindowSystem(const QtWindowSystem&) = delete;
    QtWindowSystem& operator=(const QtWindowSystem&) = delete;

    // Loads the chooser, which runs start-up, and shows it unless start-up ended the program.
    // False when no window is left.
    bool Start(const std::optional<std::string>& installPathOverride);

    std::int16_t FormsCount() const override;
    Form& FormAt(std::int16_t index) override;
    void Unload(Form& form) override;
    Form& Chooser() override;
    EditorForm& LoadEditor() override;
    MessageBoxes& Messages() override { return messages_; }

    bool IsLoaded(const Form& form) const;
    // The loaded windows, or null.
    frmMODS* ChooserWindow() const { return chooser_; }
    frmRotaline* EditorWindow() const { return editor_; }
    // Shuffles of editors loaded from now on draw from this source instead of the clock.
    void UseRandomSource(std::shared_ptr<RandomSource> random) { random_ = std::move(random); }

    // Registers a window that the caller has loaded, at the end of the list.
    void Register(Form& form);

private:
    MessageBoxes& messages_;
    std::vector<Form*> loaded_;
    frmMODS* chooser_ = nullptr;
    frmRotaline* editor_ = nullptr;
    std::shared_ptr<RandomSource> random_;
};

} // namespace rotaline
