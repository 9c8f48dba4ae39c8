// The windows' shared look, made from the program file's resources.
#include "frontends/win32/Look.h"

#include "frontends/win32/Resources.h"

#include <commctrl.h>
#include <olectl.h>

#include <cmath>
#include <cstring>

namespace rotaline::win32 {
namespace {

HFONT MakeFont(const char* face, double points, int dpi, int weight = FW_NORMAL,
               bool underline = false, BYTE charset = DEFAULT_CHARSET) {
    LOGFONTA font{};
    font.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    font.lfWeight = weight;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfCharSet = charset;
    font.lfQuality = DEFAULT_QUALITY;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&font);
}

// A JPEG of the program file's RCDATA, decoded with what every Windows has.
IPicture* LoadJpeg(int id) {
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    if (found == nullptr) {
        return nullptr;
    }
    const DWORD size = SizeofResource(nullptr, found);
    const void* bytes = LockResource(LoadResource(nullptr, found));
    const HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (bytes == nullptr || copy == nullptr) {
        return nullptr;
    }
    std::memcpy(GlobalLock(copy), bytes, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return nullptr;
    }
    IPicture* picture = nullptr;
    if (FAILED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&picture)))) {
        picture = nullptr;
    }
    stream->Release();
    return picture;
}

HICON LoadIconResource(int id, int size) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

bool FontExists(const char* face) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(
        screen, &wanted,
        [](const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM flag) -> int {
            *reinterpret_cast<bool*>(flag) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// A solid black triangle pointing right or left, `size` pixels square, on a see-through ground.
HICON TriangleIcon(bool pointingRight, int size) {
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    ICONINFO icon{};
    icon.fIcon = TRUE;
    // Where the mask is white the screen shows through; the colour is black everywhere.
    icon.hbmMask = CreateBitmap(size, size, 1, 1, nullptr);
    icon.hbmColor = CreateCompatibleBitmap(screen, size, size);
    const int inset = size / 6;
    const int tip = pointingRight ? size - inset : inset;
    const int base = pointingRight ? inset + size / 6 : size - inset - size / 6;
    const POINT corners[3] = {{base, inset}, {tip, size / 2}, {base, size - inset}};
    const RECT all{0, 0, size, size};
    HGDIOBJ old = SelectObject(dc, icon.hbmMask);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, corners, 3);
    SelectObject(dc, icon.hbmColor);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(dc, old);
    const HICON made = CreateIconIndirect(&icon);
    DeleteObject(icon.hbmMask);
    DeleteObject(icon.hbmColor);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return made;
}

void RegisterWindowClass() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconResource(IDI_ROTALINE, GetSystemMetrics(SM_CXICON));
    windowClass.hIconSm = LoadIconResource(IDI_ROTALINE, GetSystemMetrics(SM_CXSMICON));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    windowClass.lpszClassName = Look::kWindowClass;
    RegisterClassExA(&windowClass);
}

} // namespace

Look::Look() {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comStarted_ = SUCCEEDED(com);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) {
        dpi_ = 96;
    }

    defaultFont_ = MakeFont("MS Sans Serif", 8.25, dpi_);
    modListFont_ = MakeFont("MS Sans Serif", 12, dpi_, FW_BOLD);
    if (FontExists("Marlett")) {
        arrowFont_ = MakeFont("Marlett", 18, dpi_, 500, false, SYMBOL_CHARSET);
    } else {
        const int size = MulDiv(24, dpi_, 96);
        moveArrow_ = TriangleIcon(true, size);
        removeArrow_ = TriangleIcon(false, size);
    }
    urlFont_ = MakeFont("MS Sans Serif", 8.25, dpi_, FW_NORMAL, true);
    // Where "MS Sans Serif" is a bitmap font it has no smaller sizes; Tahoma has.
    headingFonts_.push_back(defaultFont_);
    for (const double points : {7.5, 7.0, 6.5}) {
        headingFonts_.push_back(MakeFont("MS Sans Serif", points, dpi_));
    }
    for (const double points : {7.0, 6.5, 6.0, 5.5}) {
        headingFonts_.push_back(MakeFont("Tahoma", points, dpi_));
    }

    chooserBackground_ = LoadJpeg(IDR_CHOOSER_BACKGROUND);
    editorBackground_ = LoadJpeg(IDR_EDITOR_BACKGROUND);
    about_ = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ABOUT),
                                             IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    arrowUp_ = LoadIconResource(IDI_ARROW_UP, 32);
    arrowDown_ = LoadIconResource(IDI_ARROW_DOWN, 32);
    RegisterWindowClass();
}

Look::~Look() {
    UnregisterClassA(kWindowClass, GetModuleHandleA(nullptr));
    for (HFONT font : headingFonts_) {
        if (font != defaultFont_) {
            DeleteObject(font);
        }
    }
    for (HFONT font : {defaultFont_, modListFont_, arrowFont_, urlFont_}) {
        if (font != nullptr) {
            DeleteObject(font);
        }
    }
    for (IPicture* picture : {chooserBackground_, editorBackground_}) {
        if (picture != nullptr) {
            picture->Release();
        }
    }
    DeleteObject(about_);
    DestroyIcon(arrowUp_);
    DestroyIcon(arrowDown_);
    for (HICON icon : {moveArrow_, removeArrow_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
    if (comStarted_) {
        CoUninitialize();
    }
}

HFONT Look::HeadingFontFor(const std::string& text, int width) const {
    const HDC screen = GetDC(nullptr);
    HFONT chosen = headingFonts_.back();
    const HGDIOBJ old = SelectObject(screen, headingFonts_.front());
    for (HFONT font : headingFonts_) {
        SelectObject(screen, font);
        SIZE size{};
        GetTextExtentPoint32A(screen, text.data(), static_cast<int>(text.size()), &size);
        if (size.cx <= width) {
            chosen = font;
            break;
        }
    }
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return chosen;
}

HBITMAP Look::Handle(IPicture* picture) {
    OLE_HANDLE handle = 0;
    if (picture == nullptr || FAILED(picture->get_Handle(&handle))) {
        return nullptr;
    }
    return reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
}

} // namespace rotaline::win32
