// merge: other vault files, or every copy that a sync tool or Lockwell left beside the
// vault, brought in as a union (no common base is known here).
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/held_keys.h"
#include "cli/new_entries.h"
#include "cli/output.h"
#include "common/entry_merge.h"
#include "common/paths.h"
#include "common/sync_copies.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Cli {
namespace {

static_assert(sizeof Texts::Table::cliFieldsInSentence / sizeof(const char*) ==
              Vault::kEntryFieldCount);

// Another vault file and its entries. Secret: entries are wiped by the command.
struct Copy {
  std::string path;
  std::vector<Vault::Entry> entries;
};

// Opens the vault and keeps the password, for the copies that share it. Secret: the caller
// releases password.
int OpenKeepingPassword(const Context& context, SecretBuffer& password) {
  if (!Common::VaultFileExists(Common::VaultFilePath())) {
    PrintError(Format(Texts::kText.cliNoVault, {Printable(context.dir)}));
    return kFileProblem;
  }
  if (const int status = AskPassword(Texts::kText.cliPasswordPrompt, password); status != kDone) {
    return status;
  }
  const Vault::VaultError result = Vault::OpenVault(Common::VaultFilePath(), View(password));
  return result == Vault::Ok ? kDone : VaultFailure(Common::VaultFilePath(), result);
}

// Reads a copy read-only with the vault's password, or else with its own, asked for.
int ReadCopy(Copy& copy, std::string_view vaultPassword) {
  HeldKeys keys;
  Vault::VaultError result =
      Vault::ReadVaultFile(copy.path, vaultPassword, keys.state, copy.entries);
  if (result == Vault::WrongPassword) {
    SecretBuffer password;
    const std::string prompt = Format(Texts::kText.cliOtherPasswordPrompt, {Printable(copy.path)});
    if (const int status = AskPassword(prompt, password); status != kDone) return status;
    result = Vault::ReadVaultFile(copy.path, View(password), keys.state, copy.entries);
  }
  return result == Vault::Ok ? kDone : VaultFailure(copy.path, result);
}

// "Mail (ann): two versions kept; they differ in the web address and the password"
std::string TwinLine(const Vault::Entry& entry, const std::vector<size_t>& fields) {
  const Texts::Table& t = Texts::kText;
  std::string name = Printable(entry.Omschrijving);
  if (!entry.Gebruiker.empty()) name += " (" + Printable(entry.Gebruiker) + ")";
  std::string differ;
  for (size_t n = 0; n < fields.size(); ++n) {
    if (n > 0) differ += n + 1 == fields.size() ? t.cliAnd : ", ";
    differ += t.cliFieldsInSentence[fields[n]];
  }
  return Format(t.cliTwinKept, {name, differ});
}

// Brings a copy into the open vault's entries and prints what it added; true when the
// list changed.
bool MergeCopy(const Copy& copy) {
  const Texts::Table& t = Texts::kText;
  std::vector<Vault::Entry>& entries = Vault::Entries();
  std::vector<Vault::Entry> merged;
  Common::MergeReport report;
  Common::MergeUnion(entries, copy.entries, merged, report);
  const size_t added = merged.size() - entries.size();
  PrintLine(Format(t.cliMerged, {Printable(copy.path), std::to_string(added)}));
  std::vector<bool> twinned(merged.size(), false);
  for (const Common::MergeReport::Twin& twin : report.twins) twinned[twin.second] = true;
  // The union keeps the vault's entries in their order; the others are the new ones.
  for (size_t i = 0, k = 0; i < merged.size(); ++i) {
    if (k < entries.size() && merged[i] == entries[k]) {
      ++k;
    } else if (!twinned[i]) {
      PrintLine("  " + Printable(merged[i].Omschrijving));
    }
  }
  for (const Common::MergeReport::Twin& twin : report.twins) {
    PrintLine(TwinLine(merged[twin.second], twin.fields));
  }
  PrintLine(Format(t.cliAlreadyPresent, {std::to_string(copy.entries.size() - added)}));
  entries.swap(merged);
  Vault::WipeEntries(merged);
  return added > 0;
}

// After the save: each copy whose every entry is in the saved list goes.
void RemoveMergedCopies(const std::vector<Copy>& copies) {
  for (const Copy& copy : copies) {
    if (!MissingEntries(Vault::Entries(), copy.entries).empty()) continue;
    if (unlink(copy.path.c_str()) == 0) {
      PrintLine(Format(Texts::kText.cliCopyRemoved, {Printable(copy.path)}));
    }
  }
}

int MergeCopies(std::vector<Copy>& copies, bool removeMerged) {
  const Texts::Table& t = Texts::kText;
  bool changed = false;
  for (const Copy& copy : copies) changed = MergeCopy(copy) || changed;
  if (changed && Vault::TooLargeToSave(Vault::Entries())) return RefuseTooLarge();
  if (changed) {
    errno = 0;
    if (const Vault::VaultError result = Vault::SaveVaultQuietly(); result != Vault::Ok) {
      return SaveFailure(t.savingFailed, result, errno);
    }
  }
  PrintLine(Format(t.cliEntriesNow, {std::to_string(Vault::Entries().size())}));
  if (removeMerged) RemoveMergedCopies(copies);
  return kDone;
}

}  // namespace

int MergeCommand(const Context& context) {
  const Texts::Table& t = Texts::kText;
  if (const int status = TakeLock(context); status != kDone) {
    PrintError(t.cliMergeLocked);
    return status;
  }
  // Without a file: the copies beside the vault, which go once they are merged.
  const bool besideVault = context.arguments.files.empty();
  std::vector<Copy> copies;
  for (const std::string& path :
       besideVault ? Common::FindVaultCopies(Common::VaultFilePath()) : context.arguments.files) {
    copies.push_back({path, {}});
  }
  if (besideVault && copies.empty() && Common::VaultFileExists(Common::VaultFilePath())) {
    PrintLine(Format(t.cliNoCopies, {Printable(context.dir)}));
    return kDone;
  }
  SecretBuffer password;
  int status = OpenKeepingPassword(context, password);
  for (Copy& copy : copies) {
    if (status == kDone) status = ReadCopy(copy, View(password));
  }
  ReleaseSecret(password);  // no longer needed while the copies are merged and saved
  if (status == kDone) status = MergeCopies(copies, besideVault);
  for (Copy& copy : copies) Vault::WipeEntries(copy.entries);
  return status;
}

}  // namespace Cli
