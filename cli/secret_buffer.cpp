#include "cli/secret_buffer.h"

#include <cstdlib>
#include <cstring>

#include "vault/vault.h"

namespace Cli {

bool ReserveSecret(SecretBuffer& buffer, size_t capacity) {
  if (capacity <= buffer.capacity) return true;
  char* grown = static_cast<char*>(malloc(capacity));
  if (grown == nullptr) return false;
  if (buffer.data != nullptr) memcpy(grown, buffer.data, buffer.size);
  grown[buffer.size] = '\0';
  Vault::WipeAndFree(buffer.data, buffer.capacity);
  buffer.data = grown;
  buffer.capacity = capacity;
  return true;
}

void ReleaseSecret(SecretBuffer& buffer) {
  Vault::WipeAndFree(buffer.data, buffer.capacity);
  buffer.data = nullptr;
  buffer.size = 0;
  buffer.capacity = 0;
}

SecretBuffer::~SecretBuffer() { ReleaseSecret(*this); }

}  // namespace Cli
