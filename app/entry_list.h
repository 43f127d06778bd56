// The entry list on the left and the details panel of the selected entry on the right.
#pragma once

namespace App {

// Whether passwords are shown in plain text instead of the mask ("Show passwords!").
[[nodiscard]] bool PasswordsShown();
// Sets the flag and its menu check mark; the caller refreshes what shows passwords.
void SetShowPasswords(bool on);

// The selected entry's index, or -1 (also while no vault is open).
[[nodiscard]] int SelectedIndex();
// Rebuilds the list from Entries and selects the entry at index (clamped; -1 for none).
void FillEntryList(int index);
// Row k shows entry k again after that entry changed in place (edited, or moved by a swap);
// the other rows are not touched.
void RefreshRow(int row);
// Selects a row of the list as it is, without rebuilding it.
void SelectRow(int row);
// Shows the selected entry and enables the controls and menu items that apply.
void RefreshDetails();
// Removes every row.
void ClearEntryList();

}  // namespace App
