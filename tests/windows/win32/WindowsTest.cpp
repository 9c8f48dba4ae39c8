// The Windows program's windows, driven with the messages a user's clicks and keys send.
#include "core/lists/EditingOperations.h"
#include "frontends/win32/FrmMods.h"
#include "frontends/win32/FrmRotaline.h"
#include "frontends/win32/Resources.h"
#include "frontends/win32/Win32WindowSystem.h"

#include "RecordingMessages.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace rotaline::win32 {
namespace {

using Names = std::vector<std::string>;
using Rows = std::vector<int>;

Names Items(const SelectableList& list) {
    Names items;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        items.push_back(list.List(i));
    }
    return items;
}

Rows SelectedRows(const SelectableList& list) {
    Rows rows;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        if (list.Selected(i)) {
            rows.push_back(i);
        }
    }
    return rows;
}

Rows BoxSelection(HWND box) {
    Rows rows(static_cast<std::size_t>(SendMessageA(box, LB_GETSELCOUNT, 0, 0)));
    SendMessageA(box, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
    return rows;
}

std::string Text(HWND control) {
    char text[256] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

// An install folder with valve (four maps, two in its cycle), dod (a cycle) and cstrike (none).
class Win32Windows : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"valve", "valve\\maps", "cstrike", "dod"}) {
            install.MakeFolder(folder);
        }
        for (const char* map : {"crossfire", "bounce", "datacore", "stalkyard"}) {
            install.Write(std::string("valve\\maps\\") + map + ".bsp", "");
        }
        install.Write("valve\\mapcycle.txt", "crossfire\r\nbounce");
        install.Write("dod\\mapcycle.txt", "dod_anzio\r\n");
        ASSERT_TRUE(windows.Start(install.Path())) << "no window: does Wine have a display?";
        Pump();
    }

    void Pump() { windows.ProcessQueued(); }
    HWND Chooser(int id) const { return windows.ChooserWindow()->Item(id); }
    HWND Editor(int id) const { return windows.EditorWindow()->Item(id); }
    EditorLists& Lists() { return windows.EditorWindow()->Lists(); }

    // As a click in the box: the box selects, then tells its window.
    void Select(HWND box, const Rows& rows) {
        const bool single = (GetWindowLongA(box, GWL_STYLE) & LBS_EXTENDEDSEL) == 0;
        if (single) {
            SendMessageA(box, LB_SETCURSEL, rows.empty() ? -1 : rows[0], 0);
        } else {
            SendMessageA(box, LB_SETSEL, FALSE, -1);
            for (int row : rows) {
                SendMessageA(box, LB_SETSEL, TRUE, row);
            }
        }
        Notify(box, LBN_SELCHANGE);
    }
    void Notify(HWND box, WORD code) {
        SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), code),
                     reinterpret_cast<LPARAM>(box));
        Pump();
    }
    void Click(HWND button) {
        SendMessageA(button, BM_CLICK, 0, 0);
        Pump();
    }
    // Alt and a letter, through the program's own message loop.
    void AccessKey(HWND window, char letter) {
        PostMessageA(window, WM_SYSCHAR, static_cast<WPARAM>(letter), 1 << 29);
        Pump();
    }
    void OpenValve() {
        Select(Chooser(IDC_LSTMODLIST), {static_cast<int>(IndexOf("valve"))});
        Click(Chooser(IDC_EDIT));
        ASSERT_NE(windows.EditorWindow(), nullptr);
    }
    std::int16_t IndexOf(const std::string& mod) {
        const Names mods = Items(windows.ChooserWindow()->ModList());
        return static_cast<std::int16_t>(std::find(mods.begin(), mods.end(), mod) - mods.begin());
    }
    // The boxes show what the core's lists hold: the count and the selection.
    void ExpectBoxesMirrorLists() {
        for (const auto& [id, list] :
             {std::pair{IDC_LSTBSP, &Lists().lstBSP}, std::pair{IDC_LSTMAP, &Lists().lstMap}}) {
            EXPECT_EQ(SendMessageA(Editor(id), LB_GETCOUNT, 0, 0), list->ListCount());
            EXPECT_EQ(BoxSelection(Editor(id)), SelectedRows(*list));
        }
        EXPECT_EQ(Text(Editor(IDC_LABEL1)), Lists().Label1.Text());
        EXPECT_EQ(Text(Editor(IDC_LABEL2)), Lists().Label2.Text());
    }

    ScratchFolder install;
    rotaline::testing::RecordingMessages messages;
    Win32WindowSystem windows{messages};
};

