// The program's windows as Win32 windows.
#include "frontends/win32/Win32WindowSystem.h"

#include "core/lists/RandomSource.h"
#include "frontends/win32/FrmMods.h"
#include "frontends/win32/FrmRotaline.h"
#include "frontends/win32/Look.h"

#include <algorithm>

namespace rotaline::win32 {

Win32WindowSystem::Win32WindowSystem(MessageBoxes& messages)
    : messages_(messages), look_(std::make_unique<Look>()) {}

Win32WindowSystem::~Win32WindowSystem() {
    // Windows still loaded when the program ends go with it, newest first.
    loaded_.clear();
    while (!windows_.empty()) {
        windows_.pop_back();
    }
}

bool Win32WindowSystem::Start(const std::optional<std::string>& installPathOverride) {
    auto chooser = std::make_unique<frmMODS>(*this, *look_);
    chooser_ = chooser.get();
    windows_.push_back(std::move(chooser));
    loaded_.push_back(chooser_);
    chooser_->Form_Load(installPathOverride);
    if (chooser_ == nullptr) {
        return false;
    }
    chooser_->Show();
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

std::int16_t Win32WindowSystem::FormsCount() const {
    return static_cast<std::int16_t>(loaded_.size());
}

Form& Win32WindowSystem::FormAt(std::int16_t index) {
    return *loaded_.at(static_cast<std::size_t>(index));
}

bool Win32WindowSystem::IsLoaded(const Form& form) const {
    return std::find(loaded_.begin(), loaded_.end(), &form) != loaded_.end();
}

void Win32WindowSystem::Unload(Form& form) {
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
    // The window goes now; the object, whose handler may be what called this, at Collect.
    dynamic_cast<FormWindow&>(form).Destroy();
    if (loaded_.empty()) {
        PostQuitMessage(0);
    }
}

Form& Win32WindowSystem::Chooser() {
    return *chooser_;
}

EditorForm& Win32WindowSystem::LoadEditor() {
    if (editor_ == nullptr) {
        std::shared_ptr<RandomSource> random = random_;
        if (!random) {
            random = MakeClockRandomSource();
        }
        auto editor = std::make_unique<frmRotaline>(
            *this, *look_, chooser_ != nullptr ? chooser_->Handle() : nullptr, std::move(random));
        editor_ = editor.get();
        windows_.push_back(std::move(editor));
        loaded_.push_back(editor_);
    }
    return *editor_;
}

} // namespace rotaline::win32
