#include "features/launcher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "vault/file_io.h"

namespace Features {
namespace {

bool IsStartable(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && info.st_size > 0 &&
         access(path.c_str(), X_OK) == 0;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Runs in the final process: only async-signal-safe calls before the exec.
[[noreturn]] void BecomeProgram(char* const* argv, const char* folder) {
  setsid();  // no terminal's hang-up reaches it once we are gone
  // Our own descriptors (the vault's, the display's) stay with us.
  (void)close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  if (folder != nullptr && chdir(folder) != 0) _exit(1);
  execvp(argv[0], argv);
  _exit(1);
}

}  // namespace

bool ResolveProgram(const std::string& name, const char* path) {
  if (name.find('/') != std::string::npos && IsStartable(name)) return true;
  if (name.rfind("/", 0) == 0 || name.rfind("./", 0) == 0) return false;
  if (path == nullptr) return false;
  const std::string folders = path;
  for (size_t start = 0; start <= folders.size();) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string folder = folders.substr(start, end - start);
    if (!folder.empty()) {
      if (folder.back() != '/') folder += '/';
      if (IsStartable(folder + name)) return true;
    }
    start = end + 1;
  }
  return false;
}

std::vector<std::string> SplitArguments(const std::string& parameters) {
  std::vector<std::string> arguments;
  size_t i = 0;
  while (i < parameters.size()) {
    if (IsSeparator(parameters[i])) {
      ++i;
    } else if (parameters[i] == '"') {
      const size_t close = parameters.find('"', i + 1);
      const size_t end = close == std::string::npos ? parameters.size() : close;
      arguments.push_back(parameters.substr(i + 1, end - i - 1));
      i = end + 1;
    } else {
      // A bare word ends at a separator or at a quote, which starts the next argument.
      size_t end = i;
      while (end < parameters.size() && !IsSeparator(parameters[end]) && parameters[end] != '"') {
        ++end;
      }
      arguments.push_back(parameters.substr(i, end - i));
      i = end;
    }
  }
  return arguments;
}

bool StartDetached(const std::string& program, const std::string& parameters,
                   const std::string& folder) {
  if (!ResolveProgram(program, std::getenv("PATH"))) return false;
  // Everything the children need is built before the fork.
  std::vector<std::string> arguments = SplitArguments(parameters);
  arguments.insert(arguments.begin(), program);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const char* workingFolder = folder.empty() ? nullptr : folder.c_str();

  int ids[2];
  if (pipe2(ids, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    close(ids[0]);
    close(ids[1]);
    return false;
  }
  if (child == 0) {
    close(ids[0]);
    const pid_t final = fork();
    if (final == 0) BecomeProgram(argv.data(), workingFolder);
    if (final < 0) _exit(1);
    _exit(Vault::WriteFully(ids[1], &final, sizeof final) ? 0 : 1);
  }
  close(ids[1]);
  pid_t started = -1;
  const ssize_t got = Vault::ReadSome(ids[0], &started, sizeof started);
  close(ids[0]);
  // The child exits at once; reaping it leaves the program to init.
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  return got == static_cast<ssize_t>(sizeof started) && started > 0;
}

}  // namespace Features
