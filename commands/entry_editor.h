// The entry editor with its password generator, and the New and Edit commands.
#pragma once

#include <string>

#include "commands/dialog_controls.h"
#include "vault/vault.h"

namespace Commands {

// Edits the record in a modal dialog. True when OK was accepted and the record holds the
// new values; false on cancel or a due idle lock, the record then unchanged. The generator
// choices are saved to the settings file however the dialog closes.
// Secret: the record's password belongs to the caller, who wipes it when done.
[[nodiscard]] bool EditEntryDialog(const std::string& title, Vault::Entry& entry);
// The New command: the editor on an empty record, appended and saved on OK.
void AddEntry();
// The Edit command: the editor on the selected entry, written back and saved on OK.
void EditSelectedEntry();

}  // namespace Commands
