// A private X server for GUI tests: each test program starts its own Xvfb.
#pragma once

#include <string>

namespace TestDisplay {

// Starts Xvfb once per process and points DISPLAY at it; false when it cannot start.
[[nodiscard]] bool Start();
// Stops the server now. A program that ends with _Exit, which skips the atexit clean-up,
// calls it first: a server left running keeps ctest's output pipe open.
void Stop();
// The display name, such as ":12"; empty before Start.
const std::string& Name();

}  // namespace TestDisplay
