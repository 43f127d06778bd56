// The command-line companion: lockwell-cli-en and lockwell-cli-nl.
#pragma once

namespace Cli {

// Runs the command line; returns the exit status.
[[nodiscard]] int RunCompanion(int argc, char** argv);

}  // namespace Cli
