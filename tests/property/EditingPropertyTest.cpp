// Random runs of the list model and of the editor's operations, step by step against a plain model.
#include "ListModel.h"
#include "core/FakeWindowSystem.h"
#include "core/lists/EditingOperations.h"
#include "core/lists/ListDisplay.h"
#include "core/platform/FolderListing.h"
#include "core/platform/posix/FileSystemCalls.h"
#include "core/session/Globals.h"
#include "core/session/OpenMod.h"
#include "core/session/SaveAndReturn.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace rotaline {
namespace {

using testing::FakeWindowSystem;

// Bytes that fold into each other, sort around the letters, are no UTF-8 alone, or end a line.
rc::Gen<std::string> Name(bool withNul = false) {
    const auto byte = rc::gen::element<char>('a', 'A', 'b', 'B', 'z', 'Z', '_', ' ', '1', '\xE9',
                                             '\xC9', '\xFF', '\n', '\\', withNul ? '\0' : 'a');
    return rc::gen::map(rc::gen::container<std::string>(byte), [](std::string s) {
        s.resize(std::min<std::size_t>(s.size(), 6));
        return s;
    });
}

// The model's flags as the fewest runs of neighbours, as views are told them.
std::vector<std::pair<int, int>> Runs(const model::List& list) {
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.entries[i].selected) {
            if (runs.empty() || runs.back().second != i - 1) {
                runs.emplace_back(i, i);
            }
            runs.back().second = i;
        }
    }
    return runs;
}

void CheckList(const SelectableList& real, const model::List& expected) {
    RC_ASSERT(model::Describe(model::Snapshot(real)) == model::Describe(expected));
    RC_ASSERT(real.SelCount() == std::count_if(expected.entries.begin(), expected.entries.end(),
                                               [](const model::Entry& e) { return e.selected; }));
    std::vector<std::pair<int, int>> runs;
    for (const SelectedRun& run : SelectedRuns(real)) {
        runs.emplace_back(run.first, run.last);
    }
    RC_ASSERT(runs == Runs(expected));
}

// The bulk members give what the item-by-item calls give, on sorted and single lists alike.
RC_GTEST_PROP(SelectableListRun, BulkMembersMatchTheItemByItemModel, (bool sorted, bool single)) {
    SelectableList list(single ? SelectionStyle::Single : SelectionStyle::Extended, sorted);
    model::List m{{}, -1, sorted, single};
    const auto names = rc::gen::container<std::vector<std::string>>(rc::gen::resize(8, Name()));
    for (int step = *rc::gen::inRange(0, 40); step > 0; --step) {
        const int count = m.Count();
        const auto index = [&](int extra) { return *rc::gen::inRange(0, count + extra); };
        switch (*rc::gen::inRange(0, 10)) {
        case 0: {
            const auto added = *names;
            list.AddItems(added);
            std::for_each(added.begin(), added.end(), [&](auto& t) { m.Add(t); });
            break;
        }
        case 1:
            if (!sorted) {
                const auto added = *names;
                const int at = index(1);
                list.InsertItems(added, static_cast<std::int16_t>(at));
                for (std::size_t k = 0; k < added.size(); ++k) {
                    m.Insert(at + static_cast<int>(k), added[k]);
                }
            }
            break;
        case 2: {
            std::vector<std::string> taken;
            for (int i = count - 1; i >= 0; --i) {
                if (m.entries[i].selected) {
                    taken.insert(taken.begin(), m.entries[i].text);
                    m.Erase(i);
                }
            }
            RC_ASSERT(list.TakeSelected() == taken);
            break;
        }
        case 3: {
            const char first = *rc::gen::element('a', 'A', 'b', '_');
            const auto remove = [&](const std::string& t) { return t.find(first) == 0; };
            list.RemoveIf(remove);
            for (int i = count - 1; i >= 0; --i) {
                if (remove(m.entries[i].text)) {
                    m.Erase(i);
                }
            }
            break;
        }
        case 4: {
            const auto added = *names;
            list.ReplaceAll(added);
            m = model::List{{}, -1, sorted, single};
            std::for_each(added.begin(), added.end(), [&](auto& t) { m.Add(t); });
            break;
        }
        case 5:
            if (count > 0) {
                const int first = index(-1);
                const int last = *rc::gen::inRange(first, count);
                const bool on = *rc::gen::arbitrary<bool>();
                list.SetSelectedRange(static_cast<std::int16_t>(first),
                                      static_cast<std::int16_t>(last), on);
                for (int k = first; k <= last; ++k) {
                    m.Select(k, on);
                }
            }
            break;
        case 6:
            list.ClearSelection();
            m.ClearSelection();
            break;
        case 7:
            if (count > 0) {
                const int at = index(-1);
                const bool on = *rc::gen::arbitrary<bool>();
                list.SetSelected(static_cast<std::int16_t>(at), on);
                m.Select(at, on);
                const int current = index(0) - 1;
                list.SetListIndex(static_cast<std::int16_t>(current));
                if (single && current < 0) {
                    m.ClearSelection();
                } else if (single) {
                    m.Select(current, true);
                }
                m.current = current;
            }
            break;
        case 8:
            if (count > 0) {
                const int at = index(-1);
                list.RemoveItem(static_cast<std::int16_t>(at));
                m.Erase(at);
            }
            break;
        default: {
            const std::string added = *Name();
            const int at = sorted ? -1 : index(1);
            at < 0 ? list.AddItem(added) : list.AddItem(added, static_cast<std::int16_t>(at));
            at < 0 ? m.Add(added) : m.Insert(at, added);
            break;
        }
        }
        CheckList(list, m);
    }
}

