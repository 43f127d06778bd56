// The main event loop, the activity tracking and the idle lock.
#pragma once

#include <cstdint>

#include "app/events.h"

namespace App {

constexpr int kIdleSeconds = 60;

extern bool QuitRequested;
extern bool LockRequested;
extern int64_t LastShownRemaining;  // -1: nothing shown yet

// Takes events until QuitRequested; logs out and in again when the lock is due.
void MainLoop();
// Every loop but the About window's passes each event through here.
void ActivityHook(const Event& event);
// The user did something now.
void NoteActivity();
// The 250 ms tick: clipboard deadline, pointer watch and idle countdown.
void IdleTick();
// Shows the remaining idle seconds in the status bar (unless already shown).
void ShowIdleCountdown(int64_t seconds);
// Puts the loop state back to its start values (a new run in the same process).
void ResetMainLoop();

}  // namespace App
