// The companion's commands, and what they share: the exit statuses, the directory lock and
// asking for master passwords. Each command returns the process's exit status.
#pragma once

#include <string>
#include <string_view>

#include "cli/arguments.h"
#include "cli/secret_buffer.h"

namespace Cli {

// Besides these, a failed vault operation ends with its VaultError code (2 file, 3 not a
// vault, 4 wrong password, 6 out of memory).
enum ExitStatus : int {
  kDone = 0,
  kLocked = 1,  // another Lockwell holds the directory
  kFileProblem = 2,
  kUsage = 64,
  kBadData = 65,
  kNoSodium = 69,  // libsodium could not be loaded (EX_UNAVAILABLE)
};

struct Context {
  const Arguments& arguments;
  std::string dir;  // the configuration directory, ending in "/"; the vault is
                    // Common::VaultFilePath()
};

[[nodiscard]] int ImportCommand(const Context& context);
[[nodiscard]] int ExportCommand(const Context& context);
[[nodiscard]] int MergeCommand(const Context& context);
[[nodiscard]] int ListCommand(const Context& context);
[[nodiscard]] int CheckCommand(const Context& context);
[[nodiscard]] int GenerateCommand(const Context& context);
// The password health report; kDone whatever it found.
[[nodiscard]] int HealthCommand(const Context& context);

// The message, the hint to --help, and kUsage.
[[nodiscard]] int UsageError(std::string_view message);
// Takes the window program's lock on the directory: kDone, or kLocked after saying so.
[[nodiscard]] int TakeLock(const Context& context);
// Asks for a password that must not be empty: kDone, or kBadData after saying why.
// Secret: password's holder wipes it.
[[nodiscard]] int AskPassword(std::string_view prompt, SecretBuffer& password);
// Asks for a new master password twice, under the window's rules; at a terminal again
// until they are met. kDone or kBadData. Secret: password's holder wipes it.
[[nodiscard]] int AskNewPassword(SecretBuffer& password);
// Asks for the vault's password and opens it: kDone, or the status after saying why.
[[nodiscard]] int OpenVaultAsking(const Context& context);
// The same, keeping the password for other files that may share it (merge). Secret:
// password's holder wipes it.
[[nodiscard]] int OpenVaultKeepingPassword(const Context& context, SecretBuffer& password);
// Says that the vault would become too large to save: kBadData.
[[nodiscard]] int RefuseTooLarge();
// "path: text" for a failed vault operation, with the cause of a file error, and its code
// as the status.
[[nodiscard]] int VaultFailure(const std::string& path, int code);
// prefix + text for a failed save, with the cause of a file error from error (the errno the
// save left), and code as the status.
[[nodiscard]] int SaveFailure(std::string_view prefix, int code, int error);
// Says that standard output could not be written, with the cause in error: kFileProblem.
[[nodiscard]] int OutputFailure(int error);

}  // namespace Cli
