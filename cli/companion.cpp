#include "cli/companion.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "cli/commands.h"
#include "cli/file_problem.h"
#include "cli/output.h"
#include "cli/password_input.h"
#include "common/hardening.h"
#include "common/instance_lock.h"
#include "common/password_rules.h"
#include "common/paths.h"
#include "common/utf8.h"
#include "texts/fill.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Cli {
namespace {

void ReportKeptCopy(const std::string& message) { PrintError(message); }

// What the window's password box could hold: UTF-8 text without control characters.
bool TypableInTheWindow(std::string_view password) {
  if (!Common::IsValidUtf8(password)) return false;
  for (size_t i = 0; i < password.size(); ++i) {
    const auto c = static_cast<unsigned char>(password[i]);
    if (c < 0x20 || c == 0x7F || Common::IsC1Control(password, i)) return false;
  }
  return true;
}

int CheckArguments(const ArgumentResult& result) {
  const Texts::Table& t = Texts::kText;
  switch (result.problem) {
    case ArgumentProblem::None:
      return kDone;
    case ArgumentProblem::NoCommand:
      return UsageError(t.cliNoCommand);
    case ArgumentProblem::UnknownCommand:
      return UsageError(Texts::Fill(t.cliUnknownCommand, {Printable(result.culprit)}));
    case ArgumentProblem::UnknownOption:
      return UsageError(Texts::Fill(t.cliUnknownOption, {Printable(result.culprit)}));
    case ArgumentProblem::MissingValue:
      return UsageError(Texts::Fill(t.cliMissingValue, {result.culprit}));
    case ArgumentProblem::WrongFileCount:
      return UsageError(Texts::Fill(t.cliWrongFileCount, {result.culprit}));
    case ArgumentProblem::EmptyDirectory:
      return UsageError(t.cliEmptyDir);
  }
  return kUsage;
}

// The directory as the window program decides it: --dir stands where its first argument
// does.
std::string DirectoryOf(const Arguments& arguments) {
  if (!arguments.dirGiven) return Common::ConfigDirFor(1, nullptr, std::getenv("HOME"));
  std::string dir = arguments.dir;
  char program[] = "lockwell";
  char* argv[] = {program, dir.data(), nullptr};
  return Common::ConfigDirFor(2, argv, std::getenv("HOME"));
}

}  // namespace

int UsageError(std::string_view message) {
  PrintError(message);
  PrintError(Texts::kText.cliTryHelp);
  return kUsage;
}

int TakeLock(const Context& context) {
  if (Common::LockConfigDir(context.dir)) return kDone;
  PrintError(Texts::kText.alreadyRunning);
  return kLocked;
}

int AskPassword(std::string_view prompt, SecretBuffer& password) {
  if (!ReadPassword(prompt, password)) {
    PrintError(Texts::kText.cliNoPassword);
    return kBadData;
  }
  if (password.size == 0) {
    PrintError(Texts::kText.enterPassword);
    return kBadData;
  }
  return kDone;
}

int AskNewPassword(SecretBuffer& password) {
  const Texts::Table& t = Texts::kText;
  PrintError(t.newVaultPrompt);
  for (;;) {
    SecretBuffer repeat;
    if (!ReadPassword(std::string(t.passwordLabel) + " ", password) ||
        !ReadPassword(std::string(t.repeatLabel) + " ", repeat)) {
      PrintError(t.cliNoPassword);
      return kBadData;
    }
    const Common::PasswordProblem problem =
        Common::CheckMasterPassword(View(password), View(repeat), true);
    const bool typable = TypableInTheWindow(View(password));
    if (problem == Common::PasswordProblem::None && typable) return kDone;
    PrintError(!typable ? t.cliPasswordNotTypable : Common::PasswordProblemText(problem));
    if (!isatty(STDIN_FILENO)) return kBadData;  // a script gets no second try
  }
}

int OpenVaultKeepingPassword(const Context& context, SecretBuffer& password) {
  if (!Common::VaultFileExists(Common::VaultFilePath())) {
    PrintError(Texts::Fill(Texts::kText.cliNoVault, {Printable(context.dir)}));
    return kFileProblem;
  }
  if (const int status = AskPassword(Texts::kText.cliPasswordPrompt, password); status != kDone) {
    return status;
  }
  const Vault::VaultError result = Vault::OpenVault(Common::VaultFilePath(), View(password));
  return result == Vault::Ok ? kDone : VaultFailure(Common::VaultFilePath(), result);
}

int OpenVaultAsking(const Context& context) {
  SecretBuffer password;
  return OpenVaultKeepingPassword(context, password);
}

int RefuseTooLarge() {
  PrintError(Texts::kText.vaultTooLarge);
  return kBadData;
}

int VaultFailure(const std::string& path, int code) {
  const std::string lead = Printable(path) + ": " + Vault::ErrorText(code);
  PrintError(code == Vault::FileError ? WithCause(lead, ReadCause(path)) : lead);
  return code;
}

int SaveFailure(std::string_view prefix, int code, int error) {
  const std::string lead = std::string(prefix) + Vault::ErrorText(code);
  PrintError(code == Vault::FileError ? WithCause(lead, CauseOfError(error)) : lead);
  return code;
}

int OutputFailure(int error) {
  PrintError(WithCause(Texts::kText.cliOutputFailed, CauseOfError(error)));
  return kFileProblem;
}

int RunCompanion(int argc, char** argv) {
  // Before anything secret exists: no core file, no debugger of the same user.
  (void)Common::HardenProcess();
  Arguments arguments;
  const ArgumentResult parsed = ParseArguments(argc, argv, arguments);
  if (arguments.help) {
    PrintLine(Texts::kText.cliUsage);
    return kDone;
  }
  if (arguments.version) {
    PrintLine(Texts::Fill(Texts::kText.cliVersion, {LOCKWELL_VERSION}));
    return kDone;
  }
  if (const int status = CheckArguments(parsed); status != kDone) return status;
  if (!Vault::LoadSodium()) {
    PrintError(Texts::kText.sodiumMissing);
    return kNoSodium;
  }
  Vault::SetKeptCopyReporter(ReportKeptCopy);
  Common::SetConfigDir(DirectoryOf(arguments));
  const Context context{arguments, Common::ConfigDir()};
  const CommandHandler handler = HandlerOf(arguments.command);
  const int status = handler != nullptr ? handler(context) : kUsage;
  Vault::CloseVault();
  Common::UnlockConfigDir();
  return status;
}

}  // namespace Cli
