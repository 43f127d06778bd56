// The options that only print something: the usage and the version.
#pragma once

namespace Program {

// (Not "None": Xlib defines that as a macro.)
enum class InfoRequest { Nothing, Usage, Version };

// What the first argument asks for: "--help" and "-h" the usage, "--version" the version;
// any other first argument is the configuration directory, as is "./--help".
[[nodiscard]] InfoRequest InfoRequestFor(int argc, char** argv);
// Prints the usage of this edition or the version line on standard output; returns the
// exit status (1 when standard output could not be written).
[[nodiscard]] int PrintInfo(InfoRequest request);

}  // namespace Program
