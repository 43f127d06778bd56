// One Lockwell per configuration directory: an advisory lock on the directory itself,
// held for the whole run. The kernel drops it with the process, so a crash leaves none.
#pragma once

#include <string>

namespace Common {

// Locks the directory (non-blocking). False only when another process holds the lock; a
// directory that cannot be opened or locked at all is left to fail later, when the vault
// is read or written.
[[nodiscard]] bool LockConfigDir(const std::string& dir);
// Whether this process holds the lock now.
[[nodiscard]] bool ConfigDirLocked();
// Lets go of the lock; safe without one.
void UnlockConfigDir();

}  // namespace Common
