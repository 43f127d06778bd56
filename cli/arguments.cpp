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

}  // namespace

ArgumentResult ParseArguments(int argc, char** argv, Arguments& arguments) {
  ArgumentResult result;
  auto fail = [&result](ArgumentProblem problem, std::string_view culprit) {
    if (result.problem != ArgumentProblem::None) return;  // the first problem is told
    result.problem = problem;
    result.culprit = culprit;
  };
  const CommandRow* command = nullptr;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (!optionsEnded && word == "--") {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || word.size() < 2 || word[0] != '-') {
      if (arguments.commandName.empty() && command == nullptr) {
        arguments.commandName = word;
        command = FindCommand(word);
        if (command == nullptr) fail(ArgumentProblem::UnknownCommand, word);
        arguments.command = command != nullptr ? command->command : Command::None;
      } else {
        arguments.files.emplace_back(word);
      }
      continue;
    }
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
      } else if (i + 1 < argc) {
        arguments.*option.value = argv[++i];
      } else {
        fail(ArgumentProblem::MissingValue, name);
        break;
      }
      arguments.*option.given = true;
    }
    if (!known) fail(ArgumentProblem::UnknownOption, word);
  }
  if (arguments.dirGiven && arguments.dir.empty()) fail(ArgumentProblem::EmptyDirectory, "--dir");
  if (command == nullptr && arguments.commandName.empty()) {
    fail(ArgumentProblem::NoCommand, "");
  } else if (command != nullptr && (arguments.files.size() < command->minFiles ||
                                    arguments.files.size() > command->maxFiles)) {
    fail(ArgumentProblem::WrongFileCount, command->name);
  }
  return result;
}

CommandHandler HandlerOf(Command command) {
  for (const CommandRow& row : kCommands) {
    if (row.command == command) return row.handler;
  }
  return nullptr;
}

}  // namespace Cli
