// The frame, background, controls and message handling the two windows share.
#include "frontends/win32/FormWindow.h"

#include "core/session/MessageBoxes.h"
#include "core/session/Version.h"
#include "frontends/win32/Look.h"

#include <algorithm>
#include <exception>

namespace rotaline::win32 {

FormWindow::FormWindow(const Look& look, MessageBoxes& messages)
    : look_(look), messages_(messages) {}

FormWindow::~FormWindow() {
    // What is left of the object handles no message of the window's last ones.
    if (hwnd_ != nullptr) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void FormWindow::Destroy() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

void FormWindow::CreateFrame(DWORD style, DWORD exStyle, HWND owner, int widthTwips,
                             int heightTwips, HBITMAP background) {
    background_ = background;
    RECT frame{0, 0, look_.Pixels(widthTwips), look_.Pixels(heightTwips)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    hwnd_ = CreateWindowExA(exStyle, Look::kWindowClass, kWindowTitle, style, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    // Messages reach this object only from here on: none is handled half-built.
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcedure));
}

HWND FormWindow::AddControl(const char* className, const char* text, DWORD style, DWORD exStyle,
                            int id, int left, int top, int width, int height, HFONT font) {
    const HWND control = CreateWindowExA(
        exStyle, className, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
        look_.Pixels(left), look_.Pixels(top), look_.Pixels(width), look_.Pixels(height), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (firstControl_ == nullptr && (style & WS_TABSTOP) != 0) {
        firstControl_ = control;
    }
    return control;
}

HWND FormWindow::AddLabel(const char* text, int id, int left, int top, int width, int height,
                          HFONT font) {
    const HWND label =
        AddControl("STATIC", text, SS_CENTER | SS_NOPREFIX, 0, id, left, top, width, height, font);
    labels_.push_back(label);
    return label;
}

HWND FormWindow::AddPicture(HBITMAP picture, int id, int left, int top, int width, int height) {
    const HWND control = AddControl("STATIC", nullptr, SS_BITMAP | SS_NOTIFY | SS_REALSIZECONTROL,
                                    0, id, left, top, width, height, look_.DefaultFont());
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
    // SS_BITMAP sizes the control to the picture; the layout gives its size.
    SetWindowPos(control, nullptr, 0, 0, look_.Pixels(width), look_.Pixels(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return control;
}

void FormWindow::SetHeading(HWND label, const std::string& text) {
    RECT box{};
    GetClientRect(label, &box);
    SendMessageA(label, WM_SETFONT,
                 reinterpret_cast<WPARAM>(look_.HeadingFontFor(text, box.right - box.left)), FALSE);
    SetWindowTextA(label, text.c_str());
    // A transparent label does not wipe its old text: the background under it is drawn again.
    RECT onParent{};
    GetWindowRect(label, &onParent);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&onParent), 2);
    RedrawWindow(hwnd_, &onParent, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormWindow::ShowActive(HWND firstControl) {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    lastFocus_ = firstControl;
    SetFocus(firstControl);
}

void FormWindow::CentreOnScreen() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    GetWindowRect(hwnd_, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The lists refuse, for instance, to grow past 32,767 items; the user learns why the click did
// nothing, and the lists stay as they were. No exception may cross a window procedure.
void FormWindow::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        messages_.Show(std::string("The action was not carried out: ") + failure.what(),
                       "Cannot Continue", MessageIcon::Critical);
    }
}

bool FormWindow::IsLabel(HWND control) const {
    return std::find(labels_.begin(), labels_.end(), control) != labels_.end();
}

void FormWindow::PaintBackground(HDC dc) const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    BITMAP size{};
    if (background_ == nullptr || GetObjectA(background_, sizeof size, &size) == 0) {
        return;
    }
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(memory, background_);
    // Unscaled at 96 dots per inch; scaled with the layout on other screens.
    const int width = MulDiv(size.bmWidth, look_.Dpi(), 96);
    const int height = MulDiv(size.bmHeight, look_.Dpi(), 96);
    if (width == size.bmWidth && height == size.bmHeight) {
        BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, width, height, memory, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}

LRESULT CALLBACK FormWindow::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        form->hwnd_ = nullptr;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        PaintBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_CTLCOLORSTATIC:
        if (IsLabel(reinterpret_cast<HWND>(lParam))) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, kLabelYellow);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        break;
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        // Only controls: Enter and Esc arrive as IDOK and IDCANCEL with no control, and this
        // window has no default or cancel button.
        if (lParam != 0) {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            Guarded([this, id, code] { OnCommand(id, code); });
        }
        return 0;
    case WM_ACTIVATE:
        // As a dialog does: the focus goes back where it was when the window was left.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus != nullptr && IsChild(hwnd_, focus)) {
                lastFocus_ = focus;
            }
        } else {
            SetFocus(lastFocus_ != nullptr && IsWindow(lastFocus_) ? lastFocus_ : firstControl_);
        }
        return 0;
    case WM_CLOSE:
        Guarded([this] { OnClose(); });
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

} // namespace rotaline::win32
