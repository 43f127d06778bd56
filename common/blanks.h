// Trimming blanks off the ends of a text, for every layer above the vault core.
#pragma once

#include <string_view>

namespace Common {

// Which characters count as blanks at a text's ends.
enum class Blanks {
  Spaces,         // U+0020 only: what the user typed in a field keeps its tabs
  SpacesAndTabs,  // also U+0009, as files written by hand and other programs use them
};

// The text without the given blanks at its start and end (a view into text).
[[nodiscard]] std::string_view TrimBlanks(std::string_view text, Blanks blanks);

}  // namespace Common
