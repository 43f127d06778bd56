#include "app/clock.h"

#include <sys/time.h>

namespace App {
namespace {

bool gStarted = false;
int64_t gFirstSeconds = 0;
int64_t gOffsetMs = 0;

}  // namespace

int64_t NowMs() {
  timeval now{};
  gettimeofday(&now, nullptr);
  if (!gStarted) {
    gStarted = true;
    gFirstSeconds = now.tv_sec;
  }
  return (now.tv_sec - gFirstSeconds) * 1000 + now.tv_usec / 1000 + gOffsetMs;
}

void MoveClockForward(int64_t ms) { gOffsetMs += ms; }

}  // namespace App
