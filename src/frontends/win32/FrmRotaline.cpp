// The map cycle editor window: its controls, their layout, and the wiring of their events.
#include "frontends/win32/FrmRotaline.h"

#include "core/lists/EditingOperations.h"
#include "core/session/AboutMessage.h"
#include "core/session/SaveAndReturn.h"
#include "frontends/win32/ListBoxAdapter.h"
#include "frontends/win32/Look.h"
#include "frontends/win32/Resources.h"
#include "frontends/win32/Win32WindowSystem.h"

#include <tuple>

namespace rotaline::win32 {
namespace {

constexpr DWORD kListStyle = LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_EXTENDEDSEL | LBS_NOTIFY |
                             LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kButtonStyle = BS_PUSHBUTTON | WS_TABSTOP;

int RowHeight(HWND list, HFONT font) {
    TEXTMETRICA metrics{};
    const HDC dc = GetDC(list);
    const HGDIOBJ old = SelectObject(dc, font);
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    return metrics.tmHeight;
}

} // namespace

frmRotaline::frmRotaline(Win32WindowSystem& windows, const Look& look, HWND owner,
                         std::shared_ptr<RandomSource> random)
    : FormWindow(look, windows.Messages()), windows_(windows), random_(std::move(random)) {
    // A fixed dialog frame, owned by the chooser: no taskbar button of its own.
    CreateFrame(WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, owner, 6135, 5685,
                look.EditorBackground());

    const HFONT font = look.DefaultFont();
    const HWND bsp = AddControl("LISTBOX", nullptr, kListStyle, WS_EX_CLIENTEDGE, IDC_LSTBSP, 120,
                                240, 2175, 4350, font);
    const HWND map = AddControl("LISTBOX", nullptr, kListStyle, WS_EX_CLIENTEDGE, IDC_LSTMAP, 3840,
                                240, 2175, 3960, font);
    for (const HWND list : {bsp, map}) {
        SendMessageA(list, LB_SETITEMHEIGHT, 0, RowHeight(list, font));
    }
    lstBSP_ = std::make_unique<ListBoxAdapter>(lists_.lstBSP, bsp);
    lstMap_ = std::make_unique<ListBoxAdapter>(lists_.lstMap, map);

    // Marlett draws "4" and "3" as solid arrowheads, right and left.
    for (const auto& [id, marlett, arrow, left] :
         {std::tuple{IDC_MOVE, "4", look.MoveArrow(), 2280},
          std::tuple{IDC_REMOVE, "3", look.RemoveArrow(), 3360}}) {
        if (look.ArrowFont() != nullptr) {
            AddControl("BUTTON", marlett, kButtonStyle, 0, id, left, 2160, 495, 495,
                       look.ArrowFont());
        } else {
            const HWND button = AddControl("BUTTON", nullptr, kButtonStyle | BS_ICON, 0, id, left,
                                           2160, 495, 495, font);
            SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(arrow));
        }
    }
    const HWND up =
        AddControl("BUTTON", nullptr, kButtonStyle | BS_ICON, 0, IDC_UP, 3360, 600, 495, 495, font);
    SendMessageA(up, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(look.ArrowUp()));
    const HWND down = AddControl("BUTTON", nullptr, kButtonStyle | BS_ICON, 0, IDC_DOWN, 3360, 1080,
                                 495, 495, font);
    SendMessageA(down, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(look.ArrowDown()));

    const HWND label1 = AddLabel(lists_.Label1.Text().c_str(), IDC_LABEL1, 120, 0, 2175, 255, font);
    const HWND label2 =
        AddLabel(lists_.Label2.Text().c_str(), IDC_LABEL2, 3840, 0, 2175, 255, font);
    lists_.Label1.OnChange([this, label1](const std::string& text) { SetHeading(label1, text); });
    lists_.Label2.OnChange([this, label2](const std::string& text) { SetHeading(label2, text); });

    AddControl("BUTTON", "&Randomize List", kButtonStyle, 0, IDC_RANDOM, 4200, 4320, 1335, 375,
               font);
    AddControl("BUTTON", "&Save Map Cycle", kButtonStyle, 0, IDC_SAVE, 3240, 4800, 1455, 375, font);
    AddControl("BUTTON", "&Close", kButtonStyle, 0, IDC_CLOSE, 4800, 4800, 1215, 375, font);
    AddLabel("https://rotaline.example.org", IDC_URL, 120, 5280, 5895, 255, look.UrlFont());
    AddPicture(look.AboutPicture(), IDC_IMAGE1, 2640, 3120, 960, 960);
}

frmRotaline::~frmRotaline() {
    Destroy();
    lists_.Label1.OnChange(nullptr);
    lists_.Label2.OnChange(nullptr);
}

void frmRotaline::Show() {
    CentreOnScreen();
    ShowActive(lstBSP_->Handle());
}

void frmRotaline::Hide() {
    ShowWindow(Handle(), SW_HIDE);
}

void frmRotaline::cmdMove_Click() {
    rotaline::cmdMove_Click(lists_);
}

void frmRotaline::lstBSP_DblClick() {
    cmdMove_Click();
}

void frmRotaline::cmdRemove_Click() {
    rotaline::cmdRemove_Click(lists_);
}

void frmRotaline::lstMap_DblClick() {
    cmdRemove_Click();
}

void frmRotaline::cmdUP_Click() {
    rotaline::cmdUP_Click(lists_.lstMap);
}

void frmRotaline::cmdDown_Click() {
    rotaline::cmdDown_Click(lists_.lstMap);
}

void frmRotaline::cmdRandom_Click() {
    rotaline::cmdRandom_Click(lists_.lstMap, *random_);
}

void frmRotaline::cmdSave_Click() {
    rotaline::cmdSave_Click(lists_, windows_.Messages());
}

void frmRotaline::cmdClose_Click() {
    rotaline::cmdClose_Click(windows_, *this);
}

void frmRotaline::Image1_Click() {
    AboutMessage(windows_.Messages());
}

void frmRotaline::OnCommand(int id, int code) {
    if (id == IDC_LSTBSP || id == IDC_LSTMAP) {
        ListBoxAdapter& list = id == IDC_LSTBSP ? *lstBSP_ : *lstMap_;
        if (code == LBN_SELCHANGE) {
            list.TakeSelectionFromControl();
        } else if (code == LBN_DBLCLK) {
            // The double-click's first click has already set the selection it acts on.
            list.TakeSelectionFromControl();
            if (id == IDC_LSTBSP) {
                lstBSP_DblClick();
            } else {
                lstMap_DblClick();
            }
        }
        return;
    }
    if (id == IDC_IMAGE1) {
        if (code == STN_CLICKED) {
            Image1_Click();
        }
        return;
    }
    if (code != BN_CLICKED) {
        return;
    }
    switch (id) {
    case IDC_MOVE:
        cmdMove_Click();
        break;
    case IDC_REMOVE:
        cmdRemove_Click();
        break;
    case IDC_UP:
        cmdUP_Click();
        break;
    case IDC_DOWN:
        cmdDown_Click();
        break;
    case IDC_RANDOM:
        cmdRandom_Click();
        break;
    case IDC_SAVE:
        cmdSave_Click();
        break;
    case IDC_CLOSE:
        cmdClose_Click();
        break;
    default:
        break;
    }
}

void frmRotaline::OnClose() {
    windows_.EditorCloseBox();
}

void frmRotaline::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == IDC_LSTBSP) {
        lstBSP_->DrawItem(item);
    } else if (item.CtlID == IDC_LSTMAP) {
        lstMap_->DrawItem(item);
    }
}

} // namespace rotaline::win32
