// UTF-8 as every layer above the vault core checks and counts it: one sequence at a time,
// whole texts, and lengths in UTF-16 code units as the user interface counts them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Common {

// U+FFFD, shown in place of bytes that are not UTF-8.
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// U+2026, where a text is cut short.
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

// The length (1 to 4) of the well-formed UTF-8 sequence that starts at text[i], or 0 when
// none does there: a stray continuation byte, an overlong form, a surrogate, a code point
// beyond U+10FFFF or a sequence cut short. i must lie inside text.
[[nodiscard]] size_t SequenceLength(std::string_view text, size_t i);
// True when the whole text is well-formed UTF-8.
[[nodiscard]] bool IsValidUtf8(std::string_view text);
// True when a C1 control (U+0080..U+009F, C2 80..C2 9F) starts at text[i]; some terminals
// take these as escapes.
[[nodiscard]] bool IsC1Control(std::string_view text, size_t i);
// UTF-16 code units of one sequence of the given length: two beyond the Basic Multilingual
// Plane, one otherwise.
[[nodiscard]] constexpr size_t Utf16Units(size_t sequenceLength) {
  return sequenceLength == 4 ? 2 : 1;
}
// Code units of a UTF-8 text in UTF-16. Only lead bytes count, so a text that is not UTF-8
// gets a length without being refused.
[[nodiscard]] size_t Utf16Length(std::string_view utf8);

// Byte length of the longest start of text with at most the given number of characters and
// of line breaks. Characters are counted by their lead bytes.
[[nodiscard]] size_t HeadLength(std::string_view text, size_t characters, size_t lines = SIZE_MAX);
// The text cut to its first characters, kEllipsis after them; the whole text when it holds
// no more than that.
[[nodiscard]] std::string Shortened(std::string_view text, size_t characters);

}  // namespace Common
