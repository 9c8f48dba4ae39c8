// The bulk members against a plain model of the item-by-item calls, on random lists.
#include "core/lists/SelectableList.h"

#include "lists/ReferenceList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace rotaline {
namespace {

using namespace reference;

// The list as the item-by-item calls define it, kept as simple as possible.
struct ReferenceList {
    bool sorted = false;
    bool single = false;
    std::vector<Entry> entries;
    int current = -1;

    void Add(const std::string& item) {
        if (sorted) {
            AddSorted(entries, current, item);
        } else {
            InsertAt(entries, current, static_cast<int>(entries.size()), item);
        }
    }
    void Insert(const std::string& item, int at) { InsertAt(entries, current, at, item); }
    void Remove(int at) { EraseAt(entries, current, at); }
    void ClearFlags() {
        for (Entry& entry : entries) {
            entry.selected = false;
        }
    }
    void Select(int at, bool on) {
        if (single && on) {
            ClearFlags();
            current = at;
        }
        entries[at].selected = on;
    }
};

void ExpectSame(const SelectableList& list, const ReferenceList& reference) {
    ASSERT_EQ(list.ListCount(), static_cast<int>(reference.entries.size()));
    int selected = 0;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        ASSERT_EQ(list.List(i), reference.entries[i].text) << "item " << i;
        ASSERT_EQ(list.Selected(i), reference.entries[i].selected) << "flag " << i;
        selected += reference.entries[i].selected ? 1 : 0;
    }
    ASSERT_EQ(list.ListIndex(), reference.current);
    ASSERT_EQ(list.SelCount(), selected);
}

TEST(BulkMembers, GiveTheResultOfTheItemByItemCalls) {
    std::mt19937 random(20240611);
    const std::vector<std::string> pieces = {"a", "A", "b", "B", "_", "1", "\xe9", "\xc9"};
    const auto pick = [&](int bound) { return static_cast<int>(random() % bound); };
    const auto text = [&] {
        std::string made;
        for (int length = pick(4); length > 0; --length) {
            made += pieces[pick(static_cast<int>(pieces.size()))];
        }
        return made;
    };
    const auto texts = [&] {
        std::vector<std::string> made(pick(8));
        std::generate(made.begin(), made.end(), text);
        return made;
    };

    for (int run = 0; run < 400; ++run) {
        ReferenceList reference{run % 2 == 0, run % 4 >= 2, {}, -1};
        SelectableList list(reference.single ? SelectionStyle::Single : SelectionStyle::Extended,
                            reference.sorted);
        for (int step = 0; step < 40; ++step) {
            const int count = list.ListCount();
            const int operation = pick(10);
            SCOPED_TRACE("run " + std::to_string(run) + " step " + std::to_string(step) +
                         " operation " + std::to_string(operation));
            if (operation == 0) {
                const std::vector<std::string> added = texts();
                list.AddItems(added);
                std::for_each(added.begin(), added.end(), [&](auto& t) { reference.Add(t); });
            } else if (operation == 1 && !reference.sorted) {
                const std::vector<std::string> added = texts();
                const int at = pick(count + 1);
                list.InsertItems(added, static_cast<std::int16_t>(at));
                for (std::size_t k = 0; k < added.size(); ++k) {
                    reference.Insert(added[k], at + static_cast<int>(k));
                }
            } else if (operation == 2) {
                std::vector<std::string> taken;
                for (int i = count - 1; i >= 0; --i) {
                    if (reference.entries[i].selected) {
                        taken.insert(taken.begin(), reference.entries[i].text);
                        reference.Remove(i);
                    }
                }
                ASSERT_EQ(list.TakeSelected(), taken);
            } else if (operation == 3) {
                const char unwanted = pieces[pick(static_cast<int>(pieces.size()))][0];
                const auto remove = [&](const std::string& t) { return t.find(unwanted) == 0; };
                list.RemoveIf(remove);
                for (int i = count - 1; i >= 0; --i) {
                    if (remove(reference.entries[i].text)) {
                        reference.Remove(i);
                    }
                }
            } else if (operation == 4) {
                const std::vector<std::string> added = texts();
                list.ReplaceAll(added);
                reference = ReferenceList{reference.sorted, reference.single, {}, -1};
                std::for_each(added.begin(), added.end(), [&](auto& t) { reference.Add(t); });
            } else if (operation == 5 && count > 0) {
                const int first = pick(count);
                const int last = first + pick(count - first);
                const bool on = pick(3) != 0;
                list.SetSelectedRange(static_cast<std::int16_t>(first),
                                      static_cast<std::int16_t>(last), on);
                for (int k = first; k <= last; ++k) {
                    reference.Select(k, on);
                }
            } else if (operation == 6) {
                list.ClearSelection();
                reference.ClearFlags();
            } else if (operation == 7 && count > 0) {
                const int at = pick(count);
                const bool on = pick(4) != 0;
                list.SetSelected(static_cast<std::int16_t>(at), on);
                reference.Select(at, on);
                const int current = pick(count + 1) - 1;
                list.SetListIndex(static_cast<std::int16_t>(current));
                if (reference.single && current >= 0) {
                    reference.Select(current, true);
                } else if (reference.single) {
                    reference.ClearFlags();
                }
                reference.current = current;
            } else if (operation == 8 && count > 0) {
                const int at = pick(count);
                list.RemoveItem(static_cast<std::int16_t>(at));
                reference.Remove(at);
            } else if (operation == 9) {
                const std::string added = text();
                const int at = reference.sorted ? -1 : pick(count + 1);
                if (at < 0) {
                    list.AddItem(added);
                    reference.Add(added);
                } else {
                    list.AddItem(added, static_cast<std::int16_t>(at));
                    reference.Insert(added, at);
                }
            }
            ASSERT_NO_FATAL_FAILURE(ExpectSame(list, reference));
        }
    }
}

} // namespace
} // namespace rotaline
