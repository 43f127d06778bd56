// The one dialog through which the user types a master password.
#pragma once

#include <string>

#include "commands/dialog_controls.h"

namespace Commands {

// Asks for a password, once or (confirm) twice with at least 8 characters. True with the
// typed text in password; false on cancel or a due idle lock, password then untouched.
// Secret: the caller owns password and wipes it once the vault operation has used it.
[[nodiscard]] bool AskMasterPassword(const std::string& title, const std::string& prompt,
                                     bool confirm, std::string& password);

}  // namespace Commands