// ---- The editor opened on a mod folder on disk ----

struct Model {
    model::Lists lists;
    std::vector<std::string> folderMaps; // as a listing of the maps folder gives them
    std::vector<std::string> fileLines;  // what the cycle file holds
    bool lineFeeds = false;              // the file's lines end in LF alone

    // Opening: the maps no line's first word names (letter case ignored), and the file's lines.
    void Open() {
        lists = model::Lists{};
        const auto isSeparator = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
        for (const std::string& map : folderMaps) {
            if (std::none_of(fileLines.begin(), fileLines.end(), [&](const std::string& line) {
                    const auto start = std::find_if_not(line.begin(), line.end(), isSeparator);
                    const std::string word(start, std::find_if(start, line.end(), isSeparator));
                    return !model::SortsBefore(word, map) && !model::SortsBefore(map, word);
                })) {
                lists.available.Add(map);
            }
        }
        std::for_each(fileLines.begin(), fileLines.end(), [&](auto& l) { lists.cycle.Add(l); });
    }
};

// Saves here are many and their durability is tested elsewhere: flushes would only be slow.
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
    int headingRedraws = 0;

    EditorLists& Lists() { return windows.editor->lists; }
    void Open() {
        InstallPath = install.Path();
        modList.Clear();
        modList.AddItem("valve");
        modList.SetSelected(0, true);
        cmdEdit_Click(modList, windows);
        Lists().Label2.OnChange([this](const std::string&) { ++headingRedraws; });
    }
};

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

std::string CycleBytes(const std::vector<std::string>& lines, bool lineFeeds) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + (lineFeeds ? "\n" : "\r\n");
    }
    return bytes;
}

std::map<std::string, int> Held(const EditorLists& lists) {
    std::map<std::string, int> counts;
    for (const SelectableList* list : {&lists.lstBSP, &lists.lstMap}) {
        for (std::int16_t i = 0; i < list->ListCount(); ++i) {
            ++counts[list->List(i)];
        }
    }
    return counts;
}

void Verify(const Model& expected, Editor& editor) {
    const std::string mismatch = model::Mismatch(expected.lists, editor.Lists());
    RC_ASSERT(mismatch == "");
    RC_ASSERT(TempFolder::Read(editor.install / "valve/mapcycle.txt") ==
              CycleBytes(expected.fileLines, expected.lineFeeds));
}

enum class Action { Select, Move, Remove, Up, Down, Randomize, Save, Reopen };

