// The mod chooser window, the program's start-up window.
#pragma once

#include "core/lists/SelectableList.h"
#include "core/session/WindowSystem.h"
#include "frontends/win32/FormWindow.h"

#include <memory>
#include <optional>
#include <string>

namespace rotaline::win32 {

class ListBoxAdapter;
class Win32WindowSystem;

class frmMODS : public FormWindow, public Form {
public:
    frmMODS(Win32WindowSystem& windows, const Look& look);
    ~frmMODS() override;

    void Show() override;
    void Hide() override;

    // Each handler runs exactly one operation.
    void Form_Load(const std::optional<std::string>& installPathOverride);
    void cmdEdit_Click();
    void lstModList_DblClick();
    void cmdClose_Click();
    void Image1_Click();

    SelectableList& ModList() { return modList_; }

private:
    void OnCommand(int id, int code) override;
    void OnClose() override;
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;

    Win32WindowSystem& windows_;
    SelectableList modList_{SelectionStyle::Single, false};
    std::unique_ptr<ListBoxAdapter> lstModList_;
    bool centred_ = false;
};

} // namespace rotaline::win32
