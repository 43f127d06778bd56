#include "cli/secret_buffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "vault/replace_file.h"
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
  buffer = {};
}

bool ReadSecretFile(const std::string& path, SecretBuffer& buffer) {
  ReleaseSecret(buffer);
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            ReserveSecret(buffer, static_cast<size_t>(info.st_size) + 1) &&
            Vault::ReadFully(fd, buffer.data, static_cast<size_t>(info.st_size));
  close(fd);
  if (!ok) {
    ReleaseSecret(buffer);
    return false;
  }
  buffer.size = static_cast<size_t>(info.st_size);
  buffer.data[buffer.size] = '\0';
  return true;
}

}  // namespace Cli
