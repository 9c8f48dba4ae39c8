// The Windows program's windows, driven with the messages a user's clicks and keys send, and the
// program file's version block and icon, which this test program carries as well.
#include "EditorGestures.h"
#include "RecordingMessages.h"
#include "ScratchFolder.h"
#include "frontends/win32/FrmMods.h"
#include "frontends/win32/FrmRotaline.h"
#include "frontends/win32/Resources.h"
#include "frontends/win32/Win32WindowSystem.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <sstream>
#include <tuple>

namespace rotaline::win32 {
namespace {

using namespace rotaline::testing;

std::string Text(HWND control) {
    char text[256] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

// The rows the box shows selected, with a space between two.
std::string Selection(HWND box) {
    int rows[8] = {};
    std::string words;
    for (LRESULT k = 0; k < SendMessageA(box, LB_GETSELITEMS, 8, LPARAM(rows)); ++k) {
        words += (words.empty() ? "" : " ") + std::to_string(rows[k]);
    }
    return words;
}

// The control a gesture names, in either window.
HWND Control(HWND window, const std::string& name) {
    static const std::pair<const char*, int> kIds[] = {
        {"lstModList", IDC_LSTMODLIST}, {"cmdEdit", IDC_EDIT},     {"cmdClose", IDC_CHOOSER_CLOSE},
        {"cmdClose", IDC_CLOSE},        {"lstBSP", IDC_LSTBSP},    {"lstMap", IDC_LSTMAP},
        {"cmdMove", IDC_MOVE},          {"cmdRemove", IDC_REMOVE}, {"cmdUP", IDC_UP},
        {"cmdDown", IDC_DOWN}};
    for (const auto& [control, id] : kIds) {
        if (name == control && GetDlgItem(window, id) != nullptr) {
            return GetDlgItem(window, id);
        }
    }
    return nullptr;
}

// Keys on a focused control are left to the Qt windows' tests: no window here has the focus.
template <typename Row, std::size_t N>
std::vector<Row> WithoutKeysOnControls(const Row (&rows)[N]) {
    std::vector<Row> kept(rows, rows + N);
    std::erase_if(kept, [](const Row& row) { return std::strchr(row.gesture, ' ') != nullptr; });
    return kept;
}

// An install folder whose one mod, valve, has a cycle; the chooser shows it selected.
template <typename Row> class Win32Windows : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        std::filesystem::create_directories(install / "valve\\maps");
        for (int k = 1; k <= 7; ++k) {
            install.Write("valve\\maps\\m" + std::to_string(k) + ".bsp", "");
        }
        install.Write("valve\\mapcycle.txt", kValveCycle);
        windows.UseRandomSource(std::make_shared<ZeroRandom>());
        ASSERT_TRUE(windows.Start(install.Path())) << "no window: does Wine have a display?";
        SendMessageA(Control(Chooser(), "lstModList"), LB_SETCURSEL, 0, 0);
        Notify(Control(Chooser(), "lstModList"), LBN_SELCHANGE);
    }
    HWND Chooser() const { return windows.ChooserWindow()->Handle(); }
    HWND Editor() const { return windows.EditorWindow()->Handle(); }
    // As clicks in the box: it selects, then tells its window.
    void Select(HWND box, const std::string& rows) {
        SendMessageA(box, LB_SETSEL, FALSE, -1);
        std::istringstream words(rows);
        for (int row = 0; words >> row;) {
            SendMessageA(box, LB_SETSEL, TRUE, row);
        }
        Notify(box, LBN_SELCHANGE);
    }
    void Notify(HWND box, WORD code) {
        SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), code),
                     reinterpret_cast<LPARAM>(box));
        windows.ProcessQueued();
    }
    // Gestures as the shared tables write them; keys go through the program's message loop.
    void Act(HWND window, const std::string& gesture) {
        if (gesture.empty()) {
            PostMessageA(window, WM_CLOSE, 0, 0);
        } else if (gesture.starts_with("Alt+")) {
            PostMessageA(window, WM_SYSCHAR, static_cast<WPARAM>(tolower(gesture.back())), 1 << 29);
        } else if (gesture.starts_with("lst")) {
            return Notify(Control(window, gesture), LBN_DBLCLK);
        } else {
            SendMessageA(Control(window, gesture), BM_CLICK, 0, 0);
        }
        windows.ProcessQueued();
    }
    void OpenValve() {
        Act(Chooser(), "cmdEdit");
        ASSERT_NE(windows.EditorWindow(), nullptr);
    }

    ScratchFolder install;
    RecordingMessages messages;
    Win32WindowSystem windows{messages};
};

using FromWindowToWindow = Win32Windows<WindowGesture>;

