// A private X server for GUI tests: each test program starts its own Xvfb.
#pragma once

#include <string>

namespace TestDisplay {

// Starts Xvfb once per process and points DISPLAY at it; false when it cannot start.
[[nodiscard]] bool Start();
// The display name, such as ":12"; empty before Start.
const std::string& Name();

}  // namespace TestDisplay
