// Comparing names that people and other programs write in any letter case, in both programs.
// Only A-Z fold; other bytes compare as they are.
#pragma once

#include <string_view>

namespace Common {

// True when a and b are equal once A-Z are taken as a-z.
[[nodiscard]] bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace Common