TEST_P(FromWindowToWindow, LoadsAndShowsTheRightWindows) {
    if (GetParam().inEditor) {
        OpenValve();
    }
    Act(GetParam().inEditor ? Editor() : Chooser(), GetParam().gesture);
    ASSERT_EQ(windows.FormsCount(), GetParam().formsAfter);
    EXPECT_TRUE(GetParam().formsAfter != 2 ||
                (IsWindowVisible(Editor()) && GetWindow(Editor(), GW_OWNER) == Chooser() &&
                 Text(GetDlgItem(Editor(), IDC_LABEL2)) == "Map Cycle File (4 maps)"));
    if (GetParam().formsAfter > 0) {
        EXPECT_EQ(IsWindowVisible(Chooser()), GetParam().formsAfter == 1);
        EXPECT_EQ(SendMessageA(Control(Chooser(), "lstModList"), LB_GETCURSEL, 0, 0), 0);
    }
    EXPECT_EQ(windows.ProcessQueued(), GetParam().formsAfter > 0) << "the program goes on";
    if (GetParam().formsAfter == 2) { // Exit with the editor loaded unloads both.
        Act(Chooser(), "cmdClose");
        EXPECT_EQ(windows.FormsCount(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Gestures, FromWindowToWindow,
                         ::testing::ValuesIn(WithoutKeysOnControls(kWindowGestures)),
                         [](const auto& row) { return std::string(row.param.name); });

using Editing = Win32Windows<EditorGesture>;

TEST_P(Editing, ChangesTheListsAndTheBoxesFollow) {
    const EditorGesture& row = GetParam();
    OpenValve();
    EditorLists& lists = windows.EditorWindow()->Lists();
    Select(Control(Editor(), "lstBSP"), row.maps);
    Select(Control(Editor(), "lstMap"), row.cycle);
    Act(Editor(), row.gesture);
    for (const auto& [box, list, after] : {std::tuple{"lstMap", &lists.lstMap, row.cycleAfter},
                                           std::tuple{"lstBSP", &lists.lstBSP, row.mapsAfter}}) {
        std::string items;
        for (std::int16_t i = 0; i < list->ListCount(); ++i) {
            items += (i == 0 ? "" : " ") + list->List(i);
        }
        EXPECT_EQ(items, after);
        // The box holds no strings: it draws its list's, as many rows as the list has.
        EXPECT_EQ(SendMessageA(Control(Editor(), box), LB_GETCOUNT, 0, 0), list->ListCount());
    }
    EXPECT_EQ(Selection(Control(Editor(), "lstMap")) + "|" + Selection(Control(Editor(), "lstBSP")),
              row.selectedAfter + std::string("|"));
    EXPECT_EQ(Text(GetDlgItem(Editor(), IDC_LABEL1)) + Text(GetDlgItem(Editor(), IDC_LABEL2)),
              lists.Label1.Text() + lists.Label2.Text());
    // Only Save writes the file, and says so.
    const bool saved = std::string(row.gesture) == "Alt+S";
    EXPECT_EQ(ScratchFolder::Read(install / "valve\\mapcycle.txt"),
              std::string(kValveCycle) + (saved ? "\r\n" : ""));
    EXPECT_TRUE(messages.shown.size() == (saved ? 1u : 0u) &&
                (!saved || messages.shown[0].text == "Map Saved"));
}

INSTANTIATE_TEST_SUITE_P(Gestures, Editing,
                         ::testing::ValuesIn(WithoutKeysOnControls(kEditorGestures)),
                         [](const auto& row) { return std::string(row.param.name); });

// The version block, in US English and Unicode.
TEST(ProgramFile, CarriesTheVersionBlock) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::vector<char> block(GetFileVersionInfoSizeA(path, nullptr) + 1);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()));
    const auto query = [&block](const std::string& name) {
        void* value = nullptr;
        UINT length = 0;
        return VerQueryValueA(block.data(), name.c_str(), &value, &length) ? value : block.data();
    };
    std::string strings;
    for (const char* name : {"FileVersion", "ProductVersion", "ProductName", "InternalName",
                             "OriginalFilename", "CompanyName", "FileDescription"}) {
        const std::string key = "\\StringFileInfo\\040904B0\\" + std::string(name);
        strings += static_cast<const char*>(query(key)) + std::string("|");
    }
    EXPECT_EQ(strings, "2.00|2.00|Rotaline|Rotaline|rotaline.exe|The Rotaline developers|"
                       "Rotaline, the Half-Life map cycle editor|");
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query("\\"));
    EXPECT_EQ(std::tuple(fixed->dwSignature, fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                         fixed->dwProductVersionMS, fixed->dwProductVersionLS, fixed->dwFileType),
              std::tuple(0xFEEF04BDu, 0x20000u, 0u, 0x20000u, 0u, static_cast<DWORD>(VFT_APP)));
    EXPECT_EQ(*static_cast<const DWORD*>(query("\\VarFileInfo\\Translation")),
              1200u << 16 | 0x0409);
}

} // namespace
} // namespace rotaline::win32
