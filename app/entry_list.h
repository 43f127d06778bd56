// The entry list on the left and the details panel of the selected entry on the right.
#pragma once

namespace App {

// Passwords are shown in the details panel instead of the mask.
extern bool ShowPasswords;

// The selected entry's index, or -1 (also while no vault is open).
[[nodiscard]] int SelectedIndex();
// Rebuilds the list from Entries and selects the entry at index (clamped; -1 for none).
void FillEntryList(int index);
// Shows the selected entry and enables the controls and menu items that apply.
void RefreshDetails();
// Removes every row.
void ClearEntryList();

}  // namespace App
