// The libsodium binding: loading the library, random numbers, and wiping secrets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Vault {

// Loads libsodium once ("libsodium.so.26", ".23", ".so"); true when usable.
[[nodiscard]] bool LoadSodium();
// True once LoadSodium has succeeded.
[[nodiscard]] bool SodiumLoaded();
// Uniform random value in 0..bound-1; 0 for bound <= 0 or without the library.
[[nodiscard]] int32_t RandomUniform(int32_t bound);

// A heap copy of a text with a terminating zero; size excludes the terminator.
// Secret: the caller releases it with WipeAndFree(data, size + 1).
struct Utf8Buffer {
  char* data;
  size_t size;
};
[[nodiscard]] Utf8Buffer ToUtf8(std::string_view text);
// Wipes len bytes with sodium_memzero, then frees; null does nothing.
void WipeAndFree(void* buffer, size_t len);
// The wipe of WipeAndFree, for a heap block about to be freed: from 1 MiB on, the whole pages
// inside it are handed back to the kernel (they read as zeros) and only the ends are written.
void WipeForRelease(void* buffer, size_t len);
// Wipes len bytes in place (sodium_memzero once loaded); null does nothing.
void WipeMemory(void* buffer, size_t len);
// Wipes the characters of a text, then empties it.
void WipeText(std::string& text);

}  // namespace Vault
