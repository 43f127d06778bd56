#include "commands/sync_status.h"

#include <glib.h>

#include <algorithm>
#include <utility>

#include "app/entry_list.h"
#include "app/status_bar.h"
#include "texts/texts.h"

namespace Commands {
namespace {

std::string gConflictShown;  // the last status line that named two versions kept

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

}  // namespace

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

std::string EntryName(const Vault::Entry& entry) {
  std::string name = Vault::ShownText(entry.Omschrijving);
  if (!entry.Gebruiker.empty()) name += " (" + Vault::ShownText(entry.Gebruiker) + ")";
  return name;
}

std::string ShownFileName(const std::string& path) {
  gchar* shown = g_filename_display_basename(path.c_str());
  std::string name = shown;
  g_free(shown);
  return name;
}

std::string Counted(const char* const (&forms)[2], size_t count) {
  return count == 1 ? forms[0] : Filled(forms[1], {std::to_string(count)});
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
    shown.counts += (shown.counts.empty() ? ": " : ", ") + Filled(text, {std::to_string(count)});
  }
  std::string names;
  for (const Common::MergeReport::Twin& twin : report.twins) {
    names += (names.empty() ? "" : ", ") + EntryName(merged[twin.first]);
  }
  if (!names.empty()) shown.twins = Filled(t.twoVersionsKept, {names});
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
