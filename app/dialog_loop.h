// How a dialog's own loop reads the event queue: a small table of its keys and buttons, in
// the form of the main window's table, and the loop head that waits and maps.
#pragma once

#include <cstddef>

#include "app/events.h"

namespace App {

// A row of a dialog's table: this menu event (a key) or control event of the dialog's window
// asks for request. Request is the dialog's own enum; it names at least None and Cancel.
// The event's type is not compared: a dialog control means one thing however it is used.
template <typename Request>
struct DialogRow {
  Event event;
  Request request;
};

// The events a dialog row names, in the dialog window unless another is given.
constexpr Event DialogKey(int number, int window = kDialogWindow) {
  return {EventKind::Menu, window, number, 0};
}
constexpr Event DialogControl(int number, int window = kDialogWindow) {
  return {EventKind::Control, window, number, kClicked};
}

// What the event asks of the dialog in window: the request of its row, Cancel when the
// window is closed, None for anything else.
template <typename Request, size_t N>
[[nodiscard]] Request MapDialogEvent(const Event& event, int window,
                                     const DialogRow<Request> (&rows)[N]) {
  if (event.window != window) return Request::None;
  if (event.kind == EventKind::Close) return Request::Cancel;
  for (const DialogRow<Request>& row : rows) {
    if (row.event.kind == event.kind && row.event.window == event.window &&
        row.event.object == event.object) {
      return row.request;
    }
  }
  return Request::None;
}

// Waits for the next event and counts it as the user's; true when the idle lock is due or
// the run is ending, which ends every dialog of the dialog window.
[[nodiscard]] bool WaitDialogEvent(Event& event);

// The head of the dialog window's loop: the next event, mapped through the dialog's table.
template <typename Request, size_t N>
[[nodiscard]] Request NextDialogRequest(const DialogRow<Request> (&rows)[N]) {
  Event event{};
  if (WaitDialogEvent(event)) return Request::Cancel;
  return MapDialogEvent(event, kDialogWindow, rows);
}

}  // namespace App
