#include "features/password_health.h"

#include <gtk/gtk.h>
#include <sys/stat.h>

#include "app/clock.h"
#include "app/dialog_loop.h"
#include "app/dialog_window.h"
#include "app/entry_list.h"
#include "app/events.h"
#include "app/file_requester.h"
#include "app/labels.h"
#include "app/main_loop.h"
#include "app/message_box.h"
#include "app/status_bar.h"
#include "common/health_report.h"
#include "common/settings.h"
#include "texts/texts.h"
#include "vault/file_io.h"
#include "vault/vault.h"

namespace Features {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 420;
constexpr int kProgressWidth = 360;
constexpr int kProgressHeight = 110;
// A check that takes longer than this shows its progress and can be cancelled.
constexpr int64_t kProgressAfterMs = 500;
constexpr int64_t kProgressEveryMs = 50;

enum Column { DescriptionColumn, UserColumn, FindingsColumn, EntryColumn, kColumnCount };

enum class Request { None, Go, Cancel };

constexpr App::DialogRow<Request> kProgressRows[] = {
    {.event = App::DialogKey(App::kDialogCancel), .request = Request::Cancel},
    {.event = App::DialogControl(HealthCancelButton), .request = Request::Cancel},
};

constexpr App::DialogRow<Request> kReportRows[] = {
    {.event = App::DialogKey(App::kDialogConfirm), .request = Request::Go},
    {.event = App::DialogKey(App::kDialogCancel), .request = Request::Cancel},
    {.event = App::DialogControl(HealthList), .request = Request::Go},
    {.event = App::DialogControl(HealthCloseButton), .request = Request::Cancel},
};

struct Progress {
  int64_t start = 0;
  int64_t shownAt = -1;  // when the bar was last drawn; -1 while it is not shown
  bool cancelled = false;
};

void ShowProgress() {
  const Texts::Table& t = Texts::kText;
  App::OpenDialogWindow(t.healthTitle, kProgressWidth, kProgressHeight);
  App::PlaceDialogControl(App::NewLabel(t.healthChecking), -1, 10, 10, 340, 20);
  App::PlaceDialogControl(gtk_progress_bar_new(), HealthProgressBar, 10, 38, 340, 20);
  GtkWidget* cancel = App::AddDialogButton(HealthCancelButton, t.cancelButton, 250, 72, 100, 28);
  App::ShowDialogWindow(cancel);
}

// After each entry: from half a second on, the bar shows how far the check is, and the
// events that came meanwhile are read, so that Cancel, Escape and the idle lock can end it.
bool OnProgress(size_t done, size_t total, void* data) {
  Progress& p = *static_cast<Progress*>(data);
  const int64_t now = App::NowMs();
  if (now - p.start < kProgressAfterMs || (p.shownAt >= 0 && now - p.shownAt < kProgressEveryMs))
    return true;
  if (p.shownAt < 0) ShowProgress();
  p.shownAt = now;
  gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(App::ControlWidget(HealthProgressBar)),
                                static_cast<double>(done) / static_cast<double>(total));
  App::Event event{};
  while (!p.cancelled && App::TakeEvent(event)) {
    App::ActivityHook(event);
    p.cancelled = App::MapDialogEvent(event, App::kDialogWindow, kProgressRows) == Request::Cancel;
  }
  p.cancelled = p.cancelled || App::LockIsDue() || App::QuitIsRequested();
  return !p.cancelled;
}

GtkWidget* NewReportList(const Common::HealthReport& report) {
  GtkListStore* store =
      gtk_list_store_new(kColumnCount, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_INT);
  const std::vector<Vault::Entry>& entries = Vault::Entries();
  for (const Common::EntryHealth& health : report.findings) {
    const Vault::Entry& e = entries[health.entry];
    const std::string findings = Common::FindingsText(health, &entries);
    gtk_list_store_insert_with_values(
        store, nullptr, -1, DescriptionColumn, Vault::ShownText(e.Omschrijving).c_str(), UserColumn,
        Vault::ShownText(e.Gebruiker).c_str(), FindingsColumn, Vault::ShownText(findings).c_str(),
        EntryColumn, static_cast<int>(health.entry), -1);
  }
  GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
  g_object_unref(store);
  for (int column = DescriptionColumn; column <= FindingsColumn; ++column) {
    GtkTreeViewColumn* c = gtk_tree_view_column_new_with_attributes(
        Texts::kText.healthColumns[column], gtk_cell_renderer_text_new(), "text", column, nullptr);
    gtk_tree_view_column_set_resizable(c, TRUE);
    gtk_tree_view_append_column(GTK_TREE_VIEW(view), c);
  }
  return view;
}

void OnRowActivated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer) {
  App::PostEvent({App::EventKind::Control, App::kDialogWindow, HealthList, App::kLeftDoubleClick});
}

