// Deleting the selected entry and moving it one place up or down.
#pragma once

namespace Commands {

// Asks, then removes the selected entry, saves and selects the entry that took its place.
void DeleteSelectedEntry();
// Swaps the selected entry with its neighbour (step -1 up, +1 down), saves, and keeps it
// selected; nothing happens at either end.
void MoveSelectedEntry(int step);
void MoveSelectedUp();
void MoveSelectedDown();

}  // namespace Commands