rc::Gen<double> Draw() {
    // The ends of [0, 1) often, NaN and 1.0 from a faulty generator now and then.
    return rc::gen::weightedOneOf<double>(
        {{2, rc::gen::just(0.0)},
         {2, rc::gen::just(std::nextafter(1.0, 0.0))},
         {1, rc::gen::element(1.0, -1.0, std::nan(""))},
         {8, rc::gen::map(rc::gen::inRange<std::int64_t>(0, std::int64_t{1} << 53),
                          [](auto k) { return std::ldexp(static_cast<double>(k), -53); })}});
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
        inCycle = *rc::gen::arbitrary<bool>();
        const int count = (inCycle ? m.lists.cycle : m.lists.available).Count();
        if (action == Action::Select) {
            flags = *rc::gen::container<std::vector<bool>>(static_cast<std::size_t>(count),
                                                           rc::gen::arbitrary<bool>());
            current = *rc::gen::inRange(-1, count);
        }
        if (action == Action::Randomize && m.lists.cycle.Count() > 1) {
            draws =
                *rc::gen::container<std::vector<double>>(m.lists.cycle.entries.size() - 1, Draw());
        }
    }

    // A shrunk run replays a step on another state: only a step that still fits is kept.
    void checkPreconditions(const Model& m) const override {
        const int count = (inCycle ? m.lists.cycle : m.lists.available).Count();
        RC_PRE(
            (action != Action::Select || (flags.size() == std::size_t(count) && current < count)));
        RC_PRE((action != Action::Randomize ||
                draws.size() == std::size_t(std::max(m.lists.cycle.Count() - 1, 0))));
    }

    void apply(Model& m) const override {
        model::List& list = inCycle ? m.lists.cycle : m.lists.available;
        switch (action) {
        case Action::Select:
            for (std::size_t i = 0; i < flags.size(); ++i) {
                list.entries[i].selected = flags[i];
            }
            list.current = current;
            break;
        case Action::Move:
            model::Move(m.lists);
            break;
        case Action::Remove:
            model::Remove(m.lists);
            break;
        case Action::Up:
        case Action::Down:
            model::UpOrDown(m.lists.cycle, action == Action::Up);
            break;
        case Action::Randomize:
            model::Shuffle(m.lists.cycle, draws);
            break;
        case Action::Save:
            m.fileLines = m.lists.cycle.Count() > 0 ? m.lists.cycle.Texts() : m.fileLines;
            break;
        case Action::Reopen:
            m.Open();
            break;
        }
    }

    void run(const Model& before, Editor& editor) const override {
        EditorLists& lists = editor.Lists();
        const std::size_t messages = editor.windows.messages.shown.size();
        const auto held = Held(lists);
        editor.headingRedraws = 0;
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
        case Action::Remove:
            action == Action::Move ? cmdMove_Click(lists) : cmdRemove_Click(lists);
            RC_ASSERT(editor.headingRedraws == 1);
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
        const bool saved = action == Action::Save && before.lists.cycle.Count() > 0;
        const auto& shown = editor.windows.messages.shown;
        RC_ASSERT(shown.size() == messages + (saved ? 1 : 0));
        RC_ASSERT((!saved || shown.back().text == "Map Saved"));
        // Editing moves maps about; it never makes, loses or changes one.
        RC_ASSERT((action == Action::Reopen || Held(editor.Lists()) == held));
        Verify(nextState(before), editor);
    }

    void show(std::ostream& out) const override {
        const char* const names[] = {"Select", "Move",      "Remove", "Up",
                                     "Down",   "Randomize", "Save",   "Close and Edit again"};
        out << names[static_cast<int>(action)];
        if (action == Action::Select) {
            out << (inCycle ? " in lstMap:" : " in lstBSP:");
            for (std::size_t i = 0; i < flags.size(); ++i) {
                out << (flags[i] ? " " + std::to_string(i) : "");
            }
            out << ", current " << current;
        }
        for (const double u : draws) {
            out << ' ' << u;
        }
    }

    Action action;
    bool inCycle = false;
    std::vector<bool> flags;
    int current = -1;
    std::vector<double> draws;
};

RC_GTEST_PROP(EditorRun, EveryStepKeepsTheListsTheHeadingsAndTheFileAsTheModelSays, ()) {
    // Unique map names, one at least that is offered (not empty, no backslash, no line end).
    const auto maps = *rc::gen::suchThat(
        rc::gen::unique<std::vector<std::string>>(Name()), [](const std::vector<std::string>& ns) {
            return std::any_of(ns.begin(), ns.end(), [](const std::string& n) {
                return !n.empty() && n.find_first_of("\\\r\n") == std::string::npos;
            });
        });
    // A line names a map as spelt, with its letters' case swapped, or none; it may hold NULs.
    const auto swapped = rc::gen::map(rc::gen::elementOf(maps), [](std::string t) {
        for (char& c : t) {
            c = static_cast<char>(std::isalpha(static_cast<unsigned char>(c)) ? c ^ 0x20 : c);
        }
        return t;
    });
    const auto lines = *rc::gen::container<std::vector<std::string>>(
        rc::gen::oneOf(Name(true), rc::gen::elementOf(maps), swapped));
    const char* const extension = *rc::gen::element(".bsp", ".BSP");

    Editor editor;
    Model model;
    editor.install.MakeFolder("valve");
    editor.install.MakeFolder("valve/maps");
    for (const std::string& map : maps) {
        editor.install.Write("valve/maps/" + map + extension, "");
    }
    // The maps in the order the folder listing gives them, which its own tests fix, less the
    // names no cycle line can hold.
    const auto listed = ListFolder(editor.install.Path() + "\\valve\\maps\\*.bsp", kAttrNormal);
    RC_ASSERT(listed.ok());
    for (const std::string& name : *listed) {
        if (name.find_first_of("\r\n") == std::string::npos) {
            model.folderMaps.push_back(name.substr(0, name.size() - 4));
        }
    }
    // Lines hold no line end; the file ends its lines in LF alone or in CR LF.
    for (std::string line : lines) {
        std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
        model.fileLines.push_back(line);
    }
    model.lineFeeds = *rc::gen::arbitrary<bool>() && !model.fileLines.empty();
    editor.install.Write("valve/mapcycle.txt", CycleBytes(model.fileLines, model.lineFeeds));
    editor.Open();
    RC_ASSERT(editor.windows.messages.shown.empty());
    model.Open();
    Verify(model, editor);

    rc::state::check(model, editor, rc::state::gen::execOneOfWithArgs<Step>());
}

} // namespace
} // namespace rotaline
