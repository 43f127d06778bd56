#include "app/events.h"

#include <gtk/gtk.h>

#include <deque>

namespace App {
namespace {

std::deque<Event> gQueue;

}  // namespace

void PostEvent(const Event& event) {
  // Ticks must not pile up behind a modal message box's own loop.
  if (!gQueue.empty() && gQueue.back() == event) return;
  gQueue.push_back(event);
}

Event WaitEvent() {
  while (gQueue.empty()) gtk_main_iteration_do(TRUE);
  const Event event = gQueue.front();
  gQueue.pop_front();
  return event;
}

bool TakeEvent(Event& event) {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  if (gQueue.empty()) return false;
  event = gQueue.front();
  gQueue.pop_front();
  return true;
}

void ClearEvents() { gQueue.clear(); }

}  // namespace App
