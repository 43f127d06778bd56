// The program's entry point, shared by both editions.
#pragma once

namespace App {

// Runs start-up, the main loop and shutdown; returns the exit status.
[[nodiscard]] int RunProgram(int argc, char** argv);

}  // namespace App
