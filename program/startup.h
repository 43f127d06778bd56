// The program's entry point, shared by both editions: start-up, the main loop, shutdown.
#pragma once

namespace Program {

// Runs start-up, the main loop and shutdown; returns the exit status.
[[nodiscard]] int RunProgram(int argc, char** argv);

}  // namespace Program
