// The program's connection table: which command each menu row, control, key and the idle
// lock call, and when each can be used.
#pragma once

#include <cstdint>

#include "app/events.h"

namespace Program {

// Hands the loop, the enable rules and the keys of the table to the new main window.
void ConnectMainWindow();
// Carries out what an event of the main window asks for, if its row's rule holds.
void Dispatch(const App::Event& event);
// Logs out (the lock, or the start of the run) and, for Relogin, asks to log in again.
void LogOut();
[[nodiscard]] bool Relogin();
// What every timer tick settles before the idle countdown: a clipboard copy that fell due,
// a version of the vault file that another computer saved, and the sync copies beside it.
void Tick(int64_t nowMs);

}  // namespace Program
