// Master passwords for the companion: typed at the terminal without echo, or one line of
// standard input when that is not a terminal, so that scripts can pipe them in. Never from
// an argument or the environment.
#pragma once

#include <string_view>

#include "cli/secret_buffer.h"

namespace Cli {

// Reads one line (without its line end) into line, showing prompt on standard error when
// standard input is a terminal. False at the end of input before any character, or on a
// read error.
// Secret: the caller releases line with ReleaseSecret.
[[nodiscard]] bool ReadPassword(std::string_view prompt, SecretBuffer& line);

}  // namespace Cli
