// Why a file could not be read or written, named in the edition's words after the message
// that says so.
#pragma once

#include <string>
#include <string_view>

namespace Cli {

// In the order of Texts::Table::cliFileCauses; Unknown has no words.
enum class FileCause { NoSuchFile, Folder, FifoOrDevice, Permission, DiskFull, ReadOnly, Unknown };

// The cause an errno value stands for.
[[nodiscard]] FileCause CauseOfError(int error);
// Why reading path fails, found by looking at what is there; Unknown when it looks readable.
[[nodiscard]] FileCause ReadCause(const std::string& path);
// The lead, then the cause's sentence after a blank (the lead alone for Unknown).
[[nodiscard]] std::string WithCause(std::string_view lead, FileCause cause);

}  // namespace Cli
