// A heap buffer for bytes that are secret (a typed password, a CSV file in clear): grown by
// hand and released only through Vault::WipeAndFree.
#pragma once

#include <cstddef>
#include <string_view>

namespace Cli {

// Secret: wiped and freed when its holder goes out of scope, on every way out; never
// copied, so there is one owner of the block.
struct SecretBuffer {
  char* data = nullptr;
  size_t size = 0;
  size_t capacity = 0;  // bytes allocated; data[size] is always a terminating zero

  SecretBuffer() = default;
  SecretBuffer(const SecretBuffer&) = delete;
  SecretBuffer& operator=(const SecretBuffer&) = delete;
  ~SecretBuffer();
};

// Makes room for at least capacity - 1 bytes and the zero; the old block is wiped before it
// is freed. False when memory runs out (the buffer is then as it was).
[[nodiscard]] bool ReserveSecret(SecretBuffer& buffer, size_t capacity);
// Wipes and frees the buffer, leaving it empty; safe to call twice.
void ReleaseSecret(SecretBuffer& buffer);
[[nodiscard]] inline std::string_view View(const SecretBuffer& buffer) {
  return {buffer.data == nullptr ? "" : buffer.data, buffer.size};
}

}  // namespace Cli
