// The file an import reads, mapped read-only: its plaintext is never copied into the
// process's own memory, so there is no copy of it to wipe. (The page cache holds the file
// as long as the file exists, whatever the program does.)
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Cli {

// Unmapped when its holder goes out of scope; never copied, so one holder unmaps it.
struct InputFile {
  const char* data = nullptr;
  size_t size = 0;

  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();
};

// Maps a whole regular file (a FIFO or a device is refused without blocking); false when
// it cannot be read.
[[nodiscard]] bool OpenInputFile(const std::string& path, InputFile& file);
// Unmaps it; safe to call twice.
void CloseInputFile(InputFile& file);
[[nodiscard]] inline std::string_view View(const InputFile& file) {
  return {file.data == nullptr ? "" : file.data, file.size};
}

}  // namespace Cli
