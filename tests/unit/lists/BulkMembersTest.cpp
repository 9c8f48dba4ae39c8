// The bulk members against a plain model of the item-by-item calls, on random lists.
#include "lists/SelectableList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace rotaline {
namespace {

// The list as the item-by-item calls define it, kept as simple as possible.
struct ReferenceList {
    bool sorted = false;
    bool single = false;
    std::vector<std::string> items;
    std::vector<bool> flags;
    int current = -1;

    static bool Less(const std::string& a, const std::string& b) {
        const auto fold = [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
        };
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [&](char x, char y) { return fold(x) < fold(y); });
    }
    void Insert(const std::string& item, int at) {
        items.insert(items.begin() + at, item);
        flags.insert(flags.begin() + at, false);
        current += current >= at ? 1 : 0;
    }
    void Add(const std::string& item) {
        int at = sorted ? 0 : static_cast<int>(items.size());
        while (sorted && at < static_cast<int>(items.size()) && Less(items[at], item)) {
            ++at;
        }
        Insert(item, at);
    }
    void Remove(int at) {
        items.erase(items.begin() + at);
        flags.erase(flags.begin() + at);
        current = current == at ? -1 : current - (current > at ? 1 : 0);
    }
    void Select(int at, bool on) {
        if (single && on) {
            std::fill(flags.begin(), flags.end(), false);
            current = at;
        }
        flags[at] = on;
    }
};

void ExpectSame(const SelectableList& list, const ReferenceList& reference) {
    ASSERT_EQ(list.ListCount(), static_cast<int>(reference.items.size()));
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        ASSERT_EQ(list.List(i), reference.items[i]) << "item " << i;
        ASSERT_EQ(list.Selected(i), reference.flags[i]) << "flag " << i;
    }
    ASSERT_EQ(list.ListIndex(), reference.current);
    ASSERT_EQ(list.SelCount(), std::count(reference.flags.begin(), reference.flags.end(), true));
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
        ReferenceList reference{run % 2 == 0, run % 4 >= 2, {}, {}, -1};
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
                    if (reference.flags[i]) {
                        taken.insert(taken.begin(), reference.items[i]);
                        reference.Remove(i);
                    }
                }
                ASSERT_EQ(list.TakeSelected(), taken);
            } else if (operation == 3) {
                const char unwanted = pieces[pick(static_cast<int>(pieces.size()))][0];
                const auto remove = [&](const std::string& t) { return t.find(unwanted) == 0; };
                list.RemoveIf(remove);
                for (int i = count - 1; i >= 0; --i) {
                    if (remove(reference.items[i])) {
                        reference.Remove(i);
                    }
                }
            } else if (operation == 4) {
                const std::vector<std::string> added = texts();
                list.ReplaceAll(added);
                reference = ReferenceList{reference.sorted, reference.single, {}, {}, -1};
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
                std::fill(reference.flags.begin(), reference.flags.end(), false);
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
                    std::fill(reference.flags.begin(), reference.flags.end(), false);
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
