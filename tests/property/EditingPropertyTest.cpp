// Long random runs of the editor's operations, checked step by step against a plain model.
#include "core/FakeWindowSystem.h"
#include "core/lists/EditingOperations.h"
#include "core/platform/FolderListing.h"
#include "core/platform/posix/FileSystemCalls.h"
#include "core/session/Globals.h"
#include "core/session/OpenMod.h"
#include "core/session/SaveAndReturn.h"
#include "lists/ListText.h"
#include "lists/ReferenceList.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace rotaline {
namespace {

using testing::FakeWindowSystem;
using namespace reference;

// A text shown with its odd bytes escaped, so that a counterexample reads on a terminal.
struct Text {
    std::string bytes;
};

std::string Escaped(const std::string& bytes) {
    std::string shown = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        } else {
            shown += c;
        }
    }
    return shown + "\"";
}

void showValue(const Text& text, std::ostream& out) {
    out << Escaped(text.bytes);
}

// ---- The model: the lists as plain vectors, and the operations done literally ----

struct Model {
    std::vector<Entry> available; // lstBSP
    std::vector<Entry> cycle;     // lstMap
    int availableCurrent = -1;
    int cycleCurrent = -1;
    std::vector<std::string> folderMaps; // the map names a listing of the maps folder gives
    std::vector<std::string> fileLines;  // what the cycle file holds, as lines
    bool lineFeeds = false;              // the file's lines end in LF alone
};

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return !SortsBefore(a, b) && !SortsBefore(b, a);
}

void ModelMove(Model& m) {
    for (int i = static_cast<int>(m.available.size()) - 1; i >= 0; --i) {
        if (m.available[i].selected) {
            InsertAt(m.cycle, m.cycleCurrent, 0, m.available[i].text);
            EraseAt(m.available, m.availableCurrent, i);
        }
    }
}

void ModelRemove(Model& m) {
    for (int i = static_cast<int>(m.cycle.size()) - 1; i >= 0; --i) {
        if (m.cycle[i].selected) {
            AddSorted(m.available, m.availableCurrent, m.cycle[i].text);
            EraseAt(m.cycle, m.cycleCurrent, i);
        }
    }
}

void ModelUpOrDown(Model& m, bool up) {
    const int first = up ? 1 : 0;
    const int last = static_cast<int>(m.cycle.size()) - (up ? 1 : 2);
    for (int i = first; i <= last; ++i) {
        if (m.cycle[i].selected) {
            const std::string text = m.cycle[i].text;
            const int to = up ? i - 1 : i + 1;
            m.cycle.erase(m.cycle.begin() + i);
            m.cycle.insert(m.cycle.begin() + to, Entry{text, false});
            for (Entry& entry : m.cycle) {
                entry.selected = false;
            }
            m.cycle[to].selected = true;
            m.cycleCurrent = to;
            return;
        }
    }
}

void ModelRandomize(Model& m, const std::vector<double>& draws) {
    const int n = static_cast<int>(m.cycle.size());
    if (n == 0) {
        return;
    }
    std::vector<std::string> left;
    for (const Entry& entry : m.cycle) {
        left.push_back(entry.text);
    }
    std::vector<std::string> slots(n);
    std::size_t draw = 0;
    for (int remaining = n - 1; remaining >= 1; --remaining) {
        const double u = draws[draw++];
        // Rounding may carry remaining * u + 1 up to remaining + 1; a draw stays in 1..remaining.
        const int r = std::clamp(static_cast<int>(std::floor(remaining * u + 1)), 1, remaining);
        slots[remaining] = left[r];
        left.erase(left.begin() + r);
    }
    slots[0] = left[0];
    std::vector<std::string> order(slots.begin() + 1, slots.end());
    order.insert(order.begin() + n / 2, slots[0]);
    m.cycle.clear();
    for (const std::string& text : order) {
        m.cycle.push_back(Entry{text, false});
    }
    m.cycleCurrent = -1;
}

// Opening the mod: the maps no line names (letter case ignored), added one by one in the
// listing's order, and the file's lines.
void ModelOpen(Model& m) {
    m.available.clear();
    m.availableCurrent = -1;
    for (const std::string& map : m.folderMaps) {
        const bool named =
            std::any_of(m.fileLines.begin(), m.fileLines.end(), [&](const std::string& line) {
                // The line's first word, as the server splits words.
                const auto isSeparator = [](char c) {
                    return static_cast<unsigned char>(c) <= ' ';
                };
                const auto start = std::find_if_not(line.begin(), line.end(), isSeparator);
                const auto stop = std::find_if(start, line.end(), isSeparator);
                return SameIgnoringCase(std::string(start, stop), map);
            });
        if (!named) {
            AddSorted(m.available, m.availableCurrent, map);
        }
    }
    m.cycle.clear();
    for (const std::string& line : m.fileLines) {
        m.cycle.push_back(Entry{line, false});
    }
    m.cycleCurrent = -1;
}

