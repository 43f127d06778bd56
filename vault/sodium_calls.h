// The libsodium calls the rest of the vault core makes; valid only after LoadSodium.
#pragma once

#include <cstddef>

namespace Vault::Sodium {

// Argon2id version 1.3; 0 on success.
[[nodiscard]] int PwHash(unsigned char* out, size_t outLength, const char* password,
                         size_t passwordLength, const unsigned char* salt, long long opslimit,
                         size_t memlimit);
// Writes length + 16 bytes (ciphertext and tag) to out; out may be message itself.
void Seal(unsigned char* out, const unsigned char* message, size_t length, const unsigned char* ad,
          size_t adLength, const unsigned char* nonce, const unsigned char* key);
// Opens length bytes of ciphertext and tag into out (which may be sealed itself); 0 when
// authentic.
[[nodiscard]] int Open(unsigned char* out, const unsigned char* sealed, size_t length,
                       const unsigned char* ad, size_t adLength, const unsigned char* nonce,
                       const unsigned char* key);
void RandomBytes(void* out, size_t length);

}  // namespace Vault::Sodium
