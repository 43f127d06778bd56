#include "cli/arguments.h"

#include <cstdint>
#include <string_view>

#include "cli/commands.h"

namespace Cli {
namespace {

struct CommandRow {
  const char* name;
  Command command;
  size_t minFiles;
  size_t maxFiles;
  CommandHandler handler;
};

constexpr CommandRow kCommands[] = {
    {"import", Command::Import, 1, 1, ImportCommand},
    {"export", Command::Export, 1, 1, ExportCommand},
    {"merge", Command::Merge, 0, SIZE_MAX, MergeCommand},
    {"list", Command::List, 0, SIZE_MAX, ListCommand},  // the words to find
    {"check", Command::Check, 0, 1, CheckCommand},
    {"generate", Command::Generate, 0, 0, GenerateCommand},
    {"health", Command::Health, 0, 0, HealthCommand},
};

const CommandRow* FindCommand(std::string_view name) {
  for (const CommandRow& row : kCommands) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

// Where an option's value goes, for the command it belongs to.
struct ValueOption {
  const char* name;
  Command command;  // None: any command
  std::string Arguments::*value;
  bool Arguments::*given;
};

constexpr ValueOption kValueOptions[] = {
    {"--dir", Command::None, &Arguments::dir, &Arguments::dirGiven},
    {"--separator", Command::Import, &Arguments::separator, &Arguments::separatorGiven},
    {"--columns", Command::Import, &Arguments::columns, &Arguments::columnsGiven},
    {"--length", Command::Generate, &Arguments::length, &Arguments::lengthGiven},
    {"--breaches", Command::Health, &Arguments::breaches, &Arguments::breachesGiven},
};

struct FlagOption {
  const char* name;
  Command command;
  bool Arguments::*flag;
};

constexpr FlagOption kFlagOptions[] = {
    {"--help", Command::None, &Arguments::help},
    {"-h", Command::None, &Arguments::help},
    {"--version", Command::None, &Arguments::version},
    {"--dry-run", Command::Import, &Arguments::dryRun},
    {"--no-header", Command::Import, &Arguments::noHeader},
    {"--force", Command::Export, &Arguments::force},
    {"--upper", Command::Generate, &Arguments::upper},
    {"--lower", Command::Generate, &Arguments::lower},
    {"--digits", Command::Generate, &Arguments::digits},
    {"--symbols", Command::Generate, &Arguments::symbols},
};

bool Applies(Command option, Command given) { return option == Command::None || option == given; }

// One reading of the command line: the word it is at and the first problem found.
struct Reading {
  int argc;
  char** argv;
  Arguments& arguments;
  int at = 1;
  const CommandRow* command = nullptr;
  ArgumentResult result;
};

void Fail(Reading& r, ArgumentProblem problem, std::string_view culprit) {
  if (r.result.problem != ArgumentProblem::None) return;  // the first problem is told
  r.result.problem = problem;
  r.result.culprit = culprit;
}

// A word that is no option: the command's name first, then the files.
void TakeWord(Reading& r, std::string_view word) {
  Arguments& arguments = r.arguments;
  if (!arguments.commandName.empty() || r.command != nullptr) {
    arguments.files.emplace_back(word);
    return;
  }
  arguments.commandName = word;
  r.command = FindCommand(word);
  if (r.command == nullptr) Fail(r, ArgumentProblem::UnknownCommand, word);
  arguments.command = r.command != nullptr ? r.command->command : Command::None;
}

// An option of the command read so far, its value after "=" or in the next word.
void TakeOption(Reading& r, std::string_view word) {
  Arguments& arguments = r.arguments;
  const size_t equals = word.find('=');
  const std::string_view name = word.substr(0, equals);
  bool known = false;
  for (const FlagOption& option : kFlagOptions) {
    if (name != option.name || !Applies(option.command, arguments.command)) continue;
    known = equals == std::string_view::npos;
    if (known) arguments.*option.flag = true;
  }
  for (const ValueOption& option : kValueOptions) {
    if (name != option.name || !Applies(option.command, arguments.command)) continue;
    known = true;
    if (equals != std::string_view::npos) {
      arguments.*option.value = word.substr(equals + 1);
    } else if (r.at + 1 < r.argc) {
      arguments.*option.value = r.argv[++r.at];
    } else {
      Fail(r, ArgumentProblem::MissingValue, name);
      break;
    }
    arguments.*option.given = true;
  }
  if (!known) Fail(r, ArgumentProblem::UnknownOption, word);
}

// What only the whole line tells: the directory, the command and its number of files.
void CheckWhole(Reading& r) {
  const Arguments& arguments = r.arguments;
  const CommandRow* command = r.command;
  if (arguments.dirGiven && arguments.dir.empty())
    Fail(r, ArgumentProblem::EmptyDirectory, "--dir");
  if (command == nullptr && arguments.commandName.empty()) {
    Fail(r, ArgumentProblem::NoCommand, "");
  } else if (command != nullptr && (arguments.files.size() < command->minFiles ||
                                    arguments.files.size() > command->maxFiles)) {
    Fail(r, ArgumentProblem::WrongFileCount, command->name);
  }
}

}  // namespace

ArgumentResult ParseArguments(int argc, char** argv, Arguments& arguments) {
  Reading r{argc, argv, arguments, 1, nullptr, {}};
  bool optionsEnded = false;
  for (; r.at < argc; ++r.at) {
    const std::string_view word = argv[r.at];
    if (!optionsEnded && word == "--") {
      optionsEnded = true;
    } else if (optionsEnded || word.size() < 2 || word[0] != '-') {
      TakeWord(r, word);
    } else {
      TakeOption(r, word);
    }
  }
  CheckWhole(r);
  return r.result;
}

CommandHandler HandlerOf(Command command) {
  for (const CommandRow& row : kCommands) {
    if (row.command == command) return row.handler;
  }
  return nullptr;
}

}  // namespace Cli
