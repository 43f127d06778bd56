// The built companion programs run as a script or a user would run them: the story fixture
// with a fresh vault directory, and running a program with given standard input.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/vault.h"

namespace CompanionStory {

using TestFiles::ReadFile;

constexpr int kPatienceMs = 20000;
using TestFiles::WriteFile;

struct Outcome {
  int status;
  std::string out;
  std::string err;
  long peakKb = 0;  // the program's largest resident memory
};

// Runs a program with input on standard input; HOME points into the scratch folder, and
// environment ("NAME=value") is added.
inline Outcome RunProgram(const char* program, const std::vector<std::string>& arguments,
                          const std::string& input, const std::string& scratch,
                          const std::vector<std::string>& environment = {}) {
  int in[2];
  if (pipe(in) != 0) return {-1, "", "pipe"};
  const std::string out = scratch + "out.txt", err = scratch + "err.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], STDIN_FILENO);
    close(in[1]);
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    setenv("HOME", scratch.c_str(), 1);
    for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program, argv.data());
    _exit(127);
  }
  close(in[0]);
  (void)!write(in[1], input.data(), input.size());
  close(in[1]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err),
          usage.ru_maxrss};
}

inline std::vector<Vault::Entry> EntriesOf(const std::string& path, const std::string& password) {
  EXPECT_EQ(Vault::OpenVault(path, password), Vault::Ok) << path;
  std::vector<Vault::Entry> list = Vault::Entries();
  Vault::CloseVault();
  return list;
}

class Companion : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Vault::LoadSodium());
    dir = scratch.path + "vault/";
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    vault = dir + "kluis.lwv";
  }
  // One edition on the vault directory of the story.
  Outcome Run(const char* program, std::vector<std::string> arguments, const std::string& input) {
    arguments.insert(arguments.begin(), {"--dir", dir});
    return RunProgram(program, arguments, input, scratch.path);
  }
  Outcome En(const std::vector<std::string>& arguments, const std::string& input) {
    return Run(LOCKWELL_CLI_EN, arguments, input);
  }
  Outcome Nl(const std::vector<std::string>& arguments, const std::string& input) {
    return Run(LOCKWELL_CLI_NL, arguments, input);
  }
  TestFiles::TempDir scratch;
  std::string dir, vault;
};

}  // namespace CompanionStory
