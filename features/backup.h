// Making a backup: a byte-for-byte copy of the vault file in a file the user chooses.
#pragma once

namespace Features {

// Asks for a file (dated default name in the home folder) and copies the vault there.
void MakeBackup();

}  // namespace Features