std::string CycleBytes(const std::vector<std::string>& lines, bool lineFeeds) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + (lineFeeds ? "\n" : "\r\n");
    }
    return bytes;
}

// ---- The system under test: a mod folder on disk and the editor opened on it ----

// Saves here are many and their durability is tested elsewhere: flushing each to the disk
// would only make the runs slow.
class WithoutFlushes : public FileSystemCalls {
public:
    WithoutFlushes() : previous_(UseFileSystemCalls(this)) {}
    ~WithoutFlushes() override { UseFileSystemCalls(previous_); }
    WithoutFlushes(const WithoutFlushes&) = delete;
    WithoutFlushes& operator=(const WithoutFlushes&) = delete;
    int Fsync(int) override { return 0; }

private:
    FileSystemCalls* previous_;
};

struct Editor {
    WithoutFlushes calls;
    TempFolder install;
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};

    EditorLists& Lists() { return windows.editor->lists; }
    void Open() {
        InstallPath = install.Path();
        modList.Clear();
        modList.AddItem("valve");
        modList.SetSelected(0, true);
        cmdEdit_Click(modList, windows);
    }
};

// Draws the test asked for, in order.
class ScriptedDraws : public RandomSource {
public:
    explicit ScriptedDraws(const std::vector<double>& draws) : draws_(draws) {}
    void ReseedFromClock() override {}
    double Draw() override {
        RC_ASSERT(next_ < draws_.size());
        return draws_[next_++];
    }

private:
    const std::vector<double>& draws_;
    std::size_t next_ = 0;
};

std::vector<std::string> Texts(const std::vector<Entry>& list) {
    std::vector<std::string> texts;
    for (const Entry& entry : list) {
        texts.push_back(entry.text);
    }
    return texts;
}

std::vector<bool> Flags(const std::vector<Entry>& list) {
    std::vector<bool> flags;
    for (const Entry& entry : list) {
        flags.push_back(entry.selected);
    }
    return flags;
}

std::vector<bool> Flags(const SelectableList& list) {
    std::vector<bool> flags;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        flags.push_back(list.Selected(i));
    }
    return flags;
}

std::map<std::string, int> Multiset(const std::vector<std::string>& a,
                                    const std::vector<std::string>& b) {
    std::map<std::string, int> counts;
    for (const std::string& text : a) {
        ++counts[text];
    }
    for (const std::string& text : b) {
        ++counts[text];
    }
    return counts;
}

// Everything the user can see of the editor, and the file on disk, against the model.
void Verify(const Model& expected, Editor& editor) {
    const EditorLists& lists = editor.Lists();
    const std::vector<std::string> available = Items(lists.lstBSP);
    RC_ASSERT(std::is_sorted(available.begin(), available.end(), SortsBefore));
    RC_ASSERT(available == Texts(expected.available));
    RC_ASSERT(Items(lists.lstMap) == Texts(expected.cycle));
    RC_ASSERT(Flags(lists.lstBSP) == Flags(expected.available));
    RC_ASSERT(Flags(lists.lstMap) == Flags(expected.cycle));
    RC_ASSERT(int{lists.lstBSP.ListIndex()} == expected.availableCurrent);
    RC_ASSERT(int{lists.lstMap.ListIndex()} == expected.cycleCurrent);
    RC_ASSERT(lists.Label1.Text() ==
              "All Half Life Maps (" + std::to_string(expected.available.size()) + " maps)");
    RC_ASSERT(lists.Label2.Text() ==
              "Map Cycle File (" + std::to_string(expected.cycle.size()) + " maps)");
    RC_ASSERT(TempFolder::Read(editor.install / "valve/mapcycle.txt") ==
              CycleBytes(expected.fileLines, expected.lineFeeds));
}

// ---- The steps ----

enum class Action { Select, Move, Remove, Up, Down, Randomize, Save, Reopen };

const char* NameOf(Action action) {
    static const char* const kNames[] = {"Select", "Move",      "Remove", "Up",
                                         "Down",   "Randomize", "Save",   "Close and Edit again"};
    return kNames[static_cast<int>(action)];
}

