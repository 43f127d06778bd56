#include "common/blanks.h"

namespace Common {

std::string_view TrimBlanks(std::string_view text, Blanks blanks) {
  const std::string_view set = blanks == Blanks::Spaces ? " " : " \t";
  const size_t first = text.find_first_not_of(set);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(set) - first + 1);
}

}  // namespace Common
