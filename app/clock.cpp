#include "app/clock.h"

#include <time.h>

namespace App {
namespace {

constexpr int64_t kNanosecondsPerMs = 1000000;

bool gStarted = false;
int64_t gFirstMs = 0;
int64_t gOffsetMs = 0;

// Since boot, suspended time included. Unlike the wall clock it never steps back, so
// setting the system time can neither stall nor hurry a deadline.
int64_t BootMs() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / kNanosecondsPerMs;
}

}  // namespace

int64_t NowMs() {
  const int64_t now = BootMs();
  if (!gStarted) {
    gStarted = true;
    gFirstMs = now;
  }
  return now - gFirstMs + gOffsetMs;
}

void MoveClockForward(int64_t ms) { gOffsetMs += ms; }

}  // namespace App