rc::Gen<double> Draw() {
    // The ends of [0, 1) often, or any double the generator can give.
    return rc::gen::weightedOneOf<double>(
        {{1, rc::gen::just(0.0)},
         {1, rc::gen::just(std::nextafter(1.0, 0.0))},
         {4,
          rc::gen::map(rc::gen::inRange<std::int64_t>(0, std::int64_t{1} << 53),
                       [](std::int64_t k) { return std::ldexp(static_cast<double>(k), -53); })}});
}

class Step : public rc::state::Command<Model, Editor> {
public:
    explicit Step(const Model& m) {
        action = *rc::gen::weightedElement<Action>({{4, Action::Select},
                                                    {2, Action::Move},
                                                    {2, Action::Remove},
                                                    {2, Action::Up},
                                                    {2, Action::Down},
                                                    {1, Action::Randomize},
                                                    {1, Action::Save},
                                                    {1, Action::Reopen}});
        if (action == Action::Select) {
            inCycle = *rc::gen::arbitrary<bool>();
            const int count = static_cast<int>(inCycle ? m.cycle.size() : m.available.size());
            flags = *rc::gen::container<std::vector<bool>>(static_cast<std::size_t>(count),
                                                           rc::gen::arbitrary<bool>());
            current = *rc::gen::inRange(-1, count);
        }
        if (action == Action::Randomize && m.cycle.size() > 1) {
            draws = *rc::gen::container<std::vector<double>>(m.cycle.size() - 1, Draw());
        }
    }

    // A shrunk run replays a step on a state other than the one it was made for; only a step
    // whose selection and draws fit the lists as they now stand is kept.
    void checkPreconditions(const Model& m) const override {
        if (action == Action::Select) {
            const std::size_t count = inCycle ? m.cycle.size() : m.available.size();
            RC_PRE(flags.size() == count);
            RC_PRE(current < static_cast<int>(count));
        }
        if (action == Action::Randomize) {
            RC_PRE(draws.size() == (m.cycle.size() > 1 ? m.cycle.size() - 1 : 0));
        }
    }

    void apply(Model& m) const override {
        switch (action) {
        case Action::Select: {
            std::vector<Entry>& list = inCycle ? m.cycle : m.available;
            for (std::size_t i = 0; i < list.size(); ++i) {
                list[i].selected = flags[i];
            }
            (inCycle ? m.cycleCurrent : m.availableCurrent) = current;
            break;
        }
        case Action::Move:
            ModelMove(m);
            break;
        case Action::Remove:
            ModelRemove(m);
            break;
        case Action::Up:
        case Action::Down:
            ModelUpOrDown(m, action == Action::Up);
            break;
        case Action::Randomize:
            ModelRandomize(m, draws);
            break;
        case Action::Save:
            if (!m.cycle.empty()) {
                m.fileLines = Texts(m.cycle);
            }
            break;
        case Action::Reopen:
            ModelOpen(m);
            break;
        }
    }

    void run(const Model& before, Editor& editor) const override {
        EditorLists& lists = editor.Lists();
        const std::size_t messages = editor.windows.messages.shown.size();
        const auto held = Multiset(Items(lists.lstBSP), Items(lists.lstMap));
        switch (action) {
        case Action::Select: {
            SelectableList& list = inCycle ? lists.lstMap : lists.lstBSP;
            for (std::size_t i = 0; i < flags.size(); ++i) {
                list.SetSelected(static_cast<std::int16_t>(i), flags[i]);
            }
            list.SetListIndex(static_cast<std::int16_t>(current));
            break;
        }
        case Action::Move:
            cmdMove_Click(lists);
            break;
        case Action::Remove:
            cmdRemove_Click(lists);
            break;
        case Action::Up:
            cmdUP_Click(lists.lstMap);
            break;
        case Action::Down:
            cmdDown_Click(lists.lstMap);
            break;
        case Action::Randomize: {
            ScriptedDraws random(draws);
            cmdRandom_Click(lists.lstMap, random);
            break;
        }
        case Action::Save:
            cmdSave_Click(lists, editor.windows.messages);
            break;
        case Action::Reopen:
            cmdClose_Click(editor.windows, *editor.windows.editor);
            editor.Open();
            break;
        }

        EditorLists& after = editor.Lists(); // a new editor's after Close and Edit
        const Model expected = nextState(before);
        const std::vector<testing::ShownMessage>& shown = editor.windows.messages.shown;
        if (action == Action::Save && !before.cycle.empty()) {
            RC_ASSERT(shown.size() == messages + 1);
            RC_ASSERT(shown.back().text == "Map Saved");
        } else {
            RC_ASSERT(shown.size() == messages);
        }
        if (action != Action::Reopen) {
            // Editing moves maps about; it never makes, loses or changes one.
            RC_ASSERT(Multiset(Items(after.lstBSP), Items(after.lstMap)) == held);
        }
        Verify(expected, editor);
    }

