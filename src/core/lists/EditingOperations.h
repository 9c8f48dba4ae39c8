// The editor's operations on its two lists: move, remove, reorder, shuffle, and the headings.
#pragma once

#include "core/lists/EditorLists.h"
#include "core/lists/RandomSource.h"

namespace rotaline {

// Rewrites both headings with the lists' counts: "All Half Life Maps (N maps)" and
// "Map Cycle File (N maps)".
void RefreshCountCaptions(EditorLists& lists);

// The selected maps of lstBSP go to the head of lstMap, in their lstBSP order.
void cmdMove_Click(EditorLists& lists);
// The selected maps of lstMap go back to their sorted places in lstBSP.
void cmdRemove_Click(EditorLists& lists);

// The first selected map (the first map excepted for Up, the last for Down) moves one place and
// becomes the only selected map and the current item.
void cmdUP_Click(SelectableList& lstMap);
void cmdDown_Click(SelectableList& lstMap);

// Shuffles the cycle: the first map lands at index n / 2, the others in random order.
void cmdRandom_Click(SelectableList& lstMap, RandomSource& random);

} // namespace rotaline
