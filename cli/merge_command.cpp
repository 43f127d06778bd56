// merge: other vault files (as a union: nothing is known of where they came from), or every
// copy that a sync tool or Lockwell left beside the vault, merged as the window merges them:
// against the base both computers had, or as a union where none is known. A file that cannot
// be read is named with its reason and left; the others are merged all the same.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/file_problem.h"
#include "cli/held_entries.h"
#include "cli/held_keys.h"
#include "cli/output.h"
#include "cli/password_input.h"
#include "common/paths.h"
#include "common/sync_copies.h"
#include "common/sync_merge.h"
#include "texts/fill.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Cli {
namespace {

// Other vault files and their entries.
struct Copies {
  std::vector<std::string> paths;
  std::vector<HeldEntries> lists;
};

// Reads a copy with the vault's password, or else with its own, asked for: "" or why not.
std::string ReadCopy(const std::string& path, std::string_view vaultPassword,
                     std::vector<Vault::Entry>& list) {
  const Texts::Table& t = Texts::kText;
  HeldKeys keys;
  Vault::VaultError result = Vault::ReadVaultFile(path, vaultPassword, keys.state, list);
  if (result == Vault::WrongPassword) {
    SecretBuffer password;
    const std::string prompt = Texts::Fill(t.cliOtherPasswordPrompt, {Printable(path)});
    if (!ReadPassword(prompt, password)) return t.cliNoPassword;
    if (password.size == 0) return t.enterPassword;
    result = Vault::ReadVaultFile(path, View(password), keys.state, list);
  }
  if (result == Vault::Ok) return "";
  const std::string why = Vault::ErrorText(result);
  return result == Vault::FileError ? WithCause(why, ReadCause(path)) : why;
}

// "Mail (ann)", as a terminal may show it.
std::string ShownName(const Vault::Entry& entry) { return Vault::EntryName(entry, Printable); }

// "Mail (ann): two versions kept; they differ in the web address and the password"
std::string TwinLine(const std::string& name, const std::vector<size_t>& fields) {
  const Texts::Table& t = Texts::kText;
  std::string differ;
  for (size_t n = 0; n < fields.size(); ++n) {
    if (n > 0) differ += n + 1 == fields.size() ? t.cliAnd : ", ";
    differ += t.cliFieldsInSentence[fields[n]];
  }
  return Texts::Fill(t.cliTwinKept, {name, differ});
}

// What each copy brought, as the merge found it: the entries added, changed and removed,
// each by name, and the twins.
void PrintWhatEachBrought(const Copies& copies, const Common::CopiesReport& report) {
  const Texts::Table& t = Texts::kText;
  size_t added = 0, removed = 0, twins = 0;
  for (size_t c = 0; c < copies.paths.size(); ++c) {
    const Common::MergeReport& step = report.perCopy[c];
    const std::string path = Printable(copies.paths[c]);
    // Added: the entries the list gained, twins among them.
    const size_t gained = step.added + step.twins.size();
    PrintLine(Texts::Fill(t.cliMerged, {path, std::to_string(gained)}));
    for (size_t n = 0; n < step.added; ++n) PrintLine("  " + report.addedNames[added++]);
    if (step.changed > 0)
      PrintLine(Texts::Fill(t.cliChangedBy, {path, std::to_string(step.changed)}));
    if (step.removed > 0)
      PrintLine(Texts::Fill(t.cliRemovedBy, {path, std::to_string(step.removed)}));
    for (size_t n = 0; n < step.removed; ++n) PrintLine("  " + report.removedNames[removed++]);
    for (const Common::MergeReport::Twin& twin : step.twins) {
      PrintLine(TwinLine(report.twinNames[twins++], twin.fields));
    }
    const size_t brought = std::min(gained + step.changed, copies.lists[c].list.size());
    PrintLine(
        Texts::Fill(t.cliAlreadyPresent, {std::to_string(copies.lists[c].list.size() - brought)}));
  }
}

// After the save: each copy whose entries are all in the saved list, or were in the base and
// changed or removed since, goes.
void RemoveMergedCopies(const Copies& copies, const std::vector<Vault::Entry>& base) {
  for (size_t c = 0; c < copies.paths.size(); ++c) {
    if (!Common::CopyMayGo(copies.lists[c].list, Vault::Entries(), base)) continue;
    if (unlink(copies.paths[c].c_str()) == 0) {
      PrintLine(Texts::Fill(Texts::kText.cliCopyRemoved, {Printable(copies.paths[c])}));
    }
  }
}

int MergeCopies(const Copies& copies, bool besideVault) {
  const Texts::Table& t = Texts::kText;
  std::vector<const std::vector<Vault::Entry>*> lists;
  for (const HeldEntries& held : copies.lists) lists.push_back(&held.list);
  Common::VersionMerge merge;
  Common::CopiesReport report;
  Common::MergeCopies(Vault::Entries(), lists, ShownName,
                      besideVault ? Common::BaseUse::CommonBase : Common::BaseUse::Union, merge,
                      report);
  PrintWhatEachBrought(copies, report);
  const bool changed = !report.total.sameAsOurs;
  if (changed && Vault::TooLargeToSave(merge.merged)) return RefuseTooLarge();
  if (changed) {
    Vault::WipeEntries(Vault::Entries());
    Vault::Entries().swap(merge.merged);
    errno = 0;
    if (const Vault::VaultError result = Vault::SaveVaultQuietly(); result != Vault::Ok) {
      return SaveFailure(t.savingFailed, result, errno);
    }
  }
  PrintLine(Texts::Fill(t.cliEntriesNow, {std::to_string(Vault::Entries().size())}));
  if (besideVault) RemoveMergedCopies(copies, merge.base);
  return kDone;
}

// Reads every copy; those that cannot be read are named and left out. The number left out.
size_t ReadCopies(const std::vector<std::string>& paths, std::string_view password,
                  Copies& copies) {
  size_t left = 0;
  for (const std::string& path : paths) {
    HeldEntries held;
    const std::string why = ReadCopy(path, password, held.list);
    if (why.empty()) {
      copies.paths.push_back(path);
      copies.lists.push_back(std::move(held));
      continue;
    }
    PrintError(Texts::Fill(Texts::kText.cliCopyLeft, {Printable(path), why}));
    ++left;
  }
  return left;
}

}  // namespace

int MergeCommand(const Context& context) {
  const Texts::Table& t = Texts::kText;
  if (const int status = TakeLock(context); status != kDone) {
    PrintError(t.cliMergeLocked);
    return status;
  }
  // Without a file: the copies beside the vault (or beside the file a link there leads to),
  // which go once they are merged.
  const bool besideVault = context.arguments.files.empty();
  const std::vector<std::string> paths =
      besideVault ? Common::FindVaultCopies(Common::VaultFilePath()) : context.arguments.files;
  if (besideVault && paths.empty() && Common::VaultFileExists(Common::VaultFilePath())) {
    PrintLine(Texts::Fill(t.cliNoCopies, {Printable(context.dir)}));
    return kDone;
  }
  SecretBuffer password;
  if (const int status = OpenVaultKeepingPassword(context, password); status != kDone) {
    ReleaseSecret(password);
    return status;
  }
  Copies copies;
  const size_t left = ReadCopies(paths, View(password), copies);
  ReleaseSecret(password);  // no longer needed while the copies are merged and saved
  const int status = MergeCopies(copies, besideVault);
  if (status != kDone || left == 0) return status;
  PrintError(Texts::Fill(t.cliCopiesLeft, {std::to_string(left)}));
  return kBadData;
}

}  // namespace Cli
