// Master passwords for the companion: typed at the terminal without echo, or one line of
// standard input when that is not a terminal, so that scripts can pipe them in. Never from
// an argument or the environment.
#pragma once

#include <string_view>

#include "cli/secret_buffer.h"

namespace Cli {

// Empties line, then reads one line (without its line end) into it, showing prompt on
// standard error when standard input is a terminal. False at the end of input before any
// character, or on a read error.
// Secret: line's holder wipes what it holds, after a failure too.
[[nodiscard]] bool ReadPassword(std::string_view prompt, SecretBuffer& line);

}  // namespace Cli
