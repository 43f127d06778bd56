// The program's one event queue. GTK callbacks only post events; the loops take them out.
#pragma once

namespace App {

// Key: one of a window's shortcuts. Typing: any key pressed in a window, which counts as
// activity and does nothing else.
enum class EventKind { Menu, Close, Control, Size, Move, Timer, BackgroundClick, Key, Typing };

// Window numbers.
constexpr int kMainWindow = 0;
constexpr int kDialogWindow = 1;
constexpr int kAboutWindow = 2;

// Event types of control events.
constexpr int kClicked = 0;  // buttons; list: left click or selection change
constexpr int kRightClick = 1;
constexpr int kLeftDoubleClick = 2;
constexpr int kRightDoubleClick = 3;
// The list's search popup: its text changed, Down, Up, Return, and it closed.
constexpr int kSearchChanged = 4;
constexpr int kSearchNext = 5;
constexpr int kSearchPrevious = 6;
constexpr int kSearchConfirm = 7;
constexpr int kSearchClosed = 8;

// Menu numbers of the dialog window's shortcuts.
constexpr int kDialogConfirm = 11;
constexpr int kDialogCancel = 12;

constexpr int kIdleTimerNumber = 1;

struct Event {
  EventKind kind;
  int window;
  int object;  // menu, control, timer or key number
  int type;    // control event type
  bool operator==(const Event&) const = default;
};

// Appends an event, unless it equals the last one still waiting.
void PostEvent(const Event& event);
// Runs GTK iterations until an event is waiting, then returns the oldest.
[[nodiscard]] Event WaitEvent();
// Runs the GTK iterations that are due without waiting, then takes the oldest event if one
// is waiting (a long task that still answers its Cancel button).
[[nodiscard]] bool TakeEvent(Event& event);
// Drops every waiting event.
void ClearEvents();

}  // namespace App
