#include "vault/sodium.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "vault/sodium_calls.h"

namespace Vault {
namespace {

constexpr int kArgon2id13 = 2;  // crypto_pwhash_ALG_ARGON2ID13

using InitFn = int (*)();
using PwHashFn = int (*)(unsigned char*, unsigned long long, const char*, unsigned long long,
                         const unsigned char*, unsigned long long, size_t, int);
using EncryptFn = int (*)(unsigned char*, unsigned long long*, const unsigned char*,
                          unsigned long long, const unsigned char*, unsigned long long,
                          const unsigned char*, const unsigned char*, const unsigned char*);
using DecryptFn = int (*)(unsigned char*, unsigned long long*, unsigned char*, const unsigned char*,
                          unsigned long long, const unsigned char*, unsigned long long,
                          const unsigned char*, const unsigned char*);
using RandomBufFn = void (*)(void*, size_t);
using RandomUniformFn = uint32_t (*)(uint32_t);
using MemZeroFn = void (*)(void*, size_t);

void* gHandle = nullptr;
InitFn gInit = nullptr;
PwHashFn gPwHash = nullptr;
EncryptFn gEncrypt = nullptr;
DecryptFn gDecrypt = nullptr;
RandomBufFn gRandomBuf = nullptr;
RandomUniformFn gRandomUniform = nullptr;
MemZeroFn gMemZero = nullptr;

constexpr const char* kLibraryNames[] = {"libsodium.so.26", "libsodium.so.23", "libsodium.so"};

// A lookup counts as failed when dlerror reports one, whatever dlsym returned.
void* Lookup(const char* name) {
  dlerror();
  void* symbol = dlsym(gHandle, name);
  return dlerror() != nullptr ? nullptr : symbol;
}

// Before libsodium is loaded (the payload tests, the fuzzer) glibc's explicit_bzero does
// the same job: a wipe the compiler may not remove.
void Wipe(void* buffer, size_t len) {
  if (gMemZero != nullptr && gHandle != nullptr) {
    gMemZero(buffer, len);
  } else {
    explicit_bzero(buffer, len);
  }
}

// libsodium's frames outlive its calls on the stack, and the cipher's state there holds the
// key. A frame this size laid over the same addresses right after a call writes them over.
constexpr size_t kScrubbedStack = 32 * 1024;

[[gnu::noinline]] void ScrubStack() {
  unsigned char area[kScrubbedStack];
  explicit_bzero(area, sizeof area);
  asm volatile("" : : "r"(area) : "memory");
}

// From this size on, the whole pages inside a block about to be freed go back to the kernel
// instead of being written over: a private anonymous page comes back zero-filled, and the
// pages never touched cost nothing.
constexpr size_t kDropPagesFrom = 1 << 20;

}  // namespace

void WipeForRelease(void* buffer, size_t len) {
  if (buffer == nullptr) return;
  if (len >= kDropPagesFrom) {
    static const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<uintptr_t>(buffer);
    const uintptr_t first = (start + page - 1) & ~(page - 1);
    const uintptr_t last = (start + len) & ~(page - 1);
    if (madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED) == 0) {
      Wipe(buffer, first - start);
      Wipe(reinterpret_cast<void*>(last), start + len - last);
      return;
    }
  }
  Wipe(buffer, len);
}

bool LoadSodium() {
  if (gHandle != nullptr) return true;
  for (const char* name : kLibraryNames) {
    gHandle = dlopen(name, RTLD_LAZY | RTLD_GLOBAL);
    if (gHandle != nullptr) break;
  }
  if (gHandle == nullptr) return false;

  // All seven lookups are made even when one fails.
  gInit = reinterpret_cast<InitFn>(Lookup("sodium_init"));
  gPwHash = reinterpret_cast<PwHashFn>(Lookup("crypto_pwhash"));
  gEncrypt = reinterpret_cast<EncryptFn>(Lookup("crypto_aead_xchacha20poly1305_ietf_encrypt"));
  gDecrypt = reinterpret_cast<DecryptFn>(Lookup("crypto_aead_xchacha20poly1305_ietf_decrypt"));
  gRandomBuf = reinterpret_cast<RandomBufFn>(Lookup("randombytes_buf"));
  gRandomUniform = reinterpret_cast<RandomUniformFn>(Lookup("randombytes_uniform"));
  gMemZero = reinterpret_cast<MemZeroFn>(Lookup("sodium_memzero"));

  const bool complete =
      gInit && gPwHash && gEncrypt && gDecrypt && gRandomBuf && gRandomUniform && gMemZero;
  if (!complete || gInit() < 0) {
    dlclose(gHandle);
    gHandle = nullptr;
    return false;
  }
  return true;
}

bool SodiumLoaded() { return gHandle != nullptr; }

int32_t RandomUniform(int32_t bound) {
  if (gHandle == nullptr || bound <= 0) return 0;
  return static_cast<int32_t>(gRandomUniform(static_cast<uint32_t>(bound)));
}

Utf8Buffer ToUtf8(std::string_view text) {
  char* data = static_cast<char*>(std::malloc(text.size() + 1));
  if (data != nullptr) {
    std::memcpy(data, text.data(), text.size());
    data[text.size()] = '\0';
  }
  return {data, text.size()};
}

void WipeAndFree(void* buffer, size_t len) {
  if (buffer == nullptr) return;
  WipeForRelease(buffer, len);
  std::free(buffer);
}

void WipeMemory(void* buffer, size_t len) {
  if (buffer != nullptr) Wipe(buffer, len);
}

void WipeText(std::string& text) {
  Wipe(text.data(), text.size());
  text.clear();
}

namespace Sodium {

int PwHash(unsigned char* out, size_t outLength, const char* password, size_t passwordLength,
           const unsigned char* salt, long long opslimit, size_t memlimit) {
  const int result = gPwHash(out, outLength, password, passwordLength, salt,
                             static_cast<unsigned long long>(opslimit), memlimit, kArgon2id13);
  ScrubStack();
  return result;
}

void Seal(unsigned char* out, const unsigned char* message, size_t length, const unsigned char* ad,
          size_t adLength, const unsigned char* nonce, const unsigned char* key) {
  unsigned long long sealedLength = 0;
  // Cannot fail for inputs below the 64 MiB file limit.
  (void)gEncrypt(out, &sealedLength, message, length, ad, adLength, nullptr, nonce, key);
  ScrubStack();
}

int Open(unsigned char* out, const unsigned char* sealed, size_t length, const unsigned char* ad,
         size_t adLength, const unsigned char* nonce, const unsigned char* key) {
  unsigned long long openedLength = 0;
  const int result =
      gDecrypt(out, &openedLength, nullptr, sealed, length, ad, adLength, nonce, key);
  ScrubStack();
  return result;
}

void RandomBytes(void* out, size_t length) { gRandomBuf(out, length); }

}  // namespace Sodium
}  // namespace Vault