    void show(std::ostream& out) const override {
        out << NameOf(action);
        if (action == Action::Select) {
            out << (inCycle ? " in lstMap:" : " in lstBSP:");
            for (std::size_t i = 0; i < flags.size(); ++i) {
                if (flags[i]) {
                    out << ' ' << i;
                }
            }
            out << ", current " << current;
        }
        if (!draws.empty()) {
            out << " with draws";
            for (const double u : draws) {
                out << ' ' << u;
            }
        }
    }

    Action action;
    bool inCycle = false;
    std::vector<bool> flags;
    int current = -1;
    std::vector<double> draws;
};

// ---- The starting folder ----

rc::Gen<char> NameByte() {
    // Letters that fold into each other, a space, bytes above 127 that are no UTF-8 on their
    // own, a line feed, which no line holds and so no offered map either, and a backslash, which
    // no listed name holds.
    return rc::gen::element<char>('a', 'A', 'b', 'B', 'z', '_', ' ', '1', '\xE9', '\xC9', '\xFF',
                                  '\n', '\\');
}

rc::Gen<Text> MapName() {
    return rc::gen::map(rc::gen::container<std::string>(NameByte()), [](std::string s) {
        s.resize(std::min<std::size_t>(s.size(), 12));
        return Text{s};
    });
}

// A line names a map as it is spelt, with its letters' case changed, or names none; it may be
// empty and may hold NUL bytes, as a cycle file can.
rc::Gen<Text> Line(const std::vector<Text>& maps) {
    const auto anyText = rc::gen::map(
        rc::gen::container<std::string>(rc::gen::oneOf(NameByte(), rc::gen::just('\0'))),
        [](std::string s) {
            s.resize(std::min<std::size_t>(s.size(), 12));
            return Text{s};
        });
    // A line ends at a line feed: what would follow it is no part of the line.
    const auto toLineFeed = [](Text t) {
        t.bytes = t.bytes.substr(0, t.bytes.find('\n'));
        return t;
    };
    if (maps.empty()) {
        return rc::gen::map(anyText, toLineFeed);
    }
    const auto caseChanged = rc::gen::map(rc::gen::elementOf(maps), [](Text t) {
        for (char& c : t.bytes) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 32);
            } else if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c + 32);
            }
        }
        return t;
    });
    return rc::gen::map(rc::gen::oneOf(anyText, rc::gen::elementOf(maps), caseChanged), toLineFeed);
}

RC_GTEST_PROP(EditorRun, EveryStepKeepsTheListsTheHeadingsAndTheFileAsTheModelSays, ()) {
    const auto maps = *rc::gen::suchThat(
        rc::gen::uniqueBy<std::vector<Text>>(MapName(), [](const Text& t) { return t.bytes; }),
        [](const std::vector<Text>& names) {
            return std::any_of(names.begin(), names.end(), [](const Text& t) {
                return !t.bytes.empty() && t.bytes.find_first_of("\\\n") == std::string::npos;
            });
        });
    const auto lines = *rc::gen::container<std::vector<Text>>(Line(maps));
    const auto upperExtension = *rc::gen::arbitrary<bool>();
    const auto lineFeeds = *rc::gen::arbitrary<bool>();

    Editor editor;
    Model model;
    editor.install.MakeFolder("valve");
    editor.install.MakeFolder("valve/maps");
    for (const Text& map : maps) {
        editor.install.Write("valve/maps/" + map.bytes + (upperExtension ? ".BSP" : ".bsp"), "");
    }
    // The maps in the order the folder listing gives them, which its own tests fix, less the
    // names no cycle line can hold.
    for (const std::string& name :
         ListFolder(editor.install.Path() + "\\valve\\maps\\*.bsp", kAttrNormal).names) {
        if (name.find_first_of("\r\n") == std::string::npos) {
            model.folderMaps.push_back(name.substr(0, name.size() - 4));
        }
    }
    for (const Text& line : lines) {
        model.fileLines.push_back(line.bytes);
    }
    model.lineFeeds = lineFeeds && !lines.empty();
    const std::string file = CycleBytes(model.fileLines, model.lineFeeds);
    editor.install.Write("valve/mapcycle.txt", file);
    editor.Open();
    RC_ASSERT(editor.windows.messages.shown.empty());
    ModelOpen(model);
    Verify(model, editor);

    rc::state::check(model, editor, rc::state::gen::execOneOfWithArgs<Step>());
}

} // namespace
} // namespace rotaline
