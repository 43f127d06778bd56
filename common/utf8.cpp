#include "common/utf8.h"

namespace Common {

size_t SequenceLength(std::string_view text, size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) return 1;
  const size_t length = c >= 0xF0 && c <= 0xF4   ? 4
                        : c >= 0xE0 && c <= 0xEF ? 3
                        : c >= 0xC2 && c <= 0xDF ? 2
                                                 : 0;
  if (length == 0 || length > text.size() - i) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  }
  // The lead byte alone cannot tell these apart; the second byte's range can.
  const auto second = static_cast<unsigned char>(text[i + 1]);
  if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second >= 0xA0) ||
      (c == 0xF0 && second < 0x90) || (c == 0xF4 && second >= 0x90)) {
    return 0;  // overlong, surrogate or beyond U+10FFFF
  }
  return length;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = SequenceLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

bool IsC1Control(std::string_view text, size_t i) {
  return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xC2 &&
         static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
         static_cast<unsigned char>(text[i + 1]) <= 0x9F;
}

size_t Utf16Length(std::string_view utf8) {
  size_t units = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
  }
  return units;
}

size_t HeadLength(std::string_view text, size_t characters, size_t lines) {
  size_t end = 0;
  for (; end < text.size(); ++end) {
    if ((static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) continue;
    if (characters-- == 0) break;
    if (text[end] == '\n' && lines-- == 0) break;
  }
  return end;
}

std::string Shortened(std::string_view text, size_t characters) {
  const size_t head = HeadLength(text, characters);
  if (head == text.size()) return std::string(text);
  return std::string(text.substr(0, head)).append(kEllipsis);
}

}  // namespace Common
