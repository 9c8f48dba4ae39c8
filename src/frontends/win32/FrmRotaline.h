// The map cycle editor window.
#pragma once

#include "core/lists/EditorLists.h"
#include "core/session/WindowSystem.h"
#include "frontends/win32/FormWindow.h"

#include <memory>

namespace rotaline {
class RandomSource;
}

namespace rotaline::win32 {

class ListBoxAdapter;
class Win32WindowSystem;

class frmRotaline : public FormWindow, public EditorForm {
public:
    frmRotaline(Win32WindowSystem& windows, const Look& look, HWND owner,
                std::shared_ptr<RandomSource> random);
    ~frmRotaline() override;

    void Show() override;
    void Hide() override;
    EditorLists& Lists() override { return lists_; }

    // Each handler runs exactly one operation.
    void cmdMove_Click();
    void lstBSP_DblClick();
    void cmdRemove_Click();
    void lstMap_DblClick();
    void cmdUP_Click();
    void cmdDown_Click();
    void cmdRandom_Click();
    void cmdSave_Click();
    void cmdClose_Click();
    void Image1_Click();

private:
    void OnCommand(int id, int code) override;
    void OnClose() override;
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;

    Win32WindowSystem& windows_;
    std::shared_ptr<RandomSource> random_;
    EditorLists lists_;
    std::unique_ptr<ListBoxAdapter> lstBSP_;
    std::unique_ptr<ListBoxAdapter> lstMap_;
};

} // namespace rotaline::win32
