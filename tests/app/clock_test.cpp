// This test program stands in for the system's wall clock, so that it can be set back.
#include "app/clock.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/time.h>
#include <time.h>

namespace {

// How far the wall clock seen by this program is set off from the real one.
time_t gWallClockShift = 0;

int RealClockGettime(clockid_t clock, timespec* now) {
  using ClockGettime = int (*)(clockid_t, timespec*);
  static const auto real = reinterpret_cast<ClockGettime>(dlsym(RTLD_NEXT, "clock_gettime"));
  return real(clock, now);
}

}  // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* now) noexcept {
  const int result = RealClockGettime(clock, now);
  if (clock == CLOCK_REALTIME) now->tv_sec += gWallClockShift;
  return result;
}

extern "C" int gettimeofday(timeval* now, void*) noexcept {
  timespec wall{};
  const int result = clock_gettime(CLOCK_REALTIME, &wall);
  now->tv_sec = wall.tv_sec;
  now->tv_usec = wall.tv_nsec / 1000;
  return result;
}

namespace {

TEST(MillisecondClock, SettingTheSystemTimeBackDoesNotSetItBack) {
  const int64_t before = App::NowMs();
  gWallClockShift = -3600;
  const int64_t after = App::NowMs();
  gWallClockShift = 0;
  EXPECT_GE(after, before);
  EXPECT_GE(before, 0);

  App::MoveClockForward(15000);
  EXPECT_GE(App::NowMs(), after + 15000);
}

}  // namespace
