// Looking at eight bytes at once, for the readers of long texts.
#pragma once

#include <cstdint>
#include <cstring>

namespace Cli {

constexpr uint64_t kEveryByte = 0x0101010101010101ULL;
constexpr uint64_t kHighBits = 0x8080808080808080ULL;

[[nodiscard]] inline uint64_t LoadWord(const void* bytes) {
  uint64_t word;
  memcpy(&word, bytes, sizeof word);
  return word;
}
// True when one of the eight bytes is zero.
[[nodiscard]] inline bool HasZeroByte(uint64_t word) {
  return ((word - kEveryByte) & ~word & kHighBits) != 0;
}
// True when one of the eight bytes equals c.
[[nodiscard]] inline bool HasByte(uint64_t word, unsigned char c) {
  return HasZeroByte(word ^ (kEveryByte * c));
}

}  // namespace Cli
