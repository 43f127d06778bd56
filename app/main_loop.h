// The main event loop's mechanics, the activity tracking and the idle lock. What an event
// does is decided by the dispatch function that the program hands over.
#pragma once

#include <cstdint>

#include "app/events.h"

namespace App {

constexpr int kIdleSeconds = 60;

// What the program hands the loop: where events go, how a due lock is served (log out,
// log in again; false when the user gave up), and what each timer tick settles first.
struct LoopHandlers {
  void (*dispatch)(const Event& event);
  bool (*relogin)();
  void (*tick)(int64_t nowMs);
};
void SetLoopHandlers(const LoopHandlers& handlers);

// Takes events until a quit is requested; logs out and in again when the lock is due.
void MainLoop();
// Every loop but the About window's passes each event through here.
void ActivityHook(const Event& event);
// The user did something now.
void NoteActivity();
// The 250 ms tick: the program's tick handler, the pointer watch and the idle countdown.
void IdleTick();
// Shows the remaining idle seconds in the status bar (unless already shown).
void ShowIdleCountdown(int64_t seconds);
// Counts the idle time from now and shows the full countdown again.
void RestartIdleCountdown();

// Ends the main loop after the current event.
void RequestQuit();
[[nodiscard]] bool QuitIsRequested();
// Makes the main loop log out and ask for the master password after the current event;
// dialogs that run their own loop end themselves when they see it.
void RequestLock();
[[nodiscard]] bool LockIsDue();
// Done by the logout.
void ClearLockRequest();

// Puts the loop state back to its start values (a new run in the same process).
void ResetMainLoop();

}  // namespace App
