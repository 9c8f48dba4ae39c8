// The program's windows as Win32 windows.
#include "frontends/win32/Win32WindowSystem.h"

#include "core/lists/RandomSource.h"
#include "frontends/win32/FrmMods.h"
#include "frontends/win32/FrmRotaline.h"
#include "frontends/win32/Look.h"

#include <algorithm>

namespace rotaline::win32 {

Win32WindowSystem::Win32WindowSystem(MessageBoxes& messages)
    : WindowSystem(messages), look_(std::make_unique<Look>()) {}

Win32WindowSystem::~Win32WindowSystem() {
    // Windows still loaded when the program ends go with it, newest first.
    while (!windows_.empty()) {
        windows_.pop_back();
    }
}

bool Win32WindowSystem::Start(const std::optional<std::string>& installPathOverride) {
    auto chooser = std::make_unique<frmMODS>(*this, *look_);
    frmMODS* loaded = chooser.get();
    windows_.push_back(std::move(chooser));
    LoadChooser(*loaded);
    loaded->Form_Load(installPathOverride);
    if (!IsLoaded(*loaded)) {
        return false;
    }
    loaded->Show();
    return true;
}

int Win32WindowSystem::Run() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        Dispatch(message);
    }
    ended_ = true;
    return 0;
}

bool Win32WindowSystem::ProcessQueued() {
    MSG message{};
    while (!ended_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ended_ = true;
            break;
        }
        Dispatch(message);
    }
    return !ended_;
}

void Win32WindowSystem::Dispatch(MSG& message) {
    const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    const bool ours = root != nullptr &&
                      std::any_of(windows_.begin(), windows_.end(),
                                  [root](const auto& window) { return window->Handle() == root; });
    if (!ours || !IsDialogMessageA(root, &message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    Collect();
}

void Win32WindowSystem::Collect() {
    std::erase_if(windows_, [this](const std::unique_ptr<FormWindow>& window) {
        const Form* form = dynamic_cast<const Form*>(window.get());
        return window->Handle() == nullptr && !IsLoaded(*form);
    });
}

frmMODS* Win32WindowSystem::ChooserWindow() const {
    return static_cast<frmMODS*>(LoadedChooser());
}

frmRotaline* Win32WindowSystem::EditorWindow() const {
    return static_cast<frmRotaline*>(LoadedEditor());
}

EditorForm& Win32WindowSystem::CreateEditor() {
    std::shared_ptr<RandomSource> random = random_ ? random_ : MakeClockRandomSource();
    frmMODS* chooser = ChooserWindow();
    auto editor = std::make_unique<frmRotaline>(
        *this, *look_, chooser != nullptr ? chooser->Handle() : nullptr, std::move(random));
    frmRotaline* made = editor.get();
    windows_.push_back(std::move(editor));
    return *made;
}

// The window goes now; the object, whose handler may be what unloaded it, at Collect.
void Win32WindowSystem::DestroyForm(Form& form) {
    dynamic_cast<FormWindow&>(form).Destroy();
}

void Win32WindowSystem::Quit() {
    PostQuitMessage(0);
}

} // namespace rotaline::win32
