// The program's windows as Win32 windows: making and freeing them, and the message loop.
#pragma once

#include "core/session/WindowSystem.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rotaline {
class RandomSource;
}

namespace rotaline::win32 {

class FormWindow;
class Look;
class frmMODS;
class frmRotaline;

class Win32WindowSystem : public WindowSystem {
public:
    explicit Win32WindowSystem(MessageBoxes& messages);
    ~Win32WindowSystem() override;
    Win32WindowSystem(const Win32WindowSystem&) = delete;
    Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

    // Loads the chooser, which runs start-up, and shows it unless start-up ended the program.
    // False when no window is left.
    bool Start(const std::optional<std::string>& installPathOverride);
    // The message loop, until the last window has been unloaded.
    int Run();
    // Handles the messages already queued; false once the program has ended.
    bool ProcessQueued();

    // The loaded windows, or null.
    frmMODS* ChooserWindow() const;
    frmRotaline* EditorWindow() const;
    // Shuffles of editors loaded from now on draw from this source instead of the clock.
    void UseRandomSource(std::shared_ptr<RandomSource> random) { random_ = std::move(random); }

private:
    // Keys go through the dialog manager of the window they are for: Tab, access keys.
    void Dispatch(MSG& message);
    // Frees the windows destroyed since: not within their own handlers, which may still run.
    void Collect();

    EditorForm& CreateEditor() override;
    void DestroyForm(Form& form) override;
    void Quit() override;

    std::unique_ptr<Look> look_;
    std::vector<std::unique_ptr<FormWindow>> windows_;
    std::shared_ptr<RandomSource> random_;
    bool ended_ = false;
};

} // namespace rotaline::win32
