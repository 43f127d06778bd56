// The file an import reads, as UTF-8 text in the process's own memory. It is read through
// the file module rather than mapped: a mapped file cut short while it is read ends the
// program with SIGBUS. UTF-16 with a byte-order mark, as Windows tools write it, is
// converted first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "cli/secret_buffer.h"

namespace Cli {

// Secret: the file's plaintext, wiped when its holder goes out of scope, on every way out.
struct InputFile {
  SecretBuffer text;
  bool changed = false;  // the file grew or shrank while it was read
};

// Reads a whole regular file (a FIFO or a device is refused without blocking); false when
// it cannot be read, or when it changed while it was read (changed is then set).
[[nodiscard]] bool OpenInputFile(const std::string& path, InputFile& file);
// Wipes and frees the text; safe to call twice.
void CloseInputFile(InputFile& file);
[[nodiscard]] inline std::string_view View(const InputFile& file) { return View(file.text); }

}  // namespace Cli
