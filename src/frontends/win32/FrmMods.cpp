// The mod chooser window: its controls, their layout, and the wiring of their events.
#include "frontends/win32/FrmMods.h"

#include "core/session/AboutMessage.h"
#include "core/session/OpenMod.h"
#include "core/session/Shutdown.h"
#include "core/session/Startup.h"
#include "frontends/win32/ListBoxAdapter.h"
#include "frontends/win32/Look.h"
#include "frontends/win32/Resources.h"
#include "frontends/win32/Win32WindowSystem.h"

namespace rotaline::win32 {

frmMODS::frmMODS(Win32WindowSystem& windows, const Look& look)
    : FormWindow(look, windows.Messages()), windows_(windows) {
    CreateFrame(WS_OVERLAPPEDWINDOW, 0, nullptr, 6105, 5655, look.ChooserBackground());

    const HWND list =
        AddControl("LISTBOX", nullptr,
                   LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                       WS_VSCROLL | WS_TABSTOP,
                   WS_EX_CLIENTEDGE, IDC_LSTMODLIST, 240, 360, 3255, 5160, look.ModListFont());
    TEXTMETRICA metrics{};
    const HDC dc = GetDC(list);
    const HGDIOBJ old = SelectObject(dc, look.ModListFont());
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageA(list, LB_SETITEMHEIGHT, 0, metrics.tmHeight);
    lstModList_ = std::make_unique<ListBoxAdapter>(modList_, list);

    AddControl("BUTTON", "E&xit", BS_PUSHBUTTON | WS_TABSTOP, 0, IDC_CHOOSER_CLOSE, 4320, 4560,
               1215, 375, look.DefaultFont());
    AddLabel("Half Life MODs with a Map Cycle", IDC_CHOOSER_LABEL1, 360, 120, 3015, 255,
             look.DefaultFont());
    AddControl("BUTTON", "&Edit", BS_PUSHBUTTON | WS_TABSTOP, 0, IDC_EDIT, 4320, 3720, 1215, 495,
               look.DefaultFont());
    AddPicture(look.AboutPicture(), IDC_CHOOSER_IMAGE1, 4440, 2400, 960, 960);
}

frmMODS::~frmMODS() {
    Destroy();
}

void frmMODS::Show() {
    if (!centred_) {
        centred_ = true;
        CentreOnScreen();
    }
    ShowActive(lstModList_->Handle());
}

void frmMODS::Hide() {
    ShowWindow(Handle(), SW_HIDE);
}

void frmMODS::Form_Load(const std::optional<std::string>& installPathOverride) {
    rotaline::Form_Load(modList_, windows_, installPathOverride);
}

void frmMODS::cmdEdit_Click() {
    rotaline::cmdEdit_Click(modList_, windows_);
}

void frmMODS::lstModList_DblClick() {
    cmdEdit_Click();
}

void frmMODS::cmdClose_Click() {
    rotaline::cmdClose_Click(windows_);
}

void frmMODS::Image1_Click() {
    AboutMessage(windows_.Messages());
}

void frmMODS::OnCommand(int id, int code) {
    switch (id) {
    case IDC_LSTMODLIST:
        if (code == LBN_SELCHANGE) {
            lstModList_->TakeSelectionFromControl();
        } else if (code == LBN_DBLCLK) {
            lstModList_DblClick();
        }
        break;
    case IDC_EDIT:
        if (code == BN_CLICKED) {
            cmdEdit_Click();
        }
        break;
    case IDC_CHOOSER_CLOSE:
        if (code == BN_CLICKED) {
            cmdClose_Click();
        }
        break;
    case IDC_CHOOSER_IMAGE1:
        if (code == STN_CLICKED) {
            Image1_Click();
        }
        break;
    default:
        break;
    }
}

// The close box unloads the chooser like Exit does, which ends the program.
void frmMODS::OnClose() {
    windows_.ChooserCloseBox();
}

void frmMODS::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == IDC_LSTMODLIST) {
        lstModList_->DrawItem(item);
    }
}

} // namespace rotaline::win32