void BuildReport(const Common::HealthReport& report) {
  const Texts::Table& t = Texts::kText;
  App::OpenDialogWindow(t.healthTitle, kWidth, kHeight);
  App::PlaceDialogControl(App::NewLabel(t.healthHint), -1, 10, 10, 620, 20);
  GtkWidget* list = NewReportList(report);
  g_signal_connect(list, "row-activated", G_CALLBACK(OnRowActivated), nullptr);
  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_ETCHED_IN);
  gtk_container_add(GTK_CONTAINER(scroller), list);
  App::PlaceDialogControl(scroller, -1, 10, 36, 620, 270);
  App::RegisterControl(HealthList, list);
  App::PlaceDialogControl(App::NewLabel(Common::SummaryText(report).c_str()), -1, 10, 314, 620, 20);
  const std::string leakNote = Common::LeakCheckText(report);
  App::PlaceDialogControl(App::NewTextLabel(Vault::ShownText(leakNote).c_str()), -1, 10, 338, 620,
                          40);
  GtkWidget* close = App::AddDialogButton(HealthCloseButton, t.healthClose, 530, 384, 100, 28);
  if (report.findings.empty()) {
    App::ShowDialogWindow(close);
    return;
  }
  GtkTreePath* first = gtk_tree_path_new_first();
  gtk_tree_view_set_cursor(GTK_TREE_VIEW(list), first, nullptr, FALSE);
  gtk_tree_path_free(first);
  App::ShowDialogWindow(list);
}

// The entry of the report's selected row, or -1.
int ChosenEntry() {
  GtkTreeModel* model = nullptr;
  GtkTreeIter iter;
  GtkTreeSelection* selection =
      gtk_tree_view_get_selection(GTK_TREE_VIEW(App::ControlWidget(HealthList)));
  if (!gtk_tree_selection_get_selected(selection, &model, &iter)) return -1;
  int entry = -1;
  gtk_tree_model_get(model, &iter, EntryColumn, &entry, -1);
  return entry;
}

// Shows the report until it is closed; gives back the entry chosen in it, or -1.
int ShowReport(const Common::HealthReport& report) {
  BuildReport(report);
  int chosen = -1;
  for (Request request = Request::None; request != Request::Cancel && chosen < 0;) {
    request = App::NextDialogRequest(kReportRows);
    if (request == Request::Go) chosen = ChosenEntry();
  }
  App::CloseDialogWindow();
  return chosen;
}

// A file of a folder of range files stands for its folder: 5 hex digits and ".txt".
bool IsRangeFileName(const std::string& name) {
  if (name.size() != 9 || name.compare(5, 4, ".txt") != 0) return false;
  return name.find_first_not_of("0123456789ABCDEFabcdef") == 5;
}

}  // namespace

void CheckPasswords() {
  if (!Vault::IsVaultOpen()) return;
  Progress progress{.start = App::NowMs()};
  Common::HealthReport report;
  const bool finished =
      Common::MakeHealthReport(Vault::Entries(), Common::CurrentSettings().GelekteWachtwoorden,
                               report, OnProgress, &progress);
  if (progress.shownAt >= 0) App::CloseDialogWindow();
  if (!finished) {
    App::SetStatusText(Texts::kText.statusHealthCancelled);
    return;
  }
  const int chosen = ShowReport(report);
  if (chosen < 0 || !Vault::IsVaultOpen() ||
      static_cast<size_t>(chosen) >= Vault::Entries().size()) {
    return;
  }
  App::SelectRow(chosen);
  App::RefreshDetails();
}

void ChooseBreachList() {
  const Texts::Table& t = Texts::kText;
  const std::string current = Common::CurrentSettings().GelekteWachtwoorden;
  const App::MessageAnswer answer = App::ShowMessageBox(
      t.breachListTitle,
      t.currentBreachList + (current.empty() ? std::string(t.noBreachList) : current) +
          t.breachListChoices,
      App::MessageIcon::Plain, App::MessageButtons::YesNoCancel);
  if (answer == App::MessageAnswer::No) {
    Common::SaveBreachList("");
    App::SetStatusText(t.statusNoBreachList);
  }
  if (answer != App::MessageAnswer::Yes) return;
  // A folder opens as the folder itself, a file selected in its own.
  struct stat info {};
  const bool folder = stat(current.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  std::string chosen =
      App::AskOpenFile(t.breachListTitle, folder ? current + "/" : current, t.breachListFilter);
  if (chosen.empty()) return;
  if (!Common::IsUsableBrowserPath(chosen)) {
    App::ShowWarning(t.breachListTitle, t.breachListRefused);
    return;
  }
  if (IsRangeFileName(Vault::FileNameOf(chosen))) chosen.resize(chosen.rfind('/'));
  Common::SaveBreachList(chosen);
  App::SetStatusText(t.statusBreachList + Vault::FileNameOf(chosen));
}

}  // namespace Features
