// export, list, check and generate.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <numeric>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/csv_export.h"
#include "cli/export_file.h"
#include "cli/held_entries.h"
#include "cli/held_keys.h"
#include "cli/output.h"
#include "common/entry_find.h"
#include "common/password_generator.h"
#include "common/paths.h"
#include "common/settings.h"
#include "texts/fill.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Cli {
namespace {

constexpr std::string_view kStandardOutput = "-";

// Reads a vault file read-only, asking for its password with prompt: kDone, or the status
// after saying why. Secret: keys and read wipe what they hold.
int ReadVaultAsking(const std::string& path, std::string_view prompt, HeldKeys& keys,
                    HeldEntries& read) {
  SecretBuffer password;
  if (const int asked = AskPassword(prompt, password); asked != kDone) return asked;
  const Vault::VaultError result =
      Vault::ReadVaultFile(path, View(password), keys.state, read.list);
  return result == Vault::Ok ? kDone : VaultFailure(path, result);
}

// Whether the export may go to target: kDone, or kFileProblem after saying why. Asked
// before the password, so that no key is derived for an export that cannot be written.
int CheckExportTarget(const std::string& target, bool force) {
  const Texts::Table& t = Texts::kText;
  struct stat info {};
  const char* refusal = nullptr;
  if (lstat(target.c_str(), &info) == 0) {
    // Only a regular file is replaced, and only when the user asked for it.
    refusal = S_ISLNK(info.st_mode)    ? t.cliExportIsLink
              : !S_ISREG(info.st_mode) ? t.cliExportNotFile
              : !force                 ? t.cliExportExists
                                       : nullptr;
  } else {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) refusal = t.cliExportNoFolder;
  }
  if (refusal == nullptr) return kDone;
  PrintError(Texts::Fill(refusal, {Printable(target)}));
  return kFileProblem;
}

int WriteExport(const std::string& target, const std::string& csv, bool force) {
  const Texts::Table& t = Texts::kText;
  // Again: the key derivation gave time to put something there.
  if (const int status = CheckExportTarget(target, force); status != kDone) return status;
  if (int error = 0; !WriteExportFile(target, csv, error)) {
    return SaveFailure(Printable(target) + ": ", Vault::FileError, error);
  }
  PrintError(Texts::Fill(t.cliExportWarningFile, {Printable(target)}));
  return kDone;
}

}  // namespace

int ExportCommand(const Context& context) {
  const std::string& target = context.arguments.files[0];
  if (target != kStandardOutput) {
    if (const int status = CheckExportTarget(target, context.arguments.force); status != kDone)
      return status;
  }
  if (const int status = OpenVaultAsking(context); status != kDone) return status;
  std::string csv = ExportCsv(Vault::Entries());
  int status = kDone;
  if (target == kStandardOutput) {
    PrintError(Texts::kText.cliExportWarningOutput);
    if (!WriteAll(STDOUT_FILENO, csv)) status = OutputFailure(errno);
  } else {
    status = WriteExport(target, csv, context.arguments.force);
    if (status == kDone) {
      PrintLine(Texts::Fill(Texts::kText.cliExported,
                            {std::to_string(Vault::Entries().size()), Printable(target)}));
    }
  }
  Vault::WipeText(csv);
  return status;
}

int ListCommand(const Context& context) {
  if (const int status = OpenVaultAsking(context); status != kDone) return status;
  const std::vector<Vault::Entry>& entries = Vault::Entries();
  const std::vector<std::string>& words = context.arguments.files;
  std::vector<int> shown;
  if (words.empty()) {
    shown.resize(entries.size());
    std::iota(shown.begin(), shown.end(), 0);
  } else {
    std::string typed;
    for (const std::string& word : words) typed += word + " ";
    Common::FoldedEntries folded;
    Common::BuildFoldedEntries(entries, folded);
    shown = Common::MatchingEntries(folded, Common::MakeSearchQuery(typed));
    Common::WipeFoldedEntries(folded);
    if (shown.empty()) PrintError(Texts::kText.cliNoMatch);
  }
  std::string lines;
  for (const int i : shown) {
    const Vault::Entry& e = entries[static_cast<size_t>(i)];
    lines +=
        Printable(e.Omschrijving) + "\t" + Printable(e.Gebruiker) + "\t" + Printable(e.Url) + "\n";
  }
  return WriteAll(STDOUT_FILENO, lines) ? kDone : OutputFailure(errno);
}

int CheckCommand(const Context& context) {
  const Texts::Table& t = Texts::kText;
  const bool ownVault = context.arguments.files.empty();
  const std::string path = ownVault ? Common::VaultFilePath() : context.arguments.files[0];
  if (ownVault && !Common::VaultFileExists(path)) {
    PrintError(Texts::Fill(t.cliNoVault, {Printable(context.dir)}));
    return kFileProblem;
  }
  const std::string prompt =
      ownVault ? t.cliPasswordPrompt : Texts::Fill(t.cliOtherPasswordPrompt, {Printable(path)});
  HeldKeys keys;
  size_t count = 0;
  {
    HeldEntries read;  // wiped at the end of the block, before anything is printed
    const int status = ReadVaultAsking(path, prompt, keys, read);
    if (status != kDone) return status;
    count = read.list.size();
  }
  struct stat info {};
  const long long size = stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
  PrintLine(Texts::Fill(t.cliCheckOpened, {Printable(path)}));
  PrintLine(Texts::Fill(t.cliCheckEntries, {std::to_string(count)}));
  PrintLine(Texts::Fill(
      t.cliCheckCosts, {std::to_string(keys.state.opslimit), std::to_string(keys.state.memlimit)}));
  PrintLine(Texts::Fill(t.cliCheckSize, {std::to_string(size)}));
  return kDone;
}

int GenerateCommand(const Context& context) {
  const Arguments& arguments = context.arguments;
  Common::LoadSettings();
  const Common::Settings& settings = Common::CurrentSettings();
  long long length = settings.GenLengte;
  if (arguments.lengthGiven) {
    const std::string& given = arguments.length;
    const bool digitsOnly = !given.empty() && given.size() <= 3 &&
                            given.find_first_not_of("0123456789") == std::string::npos;
    length = digitsOnly ? std::stoll(given) : 0;
    if (length < Common::kMinGeneratedLength || length > Common::kMaxGeneratedLength) {
      return UsageError(Texts::kText.cliBadLength);
    }
  }
  // Kinds named on the command line are exactly the ones used; else the editor's choices.
  const bool named = arguments.upper || arguments.lower || arguments.digits || arguments.symbols;
  const bool digits = named ? arguments.digits : settings.GenCijfers != 0;
  const bool lower = named ? arguments.lower : settings.GenKlein != 0;
  const bool upper = named ? arguments.upper : settings.GenHoofd != 0;
  const bool symbols = named ? arguments.symbols : settings.GenLeestekens != 0;
  // GenLengte as the editor's length field shows it: clamped into its range.
  const long long clamped =
      std::clamp<long long>(length, Common::kMinGeneratedLength, Common::kMaxGeneratedLength);
  std::string password =
      Common::GeneratePassword(static_cast<int>(clamped), digits, lower, upper, symbols);
  // Only the settings can switch every kind off: the options switch on the ones they name.
  if (password.empty()) {
    PrintError(Texts::kText.cliNoKinds);
    return kBadData;
  }
  const bool written = WriteAll(STDOUT_FILENO, password) && WriteAll(STDOUT_FILENO, "\n");
  const int error = errno;
  Vault::WipeText(password);
  return written ? kDone : OutputFailure(error);
}

}  // namespace Cli
