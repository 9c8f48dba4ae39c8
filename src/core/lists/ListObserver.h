// What a view of a SelectableList is told, before and after each change of its items or flags.
#pragma once

#include <cstdint>

namespace rotaline {

class ListObserver {
public:
    virtual ~ListObserver() = default;
    virtual void ItemsAboutToBeInserted(std::int16_t first, std::int16_t last) = 0;
    virtual void ItemsInserted(std::int16_t first, std::int16_t last) = 0;
    virtual void ItemsAboutToBeRemoved(std::int16_t first, std::int16_t last) = 0;
    // first..last give the removed items' positions before the removal.
    virtual void ItemsRemoved(std::int16_t first, std::int16_t last) = 0;
    // Any larger rearrangement is announced as a reset of the whole list.
    virtual void AboutToReset() = 0;
    virtual void Reset() = 0;
    // Selected flags or the current index changed; within an UpdateBatch, once at its end.
    virtual void SelectionChanged() = 0;
};

} // namespace rotaline
