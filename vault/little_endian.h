// The vault header's numbers are little-endian whatever the machine's byte order.
#pragma once

#include <cstdint>

namespace Vault {

// Writes the low `bytes` bytes of value, least significant first.
inline void StoreLE(unsigned char* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Reads `bytes` bytes, least significant first.
inline uint64_t LoadLE(const unsigned char* in, int bytes) {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | in[i];
  return value;
}

}  // namespace Vault
