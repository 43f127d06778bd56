#include "commands/follow_vault.h"

#include <algorithm>
#include <utility>

#include "app/dialog_window.h"
#include "app/entry_list.h"
#include "app/main_loop.h"
#include "app/message_box.h"
#include "app/status_bar.h"
#include "commands/password_dialog.h"
#include "texts/texts.h"

namespace Commands {
namespace {

// The last version of the vault file looked at: one that could not be read (a writer still
// busy with it) or was turned down is not tried again until the file changes once more.
Vault::FileIdentity gLookedAt;
std::vector<Vault::VersionStamp> gDeclined;

// "Mail (ann)", or the description alone when it has no user name.
std::string EntryName(const Vault::Entry& entry) {
  std::string name = Vault::ShownText(entry.Omschrijving);
  if (!entry.Gebruiker.empty()) name += " (" + Vault::ShownText(entry.Gebruiker) + ")";
  return name;
}

int FindAgain(const Vault::Entry& wanted, int fallback) {
  const std::vector<Vault::Entry>& list = Vault::Entries();
  auto same = std::ranges::find(list, wanted);
  if (same == list.end()) {
    same = std::ranges::find_if(list, [&](const Vault::Entry& e) {
      return e.Omschrijving == wanted.Omschrijving && e.Gebruiker == wanted.Gebruiker;
    });
  }
  return same != list.end() ? static_cast<int>(same - list.begin()) : fallback;
}

// Merges theirs into what the window holds, takes it and shows what changed.
void BringIn(std::vector<Vault::Entry>& theirs, const Vault::FileIdentity& seen,
             Vault::KeyState* keys) {
  const Texts::Table& t = Texts::kText;
  KeptSelection selection = RememberSelection();
  std::vector<Vault::Entry> merged;
  Common::MergeReport report;
  Common::MergeThreeWay(Vault::BaseEntries(), Vault::Entries(), theirs, merged, report);
  const std::string changes = ChangesText(report, merged);
  // The same list written again (or only touched) is taken without a word.
  const bool nothingNew = merged == Vault::Entries() && keys == nullptr;
  // A failed save is told by the store; what was merged stays on the screen to be saved
  // with the next change.
  (void)Vault::TakeVersion(std::move(theirs), std::move(merged), seen, keys);
  if (nothingNew) {
    Vault::WipeEntry(selection.entry);
    return;
  }
  ShowListKeeping(selection);
  App::SetStatusText(t.statusUpdated + changes + (keys != nullptr ? t.statusPasswordTaken : ""));
}

}  // namespace

bool MayFollowNow() {
  return Vault::IsVaultOpen() && App::DialogWindowWidget() == nullptr && !App::LockIsDue() &&
         !App::QuitIsRequested();
}

std::string Filled(std::string text, std::initializer_list<std::string> values) {
  size_t from = 0;
  for (const std::string& value : values) {
    const size_t mark = text.find("{}", from);
    if (mark == std::string::npos) break;
    text.replace(mark, 2, value);
    from = mark + value.size();
  }
  return text;
}

std::string ChangesText(const Common::MergeReport& report,
                        const std::vector<Vault::Entry>& merged) {
  const Texts::Table& t = Texts::kText;
  std::string counts;
  const std::pair<size_t, const char*> kinds[] = {{report.added, t.countAdded},
                                                  {report.changed, t.countChanged},
                                                  {report.removed, t.countRemoved}};
  for (const auto& [count, text] : kinds) {
    if (count == 0) continue;
    counts += (counts.empty() ? "" : ", ") + Filled(text, {std::to_string(count)});
  }
  std::string twins;
  for (const Common::MergeReport::Twin& twin : report.twins) {
    twins += (twins.empty() ? "" : ", ") + EntryName(merged[twin.first]);
  }
  if (!twins.empty())
    counts += (counts.empty() ? "" : "; ") + std::string(t.twoVersionsKept) + twins;
  return counts.empty() ? "" : ": " + counts;
}

KeptSelection RememberSelection() {
  KeptSelection selection;
  selection.index = App::SelectedIndex();
  if (selection.index >= 0)
    selection.entry = Vault::Entries()[static_cast<size_t>(selection.index)];
  return selection;
}

void ShowListKeeping(KeptSelection& selection) {
  const int index = selection.index < 0 ? 0 : FindAgain(selection.entry, selection.index);
  Vault::WipeEntry(selection.entry);
  App::FillEntryList(index);
}

bool ReadWithItsPassword(const std::string& path, const std::string& title,
                         const std::string& prompt, std::vector<Vault::Entry>& list,
                         Vault::FileIdentity& seen, Vault::KeyState& keys) {
  std::string password;  // secret: wiped right after the read
  if (!AskMasterPassword(title, prompt, false, password)) return false;
  App::SetStatusText(Texts::kText.statusOpeningVault);
  App::PaintNow();
  const Vault::VaultError result = Vault::ReadVaultFile(path, password, keys, list, &seen);
  Vault::WipeText(password);
  App::SetStatusText("");
  if (result == Vault::Ok) return true;
  App::ShowWarning(title, Vault::ErrorText(result));
  return false;
}

void Decline(const std::string& path) {
  Vault::VersionStamp stamp{};
  if (Vault::VersionStampAt(path, stamp)) gDeclined.push_back(stamp);
}

bool Declined(const std::string& path) {
  Vault::VersionStamp stamp{};
  return Vault::VersionStampAt(path, stamp) &&
         std::ranges::find(gDeclined, stamp) != gDeclined.end();
}

void FollowVaultFile() {
  if (!MayFollowNow() || !Vault::VaultFileChanged()) return;
  const std::string path = Vault::VaultPath();
  const Vault::FileIdentity now = Vault::IdentityAt(path);
  if (now == gLookedAt || Declined(path)) return;
  gLookedAt = now;
  std::vector<Vault::Entry> theirs;  // secret: wiped here or taken by the store
  Vault::FileIdentity seen;
  bool otherKey = false;
  if (Vault::ReadWithHeldKey(path, theirs, seen, otherKey) == Vault::Ok) {
    BringIn(theirs, seen, nullptr);
  } else if (otherKey) {
    const Texts::Table& t = Texts::kText;
    Vault::KeyState keys{};
    if (ReadWithItsPassword(path, t.followPasswordTitle, t.followPasswordPrompt, theirs, seen,
                            keys)) {
      BringIn(theirs, seen, &keys);
    } else {
      Decline(path);  // kept as a copy at the next save, as before
    }
  }
  Vault::WipeEntries(theirs);
}

}  // namespace Commands
