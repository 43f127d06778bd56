// The entry list on the left and the details panel of the selected entry on the right.
#pragma once

#include "app/events.h"

namespace App {

// When a menu row, control or key of the main window can be used.
enum class EnableRule {
  Anytime,  // never switched off
  VaultOpen,
  Selection,
  RowAbove,  // a selection that is not the first entry
  RowBelow,  // a selection that is not the last entry
  SelectionHasAddress,
  SelectionHasUser,
  SelectionHasPassword,
};
[[nodiscard]] bool RuleHolds(EnableRule rule);
// Hands over the rule of each main-window event (the program's connection table), which
// RefreshDetails applies to the menu rows and controls.
void SetEnableRules(EnableRule (*ruleOf)(const Event& event));

// Whether passwords are shown in plain text instead of the mask ("Show passwords!").
[[nodiscard]] bool PasswordsShown();
// Sets the flag and its menu check mark; the caller refreshes what shows passwords.
void SetShowPasswords(bool on);
// Switches between shown and masked passwords and shows the selection again.
void ToggleShowPasswords();

// The selected entry's index, or -1 (also while no vault is open).
[[nodiscard]] int SelectedIndex();
// Rebuilds the list from Entries and selects the entry at index (clamped; -1 for none).
void FillEntryList(int index);
// Row k shows entry k again after that entry changed in place (edited, or moved by a swap);
// the other rows are not touched.
void RefreshRow(int row);
// Selects a row of the list as it is, without rebuilding it.
void SelectRow(int row);
// Shows the selected entry and enables the menu rows and controls whose rules hold.
void RefreshDetails();
// Removes every row.
void ClearEntryList();

}  // namespace App