TEST_F(Win32Windows, ChooserListsTheModsWithACycleInListingOrder) {
    Names listed;
    WIN32_FIND_DATAA entry;
    const HANDLE listing = FindFirstFileA((install / "*").c_str(), &entry);
    do {
        if (GetFileAttributesA((install / entry.cFileName + "\\mapcycle.txt").c_str()) !=
            INVALID_FILE_ATTRIBUTES) {
            listed.push_back(entry.cFileName);
        }
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
    EXPECT_EQ(Items(windows.ChooserWindow()->ModList()), listed);
    EXPECT_EQ(SendMessageA(Chooser(IDC_LSTMODLIST), LB_GETCOUNT, 0, 0), 2);
    EXPECT_TRUE(IsWindowVisible(windows.ChooserWindow()->Handle()));
}

// The three ways to open the selected mod.
class Opening : public Win32Windows,
                public ::testing::WithParamInterface<std::pair<const char*, int>> {};

TEST_P(Opening, ShowsTheModInTheEditor) {
    Select(Chooser(IDC_LSTMODLIST), {static_cast<int>(IndexOf("valve"))});
    switch (GetParam().second) {
    case 0:
        Click(Chooser(IDC_EDIT));
        break;
    case 1:
        Notify(Chooser(IDC_LSTMODLIST), LBN_DBLCLK);
        break;
    default:
        AccessKey(windows.ChooserWindow()->Handle(), 'e');
    }
    ASSERT_NE(windows.EditorWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(windows.EditorWindow()->Handle()));
    EXPECT_FALSE(IsWindowVisible(windows.ChooserWindow()->Handle()));
    EXPECT_EQ(GetWindow(windows.EditorWindow()->Handle(), GW_OWNER),
              windows.ChooserWindow()->Handle());
    EXPECT_EQ(Items(Lists().lstBSP), (Names{"datacore", "stalkyard"}));
    EXPECT_EQ(Items(Lists().lstMap), (Names{"crossfire", "bounce"}));
    EXPECT_EQ(Text(Editor(IDC_LABEL2)), "Map Cycle File (2 maps)");
    ExpectBoxesMirrorLists();
}

INSTANTIATE_TEST_SUITE_P(Ways, Opening,
                         ::testing::Values(std::pair{"EditButton", 0}, std::pair{"DoubleClick", 1},
                                           std::pair{"AltE", 2}),
                         [](const auto& row) { return std::string(row.param.first); });

// An action on the editor: a click on a button, a double-click on a list, or Alt and a letter.
enum class Gesture { Click, DoubleClick, AltKey };

struct EditingRow {
    const char* name;
    Rows bspSelection;
    Rows mapSelection;
    Gesture gesture;
    int target; // control, or letter
    Names cycle;
    Names others;
};

// Test names show the row's name, not its bytes.
void PrintTo(const EditingRow& row, std::ostream* out) {
    *out << row.name;
}

class Editing : public Win32Windows, public ::testing::WithParamInterface<EditingRow> {};

TEST_P(Editing, ChangesTheListsAndTheBoxesFollow) {
    OpenValve();
    const EditingRow& row = GetParam();
    Select(Editor(IDC_LSTBSP), row.bspSelection);
    Select(Editor(IDC_LSTMAP), row.mapSelection);
    if (row.gesture == Gesture::Click) {
        Click(Editor(row.target));
    } else if (row.gesture == Gesture::DoubleClick) {
        Notify(Editor(row.target), LBN_DBLCLK);
    } else {
        AccessKey(windows.EditorWindow()->Handle(), static_cast<char>(row.target));
    }
    EXPECT_EQ(Items(Lists().lstMap), row.cycle);
    EXPECT_EQ(Items(Lists().lstBSP), row.others);
    ExpectBoxesMirrorLists();
    EXPECT_TRUE(messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Actions, Editing,
    ::testing::Values(EditingRow{"Move",
                                 {0, 1},
                                 {},
                                 Gesture::Click,
                                 IDC_MOVE,
                                 {"datacore", "stalkyard", "crossfire", "bounce"},
                                 {}},
                      EditingRow{"MoveByDoubleClick",
                                 {1},
                                 {},
                                 Gesture::DoubleClick,
                                 IDC_LSTBSP,
                                 {"stalkyard", "crossfire", "bounce"},
                                 {"datacore"}},
                      EditingRow{"Remove",
                                 {},
                                 {0},
                                 Gesture::Click,
                                 IDC_REMOVE,
                                 {"bounce"},
                                 {"crossfire", "datacore", "stalkyard"}},
                      EditingRow{"Up",
                                 {},
                                 {1},
                                 Gesture::Click,
                                 IDC_UP,
                                 {"bounce", "crossfire"},
                                 {"datacore", "stalkyard"}},
                      EditingRow{"Down",
                                 {},
                                 {0},
                                 Gesture::Click,
                                 IDC_DOWN,
                                 {"bounce", "crossfire"},
                                 {"datacore", "stalkyard"}},
                      // Two maps: the first lands at 2 / 2 = 1 whatever the draws.
                      EditingRow{"RandomizeByAltR",
                                 {},
                                 {},
                                 Gesture::AltKey,
                                 'r',
                                 {"bounce", "crossfire"},
                                 {"datacore", "stalkyard"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Win32Windows, SaveByAltSWritesTheCycleByteForByte) {
    OpenValve();
    Select(Editor(IDC_LSTMAP), {1});
    Click(Editor(IDC_UP));
    AccessKey(windows.EditorWindow()->Handle(), 's');
    EXPECT_EQ(ScratchFolder::Read(install / "valve\\mapcycle.txt"), "bounce\r\ncrossfire\r\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Map Saved");
}

TEST_F(Win32Windows, FailedSaveKeepsTheFileAndTheEdits) {
    SetFileAttributesA((install / "valve\\mapcycle.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    OpenValve();
    Select(Editor(IDC_LSTMAP), {1});
    Click(Editor(IDC_UP));
    Click(Editor(IDC_SAVE));
    EXPECT_EQ(ScratchFolder::Read(install / "valve\\mapcycle.txt"), "crossfire\r\nbounce");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Cannot Save");
    EXPECT_EQ(Items(Lists().lstMap), (Names{"bounce", "crossfire"}));
    EXPECT_TRUE(IsWindowVisible(windows.EditorWindow()->Handle()));
}

TEST_F(Win32Windows, CloseReturnsToTheChooserAndExitEnds) {
    OpenValve();
    AccessKey(windows.EditorWindow()->Handle(), 'c');
    EXPECT_EQ(windows.EditorWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(windows.ChooserWindow()->Handle()));
    EXPECT_EQ(SendMessageA(Chooser(IDC_LSTMODLIST), LB_GETCURSEL, 0, 0), IndexOf("valve"));
    OpenValve();
    Click(Chooser(IDC_CHOOSER_CLOSE));
    EXPECT_EQ(windows.FormsCount(), 0);
    EXPECT_FALSE(windows.ProcessQueued()) << "the program goes on after Exit";
}

// Both headings read in full in their boxes, at every width a count can take.
TEST_F(Win32Windows, HeadingsFitTheirBoxes) {
    OpenValve();
    for (const int count : {0, 8, 88, 888, 8888, 28888, 32767}) {
        Names names;
        for (int k = 0; k < count; ++k) {
            names.push_back("m" + std::to_string(k));
        }
        Lists().lstBSP.ReplaceAll(names);
        Lists().lstMap.ReplaceAll(names);
        RefreshCountCaptions(Lists());
        for (const int id : {IDC_LABEL1, IDC_LABEL2}) {
            const HWND label = Editor(id);
            const std::string text = Text(label);
            EXPECT_NE(text.find("(" + std::to_string(count) + " maps)"), std::string::npos);
            RECT box{};
            GetClientRect(label, &box);
            const HDC dc = GetDC(label);
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
            SIZE size{};
            GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
            ReleaseDC(label, dc);
            EXPECT_LE(size.cx, box.right) << text;
        }
    }
}

TEST(Win32Startup, CannotStartWhenTheRegistryValueIsMissing) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Valve\\Half-Life", 0,
                      KEY_SET_VALUE | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "InstallPath");
        RegCloseKey(key);
    }
    rotaline::testing::RecordingMessages messages;
    Win32WindowSystem windows(messages);
    EXPECT_FALSE(windows.Start(std::nullopt));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Cannot Start");
    EXPECT_EQ(windows.FormsCount(), 0);
}

} // namespace
} // namespace rotaline::win32
