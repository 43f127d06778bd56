#include "vault/format.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "vault/file_io.h"
#include "vault/little_endian.h"
#include "vault/payload.h"
#include "vault/payload_shape.h"
#include "vault/replace_file.h"
#include "vault/sodium.h"
#include "vault/sodium_calls.h"

namespace Vault {
namespace {

// A secret heap buffer owns its length too, so that every path out wipes all of it.
struct WipeAndFreeDeleter {
  size_t length;
  void operator()(void* buffer) const { WipeAndFree(buffer, length); }
};
template <typename T>
using SecretBuffer = std::unique_ptr<T[], WipeAndFreeDeleter>;

template <typename T>
SecretBuffer<T> AllocateSecret(size_t length) {
  return SecretBuffer<T>(static_cast<T*>(std::malloc(length)), WipeAndFreeDeleter{length});
}

constexpr size_t kHugePage = 2u << 20;

// A buffer for a whole vault file, which is written or read through at once: on huge pages
// its first touch costs one fault per 2 MiB instead of one per 4 KiB. It holds plaintext
// while the payload is sealed or opened in place, so it is wiped like any secret.
SecretBuffer<unsigned char> AllocateWholeFile(size_t length) {
  SecretBuffer<unsigned char> buffer = AllocateSecret<unsigned char>(length);
  const auto start = reinterpret_cast<uintptr_t>(buffer.get());
  const uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t last = (start + length) & ~(kHugePage - 1);
  // Only advice: without it the pages are small.
  if (buffer != nullptr && last > first) {
    (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  }
  return buffer;
}

void FillHeader(unsigned char* header, const KeyState& keys) {
  std::memcpy(header, kMagic, sizeof kMagic);
  StoreLE(header + kVersionOffset, kFormatVersion, 4);
  StoreLE(header + kOpsOffset, static_cast<uint64_t>(keys.opslimit), 8);
  StoreLE(header + kMemOffset, static_cast<uint64_t>(keys.memlimit), 8);
  std::memcpy(header + kSaltOffset, keys.salt, kSaltSize);
  Sodium::RandomBytes(header + kNonceOffset, kNonceSize);
}

// The whole of a regular file whose size a vault can have, with kPayloadPadding bytes of
// room after it; Ok, 2, 3 or 6.
VaultError ReadFileBytes(const std::string& path, SecretBuffer<unsigned char>& bytes, size_t& size,
                         FileIdentity& seen) {
  struct stat info {};
  const int fd = OpenRegularFile(path, info);
  if (fd < 0) return FileError;
  VaultError result = Ok;
  if (info.st_size < static_cast<off_t>(kMinFileSize) ||
      info.st_size > static_cast<off_t>(kMaxFileSize)) {
    result = NotAVault;
  } else {
    size = static_cast<size_t>(info.st_size);
    bytes = AllocateWholeFile(size + kPayloadPadding);
    if (bytes == nullptr) {
      result = OutOfMemory;
    } else if (!ReadFully(fd, bytes.get(), size)) {
      result = FileError;
    }
  }
  // From the open file, not the path, so that a replacement after the read is noticed.
  if (result == Ok) seen = IdentityOf(info);
  close(fd);
  return result;
}

// Decrypts a checked file image in place with key and parses its payload into list: Ok,
// WrongPassword or NotAVault. The tag and the room after it become the reader's padding,
// which it may look at but never uses.
VaultError OpenImage(unsigned char* file, size_t size, const unsigned char* key,
                     std::vector<Entry>& list) {
  const unsigned char* header = file;
  unsigned char* const plain = file + kHeaderSize;
  const size_t textSize = size - kMinFileSize;
  if (Sodium::Open(plain, plain, size - kHeaderSize, header, kHeaderSize, header + kNonceOffset,
                   key) != 0) {
    return WrongPassword;
  }
  std::memset(plain + textSize, 0, kPayloadPadding);
  if (!JsonToEntriesPadded(reinterpret_cast<const char*>(plain), textSize, list)) {
    return NotAVault;
  }
  return Ok;
}

}  // namespace

unsigned char* DeriveKey(std::string_view password, const unsigned char* salt, int64_t opslimit,
                         int64_t memlimit) {
  const Utf8Buffer copy = ToUtf8(password);
  const SecretBuffer<char> utf8(copy.data, WipeAndFreeDeleter{copy.size + 1});
  if (utf8 == nullptr) return nullptr;
  SecretBuffer<unsigned char> key = AllocateSecret<unsigned char>(kKeySize);
  if (key == nullptr || Sodium::PwHash(key.get(), kKeySize, utf8.get(), copy.size, salt, opslimit,
                                       static_cast<size_t>(memlimit)) != 0) {
    return nullptr;
  }
  return key.release();  // the caller owns it now
}

bool TooLargeToSave(const std::vector<Entry>& list) {
  return JsonLength(list) > kMaxFileSize - kMinFileSize;
}

VaultError SealToFile(const std::string& path, const KeyState& keys, const std::vector<Entry>& list,
                      FileIdentity* written, VersionStamp* stamp) {
  if (keys.key == nullptr) return NotOpen;
  const size_t length = JsonLength(list);
  // A file that reading would refuse must never replace a good vault.
  if (length > kMaxFileSize - kMinFileSize) return FileError;

  // The payload is composed straight into the file image and sealed where it lies, so the
  // plaintext has one copy only, which the image's release wipes.
  const SecretBuffer<unsigned char> image = AllocateWholeFile(length + kMinFileSize);
  if (image == nullptr) return OutOfMemory;
  unsigned char* const text = image.get() + kHeaderSize;
  WriteJson(list, reinterpret_cast<char*>(text));
  FillHeader(image.get(), keys);
  if (stamp != nullptr) std::memcpy(stamp->data(), image.get() + kNonceOffset, kNonceSize);
  Sodium::Seal(text, text, length, image.get(), kHeaderSize, image.get() + kNonceOffset, keys.key);
  return WriteVaultBytes(path, image.get(), length + kMinFileSize, written);
}

VaultError WriteVaultBytes(const std::string& path, const void* bytes, size_t length,
                           FileIdentity* written) {
  struct stat finished {};
  if (!WriteWholeFile(path, bytes, length, kVaultFileMode, &finished)) return FileError;
  if (written != nullptr) *written = IdentityOf(finished);
  return Ok;
}

VaultError CheckVaultImage(const unsigned char* bytes, size_t size, int64_t& opslimit,
                           int64_t& memlimit) {
  if (size < kMinFileSize || size > kMaxFileSize) return NotAVault;
  const int64_t ops = static_cast<int64_t>(LoadLE(bytes + kOpsOffset, 8));
  const int64_t mem = static_cast<int64_t>(LoadLE(bytes + kMemOffset, 8));
  if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0 ||
      LoadLE(bytes + kVersionOffset, 4) != kFormatVersion || ops < kMinOpsLimit ||
      ops > kMaxOpsLimit || mem < kMinMemLimit || mem > kMaxMemLimit) {
    return NotAVault;
  }
  opslimit = ops;
  memlimit = mem;
  return Ok;
}

VaultError ReadVaultFile(const std::string& path, std::string_view password, KeyState& keys,
                         std::vector<Entry>& list, FileIdentity* seen, std::string* sealed) {
  SecretBuffer<unsigned char> file(nullptr, WipeAndFreeDeleter{0});
  size_t size = 0;
  FileIdentity identity;
  if (const VaultError read = ReadFileBytes(path, file, size, identity); read != Ok) return read;

  const unsigned char* header = file.get();
  int64_t opslimit = 0, memlimit = 0;
  if (const VaultError checked = CheckVaultImage(header, size, opslimit, memlimit); checked != Ok) {
    return checked;
  }

  SecretBuffer<unsigned char> key(DeriveKey(password, header + kSaltOffset, opslimit, memlimit),
                                  WipeAndFreeDeleter{kKeySize});
  if (key == nullptr) return OutOfMemory;
  if (sealed != nullptr) sealed->assign(reinterpret_cast<const char*>(header), size);
  if (const VaultError opened = OpenImage(file.get(), size, key.get(), list); opened != Ok) {
    return opened;
  }
  keys.key = key.release();  // the caller owns it now
  keys.opslimit = opslimit;
  keys.memlimit = memlimit;
  std::memcpy(keys.salt, header + kSaltOffset, kSaltSize);
  if (seen != nullptr) *seen = identity;
  return Ok;
}

VaultError ReadVaultFileWithKey(const std::string& path, const KeyState& keys,
                                std::vector<Entry>& list, FileIdentity& seen, bool& otherKey,
                                std::string* sealed) {
  otherKey = false;
  if (keys.key == nullptr) return NotOpen;
  SecretBuffer<unsigned char> file(nullptr, WipeAndFreeDeleter{0});
  size_t size = 0;
  FileIdentity identity;
  if (const VaultError read = ReadFileBytes(path, file, size, identity); read != Ok) return read;
  int64_t opslimit = 0, memlimit = 0;
  if (const VaultError checked = CheckVaultImage(file.get(), size, opslimit, memlimit);
      checked != Ok) {
    return checked;
  }
  if (opslimit != keys.opslimit || memlimit != keys.memlimit ||
      std::memcmp(file.get() + kSaltOffset, keys.salt, kSaltSize) != 0) {
    otherKey = true;
    return WrongPassword;
  }
  if (sealed != nullptr) sealed->assign(reinterpret_cast<const char*>(file.get()), size);
  const VaultError opened = OpenImage(file.get(), size, keys.key, list);
  if (opened == Ok) seen = identity;
  return opened;
}

bool VersionStampAt(const std::string& path, VersionStamp& stamp) {
  struct stat info {};
  const int fd = OpenRegularFile(path, info);
  if (fd < 0) return false;
  unsigned char header[kHeaderSize];
  const bool read = info.st_size >= static_cast<off_t>(kMinFileSize) &&
                    ReadFully(fd, header, kHeaderSize) &&
                    std::memcmp(header, kMagic, sizeof kMagic) == 0;
  close(fd);
  if (read) std::memcpy(stamp.data(), header + kNonceOffset, kNonceSize);
  return read;
}

}  // namespace Vault
