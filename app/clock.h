// The one millisecond clock of the idle countdown and the clipboard deadline.
#pragma once

#include <cstdint>

namespace App {

// Milliseconds since the first reading, counted on CLOCK_BOOTTIME: never negative, never
// stepping back when the system time is set, and counting time spent suspended.
[[nodiscard]] int64_t NowMs();
// Tests only: moves the clock forward. The programs never call it.
void MoveClockForward(int64_t ms);

}  // namespace App
