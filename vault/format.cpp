#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "vault/sodium_calls.h"
#include "vault/vault.h"

namespace Vault {
namespace {

constexpr unsigned char kMagic[4] = {'L', 'W', 'V', '1'};
constexpr size_t kVersionOffset = 4;
constexpr size_t kOpsOffset = 8;
constexpr size_t kMemOffset = 16;
constexpr size_t kSaltOffset = 24;
constexpr mode_t kPrivateMode = 0600;

void StoreLE(unsigned char* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint64_t LoadLE(const unsigned char* in, int bytes) {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | in[i];
  return value;
}

void FillHeader(unsigned char* header, const KeyState& keys) {
  std::memcpy(header, kMagic, sizeof kMagic);
  StoreLE(header + kVersionOffset, kFormatVersion, 4);
  StoreLE(header + kOpsOffset, static_cast<uint64_t>(keys.opslimit), 8);
  StoreLE(header + kMemOffset, static_cast<uint64_t>(keys.memlimit), 8);
  std::memcpy(header + kSaltOffset, keys.salt, kSaltSize);
  Sodium::RandomBytes(header + kNonceOffset, kNonceSize);
}

bool WriteAll(int fd, const unsigned char* bytes, size_t length) {
  while (length > 0) {
    const ssize_t written = write(fd, bytes, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

bool ReadAll(int fd, unsigned char* bytes, size_t length) {
  while (length > 0) {
    const ssize_t got = read(fd, bytes, length);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    length -= static_cast<size_t>(got);
  }
  return true;
}

// Makes a finished rename survive a power cut.
void SyncDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

}  // namespace

unsigned char* DeriveKey(std::string_view password, const unsigned char* salt, int64_t opslimit,
                         int64_t memlimit) {
  const Utf8Buffer utf8 = ToUtf8(password);
  if (utf8.data == nullptr) return nullptr;
  auto* key = static_cast<unsigned char*>(std::malloc(kKeySize));
  if (key != nullptr && Sodium::PwHash(key, kKeySize, utf8.data, utf8.size, salt, opslimit,
                                       static_cast<size_t>(memlimit)) != 0) {
    WipeAndFree(key, kKeySize);
    key = nullptr;
  }
  WipeAndFree(utf8.data, utf8.size + 1);
  return key;
}

VaultError SealAndWriteFile(const std::string& path, const KeyState& keys,
                            const std::vector<Entry>& list) {
  if (keys.key == nullptr) return NotOpen;
  const size_t length = JsonLength(list);
  // A file that reading would refuse must never replace a good vault.
  if (length > kMaxFileSize - kMinFileSize) return FileError;

  // The payload is composed straight into a buffer that can be wiped, so no unwiped copy
  // of the plaintext is left behind by string growth.
  auto* payload = static_cast<char*>(std::malloc(length + 1));
  auto* image = static_cast<unsigned char*>(std::malloc(length + kMinFileSize));
  VaultError result = OutOfMemory;
  if (payload != nullptr && image != nullptr) {
    WriteJson(list, payload);
    payload[length] = '\0';
    FillHeader(image, keys);
    Sodium::Seal(image + kHeaderSize, reinterpret_cast<const unsigned char*>(payload), length,
                 image, kHeaderSize, image + kNonceOffset, keys.key);
    result = WriteFileReplacing(path, image, length + kMinFileSize);
  }
  WipeAndFree(payload, length + 1);
  std::free(image);  // ciphertext only
  return result;
}

VaultError WriteFileReplacing(const std::string& path, const void* bytes, size_t length) {
  const std::string temporary = path + ".tmp";
  const int fd =
      open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, kPrivateMode);
  if (fd < 0) return FileError;
  // A left-over temporary file keeps its old mode through O_TRUNC.
  bool done = fchmod(fd, kPrivateMode) == 0 &&
              WriteAll(fd, static_cast<const unsigned char*>(bytes), length) && fsync(fd) == 0;
  done = close(fd) == 0 && done;
  if (done && rename(temporary.c_str(), path.c_str()) == 0) {
    SyncDirectoryOf(path);
    return Ok;
  }
  unlink(temporary.c_str());
  return FileError;
}

VaultError ReadVaultFile(const std::string& path, std::string_view password, KeyState& keys,
                         std::vector<Entry>& list) {
  // O_NONBLOCK keeps a FIFO from hanging the open; it is refused just below.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FileError;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return FileError;
  }
  if (info.st_size < static_cast<off_t>(kMinFileSize) ||
      info.st_size > static_cast<off_t>(kMaxFileSize)) {
    close(fd);
    return NotAVault;
  }
  const size_t size = static_cast<size_t>(info.st_size);
  auto* file = static_cast<unsigned char*>(std::malloc(size));
  if (file == nullptr) {
    close(fd);
    return OutOfMemory;
  }
  const bool complete = ReadAll(fd, file, size);
  close(fd);
  if (!complete) {
    std::free(file);
    return FileError;
  }

  const int64_t opslimit = static_cast<int64_t>(LoadLE(file + kOpsOffset, 8));
  const int64_t memlimit = static_cast<int64_t>(LoadLE(file + kMemOffset, 8));
  if (std::memcmp(file, kMagic, sizeof kMagic) != 0 ||
      LoadLE(file + kVersionOffset, 4) != kFormatVersion || opslimit < kMinOpsLimit ||
      opslimit > kMaxOpsLimit || memlimit < kMinMemLimit || memlimit > kMaxMemLimit) {
    std::free(file);
    return NotAVault;
  }

  unsigned char* key = DeriveKey(password, file + kSaltOffset, opslimit, memlimit);
  // Room for the reader's padding after the text, which it may look at but never uses.
  const size_t plainSize = size - kMinFileSize + kPayloadPadding;
  auto* plain = static_cast<unsigned char*>(std::malloc(plainSize));
  if (plain != nullptr) std::memset(plain + size - kMinFileSize, 0, kPayloadPadding);
  VaultError result = Ok;
  if (key == nullptr || plain == nullptr) {
    result = OutOfMemory;
  } else if (Sodium::Open(plain, file + kHeaderSize, size - kHeaderSize, file, kHeaderSize,
                          file + kNonceOffset, key) != 0) {
    result = WrongPassword;
  } else if (!JsonToEntriesPadded(reinterpret_cast<const char*>(plain), size - kMinFileSize,
                                  list)) {
    result = NotAVault;
  } else {
    keys.key = key;
    keys.opslimit = opslimit;
    keys.memlimit = memlimit;
    std::memcpy(keys.salt, file + kSaltOffset, kSaltSize);
  }
  WipeAndFree(plain, plainSize);
  if (result != Ok) WipeAndFree(key, kKeySize);
  std::free(file);
  return result;
}

}  // namespace Vault
