// What the gestures in the windows do: the tables the window tests of both front-ends share.
#pragma once

#include "core/lists/RandomSource.h"

#include <ostream>

namespace rotaline::testing {

// valve has the maps m1 to m7; its cycle names three of them and one map it does not have.
inline constexpr char kValveCycle[] = "m2\r\nm7\r\ngone\r\nm1";

// Every draw 0, so that a shuffle can be foreseen.
struct ZeroRandom : RandomSource {
    void ReseedFromClock() override {}
    double Draw() override { return 0.0; }
};

// The rows clicked in each list (the first alone, the others with Ctrl); the gesture: a control
// clicked, "lst..." a double-click on the list's current row, "Alt+L" an access key, "Key
// control" a key pressed on a control; then the lists and the cycle's selected rows after it.
struct EditorGesture {
    const char *name, *maps, *cycle, *gesture, *cycleAfter, *mapsAfter, *selectedAfter;
    // GoogleTest shows a row by its name, not its bytes.
    friend void PrintTo(const EditorGesture& row, std::ostream* out) { *out << row.name; }
};

inline constexpr EditorGesture kEditorGestures[] = {
    {"Move", "1 3", "", "cmdMove", "m4 m6 m2 m7 gone m1", "m3 m5", ""},
    {"MoveByDoubleClick", "2", "", "lstBSP", "m5 m2 m7 gone m1", "m3 m4 m6", ""},
    {"Remove", "", "0 3", "cmdRemove", "m7 gone", "m1 m2 m3 m4 m5 m6", ""},
    {"RemoveByDoubleClick", "", "2", "lstMap", "m2 m7 m1", "gone m3 m4 m5 m6", ""},
    {"Up", "", "1 3", "cmdUP", "m7 m2 gone m1", "m3 m4 m5 m6", "0"},
    {"Down", "", "1", "cmdDown", "m2 gone m7 m1", "m3 m4 m5 m6", "2"},
    {"RandomizeByAltR", "", "", "Alt+R", "m1 gone m2 m7", "m3 m4 m5 m6", ""},
    {"SaveByAltS", "", "1", "Alt+S", "m2 m7 gone m1", "m3 m4 m5 m6", "1"},
    {"ReturnOnUp", "", "1", "Return cmdUP", "m7 m2 gone m1", "m3 m4 m5 m6", "0"},
    {"KeypadEnterOnDown", "", "1", "Enter cmdDown", "m2 gone m7 m1", "m3 m4 m5 m6", "2"},
    {"ReturnOnTheCycle", "", "1", "Return lstMap", "m2 m7 gone m1", "m3 m4 m5 m6", "1"},
};

// Going from window to window: a gesture in the chooser, or in the editor opened on valve, and
// the windows loaded after it (2: the editor shows, 1: the chooser shows, 0: the program ended).
struct WindowGesture {
    const char *name, *gesture;
    bool inEditor;
    int formsAfter;
    friend void PrintTo(const WindowGesture& row, std::ostream* out) { *out << row.name; }
};

inline constexpr WindowGesture kWindowGestures[] = {
    {"EditClicked", "cmdEdit", false, 2},
    {"DoubleClick", "lstModList", false, 2},
    {"AltE", "Alt+E", false, 2},
    {"EnterOnEdit", "Enter cmdEdit", false, 2},
    {"ReturnOnTheList", "Return lstModList", false, 1},
    {"AltC", "Alt+C", true, 1},
    {"CloseClicked", "cmdClose", true, 1},
    {"EditorCloseBox", "", true, 1},
    {"AltX", "Alt+X", false, 0},
    {"ExitClicked", "cmdClose", false, 0},
    {"ChooserCloseBox", "", false, 0},
};

} // namespace rotaline::testing
