// The file an import reads, mapped read-only: its plaintext is never copied into the
// process's own memory, so there is no copy of it to wipe. (The page cache holds the file
// as long as the file exists, whatever the program does.) A file cut short while it is
// read would end the program with SIGBUS; the pages it no longer has read as zeros instead,
// and the change is told afterwards. UTF-16 with a byte-order mark, as Windows tools write
// it, is converted to UTF-8 first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "cli/secret_buffer.h"
#include "vault/file_io.h"

namespace Cli {

// Unmapped when its holder goes out of scope; never copied, so one holder unmaps it. One is
// open at a time.
struct InputFile {
  const char* data = nullptr;  // the mapping
  size_t size = 0;
  int fd = -1;
  Vault::FileIdentity opened;  // the file as it was when it was mapped
  // Secret: a UTF-16 file's text as UTF-8, wiped when the holder goes out of scope.
  SecretBuffer converted;
  bool changed = false;  // set when it changed while it was opened

  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();
};

// Maps a whole regular file (a FIFO or a device is refused without blocking); false when
// it cannot be read, or when it changed while a UTF-16 text was converted (changed is set).
[[nodiscard]] bool OpenInputFile(const std::string& path, InputFile& file);
// True when the file changed since it was opened: what was read of it is not to be trusted.
[[nodiscard]] bool InputFileChanged(InputFile& file);
// Unmaps it; safe to call twice.
void CloseInputFile(InputFile& file);
// The file's text as UTF-8.
[[nodiscard]] inline std::string_view View(const InputFile& file) {
  if (file.converted.data != nullptr) return View(file.converted);
  return {file.data == nullptr ? "" : file.data, file.size};
}

}  // namespace Cli
