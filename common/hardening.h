// What the process does about its own memory being read from outside.
#pragma once

namespace Common {

// Switches core dumps off (soft and hard limit 0) and marks the process non-dumpable, so
// that neither a core file nor a debugger of the same user can read the open vault's key.
// True when both settings took.
[[nodiscard]] bool HardenProcess();

}  // namespace Common
