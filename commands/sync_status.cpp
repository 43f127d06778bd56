#include "commands/sync_status.h"

#include <glib.h>

#include <algorithm>
#include <utility>

#include "app/entry_list.h"
#include "app/status_bar.h"
#include "texts/fill.h"
#include "texts/texts.h"

namespace Commands {
namespace {

std::string gConflictShown;  // the last status line that named two versions kept

int FindAgain(const Vault::Entry& wanted, int fallback) {
  const std::vector<Vault::Entry>& list = Vault::Entries();
  auto same = std::ranges::find(list, wanted);
  if (same == list.end()) {
    same = std::ranges::find_if(list,
                                [&](const Vault::Entry& e) { return Vault::SameName(e, wanted); });
  }
  return same != list.end() ? static_cast<int>(same - list.begin()) : fallback;
}

}  // namespace

std::string EntryName(const Vault::Entry& entry) {
  return Vault::EntryName(entry, Vault::ShownText);
}

std::string ShownFileName(const std::string& path) {
  gchar* shown = g_filename_display_basename(path.c_str());
  std::string name = shown;
  g_free(shown);
  return name;
}

std::string Counted(const char* const (&forms)[2], size_t count) {
  return count == 1 ? forms[0] : Texts::Fill(forms[1], {std::to_string(count)});
}

ChangesShown ChangesText(const Common::MergeReport& report,
                         const std::vector<Vault::Entry>& merged) {
  const Texts::Table& t = Texts::kText;
  ChangesShown shown;
  const std::pair<size_t, const char*> kinds[] = {{report.added, t.countAdded},
                                                  {report.changed, t.countChanged},
                                                  {report.removed, t.countRemoved}};
  for (const auto& [count, text] : kinds) {
    if (count == 0) continue;
    shown.counts +=
        (shown.counts.empty() ? ": " : ", ") + Texts::Fill(text, {std::to_string(count)});
  }
  std::string names;
  for (const Common::MergeReport::Twin& twin : report.twins) {
    names += (names.empty() ? "" : ", ") + EntryName(merged[twin.first]);
  }
  if (!names.empty()) shown.twins = Texts::Fill(t.twoVersionsKept, {names});
  return shown;
}

void ShowSyncStatus(const std::string& text, bool namesConflict) {
  if (namesConflict) {
    gConflictShown = text;
    App::SetStatusText(text);
    return;
  }
  const std::string now = App::StatusText();
  if (!gConflictShown.empty() && now.starts_with(gConflictShown)) {
    App::SetStatusText(now + " - " + text);
  } else {
    App::SetStatusText(text);
  }
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

}  // namespace Commands
