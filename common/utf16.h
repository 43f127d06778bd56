// Lengths as the user interface counts them: in UTF-16 code units.
#pragma once

#include <cstddef>
#include <string_view>

namespace Common {

// Code units of a UTF-8 text in UTF-16: characters beyond the Basic Multilingual Plane
// count two.
[[nodiscard]] inline size_t Utf16Length(std::string_view utf8) {
  size_t units = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;  // count lead bytes only
  }
  return units;
}

}  // namespace Common
