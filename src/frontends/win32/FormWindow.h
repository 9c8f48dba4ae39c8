// A top-level window of the program: its frame, picture background, controls and messages.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace rotaline {
class MessageBoxes;
}

namespace rotaline::win32 {

class Look;

class FormWindow {
public:
    virtual ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Null once the window has been destroyed.
    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    void Destroy();

protected:
    FormWindow(const Look& look, MessageBoxes& messages);

    // Makes the window, not shown, with a client area of the given size in twips.
    void CreateFrame(DWORD style, DWORD exStyle, HWND owner, int widthTwips, int heightTwips,
                     HBITMAP background);
    // Controls are made in tab order: the order in which Tab visits them.
    HWND AddControl(const char* className, const char* text, DWORD style, DWORD exStyle, int id,
                    int left, int top, int width, int height, HFONT font);
    // A label: yellow text over the background picture, centred.
    HWND AddLabel(const char* text, int id, int left, int top, int width, int height, HFONT font);
    // A picture that reports clicks.
    HWND AddPicture(HBITMAP picture, int id, int left, int top, int width, int height);
    // Rewrites a heading in the largest font in which it fits its box.
    void SetHeading(HWND label, const std::string& text);

    // Shows the window, active, with the focus on `firstControl`.
    void ShowActive(HWND firstControl);
    void CentreOnScreen();
    // Runs a handler so that a failure nobody expected is reported, not fatal.
    void Guarded(const std::function<void()>& handler);

    virtual void OnCommand(int id, int code) = 0;
    virtual void OnClose() = 0;
    virtual void OnDrawItem(const DRAWITEMSTRUCT&) {}

    const Look& look_;
    MessageBoxes& messages_;

private:
    static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintBackground(HDC dc) const;
    bool IsLabel(HWND control) const;

    HWND hwnd_ = nullptr;
    HBITMAP background_ = nullptr;
    HWND firstControl_ = nullptr;
    HWND lastFocus_ = nullptr;
    std::vector<HWND> labels_;
};

} // namespace rotaline::win32
