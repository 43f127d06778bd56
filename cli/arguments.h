// The companion's command line: [--dir DIR] COMMAND [OPTIONS] [FILES], options in any order.
#pragma once

#include <string>
#include <vector>

namespace Cli {

enum class Command { None, Import, Export, Merge, List, Check, Generate, Health };

struct Context;
// What runs a command; it gives the process's exit status.
using CommandHandler = int (*)(const Context&);

struct Arguments {
  Command command = Command::None;
  std::string commandName;
  std::string dir;  // empty: the window program's configuration directory
  bool dirGiven = false;
  bool help = false;
  bool version = false;
  std::vector<std::string> files;
  // import
  bool dryRun = false;
  bool noHeader = false;
  std::string separator;  // as given
  bool separatorGiven = false;
  std::string columns;
  bool columnsGiven = false;
  // export
  bool force = false;
  // generate
  std::string length;
  bool lengthGiven = false;
  bool upper = false, lower = false, digits = false, symbols = false;
  // health
  std::string breaches;  // the breach list's file or folder
  bool breachesGiven = false;
};

enum class ArgumentProblem {
  None,
  NoCommand,
  UnknownCommand,  // culprit: the word
  UnknownOption,   // culprit: the option
  MissingValue,    // culprit: the option
  WrongFileCount,
  EmptyDirectory,  // --dir "": never the root directory
};

struct ArgumentResult {
  ArgumentProblem problem = ArgumentProblem::None;
  std::string culprit;
};

// Reads argv[1..]; --help and --version are found whatever else is wrong.
[[nodiscard]] ArgumentResult ParseArguments(int argc, char** argv, Arguments& arguments);
// The handler in the command's row; null for Command::None.
[[nodiscard]] CommandHandler HandlerOf(Command command);

}  // namespace Cli
