#include "app/events.h"

#include <gtest/gtest.h>

namespace {

using App::Event;
using App::EventKind;

TEST(EventQueue, AnEventEqualToTheLastWaitingOneIsDropped) {
  App::ClearEvents();
  const Event tick{EventKind::Timer, 0, 1, 0};
  const Event click{EventKind::Control, 0, 9, 0};
  const Event otherWindow{EventKind::Timer, 1, 1, 0};
  for (const Event& e : {tick, tick, click, tick, tick, otherWindow, otherWindow}) {
    App::PostEvent(e);
  }
  for (const Event& expected : {tick, click, tick, otherWindow}) {
    EXPECT_EQ(App::WaitEvent(), expected);
  }
  // Once taken out, the same event may come again.
  App::PostEvent(tick);
  EXPECT_EQ(App::WaitEvent(), tick);
}

}  // namespace
