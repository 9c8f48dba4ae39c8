// What both windows share: the screen's scale, the fonts, the pictures and the program's icons.
#pragma once

#include <windows.h>

#include <ocidl.h>

#include <string>
#include <vector>

namespace rotaline::win32 {

inline constexpr COLORREF kLabelYellow = RGB(255, 255, 0);

// Made once, before the first window, from the program file's resources.
class Look {
public:
    Look();
    ~Look();
    Look(const Look&) = delete;
    Look& operator=(const Look&) = delete;

    // The windows are laid out in twips: 15 make one pixel at 96 dots per inch, and the program
    // declares itself aware of the screen's dots per inch, so it scales them itself.
    int Dpi() const { return dpi_; }
    int Pixels(int twips) const { return MulDiv(twips, dpi_, 1440); }

    HFONT DefaultFont() const { return defaultFont_; }
    HFONT ModListFont() const { return modListFont_; }
    // Null where "Marlett" is missing: the arrow buttons then show MoveArrow() and RemoveArrow(),
    // solid triangles of the size Marlett's would have.
    HFONT ArrowFont() const { return arrowFont_; }
    HICON MoveArrow() const { return moveArrow_; }
    HICON RemoveArrow() const { return removeArrow_; }
    HFONT UrlFont() const { return urlFont_; }
    // The largest heading font, starting with the default one, in which `text` fits `width`
    // pixels; the smallest when none does.
    HFONT HeadingFontFor(const std::string& text, int width) const;

    // The 412 x 382 backgrounds, decoded by OLE's picture loader, and the other pictures.
    HBITMAP ChooserBackground() const { return Handle(chooserBackground_); }
    HBITMAP EditorBackground() const { return Handle(editorBackground_); }
    HBITMAP AboutPicture() const { return about_; }
    HICON ArrowUp() const { return arrowUp_; }
    HICON ArrowDown() const { return arrowDown_; }

    // The window class of both windows, with the program's icon.
    static constexpr const char* kWindowClass = "RotalineForm";

private:
    static HBITMAP Handle(IPicture* picture);

    bool comStarted_ = false;
    int dpi_ = 96;
    HFONT defaultFont_ = nullptr;
    HFONT modListFont_ = nullptr;
    HFONT arrowFont_ = nullptr;
    HFONT urlFont_ = nullptr;
    std::vector<HFONT> headingFonts_;
    IPicture* chooserBackground_ = nullptr;
    IPicture* editorBackground_ = nullptr;
    HBITMAP about_ = nullptr;
    HICON arrowUp_ = nullptr;
    HICON arrowDown_ = nullptr;
    HICON moveArrow_ = nullptr;
    HICON removeArrow_ = nullptr;
};

} // namespace rotaline::win32
