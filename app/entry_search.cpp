#include "app/entry_search.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/events.h"
#include "app/status_bar.h"
#include "common/entry_find.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace App {
namespace {

constexpr char kWiredKey[] = "lockwell-search-keys";

// Secret: folded copies of the entries' texts (never a password), wiped with the entries.
Common::FoldedEntries gFolded;
// What the search found for the text it was last asked about.
bool gKnown = false;
std::string gTyped;
Common::SearchQuery gQuery;
std::vector<int> gMatches;
int gTarget = -1;  // the row the popup selects: the first match, or where Up and Down went

GtkWidget* gSearchField = nullptr;  // the popup's text field, once it has been shown
// The status bar while it shows a count: what it showed before, and the count.
bool gCountShown = false;
std::string gStatusBefore;
std::string gCountText;

void Forget() {
  gKnown = false;
  Vault::WipeText(gTyped);
  gQuery = {};
  gMatches.clear();
  gTarget = -1;
}

// Brings the matches up to date with typed. Typing on narrows the matches found so far.
void Update(const std::string& typed) {
  if (gKnown && typed == gTyped) return;
  Common::SearchQuery query = Common::MakeSearchQuery(typed);
  gMatches = gKnown ? Common::NarrowMatches(gFolded, query, gQuery, gMatches)
                    : Common::MatchingEntries(gFolded, query);
  gQuery = std::move(query);
  gTyped = typed;
  gKnown = true;
  // Whatever the search found before it still finds: a description that starts so.
  gTarget = Common::FirstDescriptionStart(gFolded, gQuery, gMatches);
  if (gTarget < 0 && !gMatches.empty()) gTarget = gMatches.front();
}

std::string TypedText() {
  return gSearchField != nullptr ? gtk_entry_get_text(GTK_ENTRY(gSearchField)) : "";
}

bool PopupOpen() { return gSearchField != nullptr && gtk_widget_is_visible(gSearchField); }

void SelectTarget() {
  GtkTreeView* list = GTK_TREE_VIEW(ControlWidget(EntryList));
  if (gTarget < 0) {
    gtk_tree_selection_unselect_all(gtk_tree_view_get_selection(list));
    return;
  }
  GtkTreePath* path = gtk_tree_path_new_from_indices(gTarget, -1);
  gtk_tree_view_scroll_to_cell(list, path, nullptr, TRUE, 0.5f, 0.0f);
  gtk_tree_view_set_cursor(list, path, nullptr, FALSE);
  gtk_tree_path_free(path);
}

// ---- the toolkit's callbacks: each posts one event or answers a question ------------------

void PostSearchEvent(int type) { PostEvent({EventKind::Control, kMainWindow, EntryList, type}); }

// The toolkit would ask row by row, from the first, whether a row does NOT match; told that
// the first one does, it never walks 100,000 rows. The rule's own choice is selected when the
// text's event is handled, right after.
gboolean FirstRowMatches(GtkTreeModel*, gint, const gchar*, GtkTreeIter*, gpointer) {
  return FALSE;
}

void OnSearchChanged(GtkEditable*, gpointer) { PostSearchEvent(kSearchChanged); }
void OnSearchConfirmed(GtkEntry*, gpointer) { PostSearchEvent(kSearchConfirm); }
void OnPopupHidden(GtkWidget*, gpointer) { PostSearchEvent(kSearchClosed); }

// Up and Down (and the toolkit's Ctrl+G, Shift+Ctrl+G) are taken before the toolkit's own
// moves, which count matches from the top.
gboolean OnPopupKey(GtkEventControllerKey*, guint key, guint, GdkModifierType mods, gpointer) {
  const bool g = (key == GDK_KEY_g || key == GDK_KEY_G) && (mods & GDK_CONTROL_MASK) != 0;
  if (key == GDK_KEY_Down || key == GDK_KEY_KP_Down || (g && !(mods & GDK_SHIFT_MASK))) {
    PostSearchEvent(kSearchNext);
  } else if (key == GDK_KEY_Up || key == GDK_KEY_KP_Up || g) {
    PostSearchEvent(kSearchPrevious);
  } else {
    return FALSE;
  }
  return TRUE;
}

GtkWidget* FindTextField(GtkWidget* widget) {
  if (GTK_IS_ENTRY(widget)) return widget;
  if (!GTK_IS_CONTAINER(widget)) return nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  GtkWidget* found = nullptr;
  for (GList* c = children; c != nullptr && found == nullptr; c = c->next) {
    found = FindTextField(GTK_WIDGET(c->data));
  }
  g_list_free(children);
  return found;
}

// The toolkit makes its popup at the first search; its signals are connected then.
void WirePopup(GtkWidget* popup) {
  if (g_object_get_data(G_OBJECT(popup), kWiredKey) != nullptr) return;
  gSearchField = FindTextField(popup);
  GtkEventController* keys = gtk_event_controller_key_new(popup);
  gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
  g_object_set_data_full(G_OBJECT(popup), kWiredKey, keys, g_object_unref);
  g_signal_connect(keys, "key-pressed", G_CALLBACK(OnPopupKey), nullptr);
  g_signal_connect(popup, "hide", G_CALLBACK(OnPopupHidden), nullptr);
  if (gSearchField == nullptr) return;
  g_signal_connect(gSearchField, "changed", G_CALLBACK(OnSearchChanged), nullptr);
  g_signal_connect(gSearchField, "activate", G_CALLBACK(OnSearchConfirmed), nullptr);
}

// Below the list's right corner, as the toolkit places it, kept on the monitor.
void PlacePopup(GtkTreeView* list, GtkWidget* popup, gpointer) {
  WirePopup(popup);
  GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(list));
  GdkMonitor* monitor =
      gdk_display_get_monitor_at_window(gtk_widget_get_display(GTK_WIDGET(list)), window);
  GdkRectangle area{};
  gdk_monitor_get_workarea(monitor, &area);
  int x = 0, y = 0;
  gdk_window_get_origin(window, &x, &y);
  GtkRequisition size{};
  gtk_widget_get_preferred_size(popup, &size, nullptr);
  x = std::max(area.x, std::min(x + gdk_window_get_width(window) - size.width,
                                area.x + area.width - size.width));
  y = std::max(area.y,
               std::min(y + gdk_window_get_height(window), area.y + area.height - size.height));
  gtk_window_move(GTK_WINDOW(popup), x, y);
  PostSearchEvent(kSearchChanged);  // the first key was typed before the popup was wired
}

void RestoreStatus() {
  if (gCountShown && StatusText() == gCountText) SetStatusText(gStatusBefore);
  gCountShown = false;
}

void MoveTarget(bool next) {
  if (!PopupOpen()) return;
  Update(TypedText());
  if (gMatches.empty()) return;
  const auto after = std::ranges::upper_bound(gMatches, gTarget);
  const auto before = std::ranges::lower_bound(gMatches, gTarget);
  if (next) {
    gTarget = after != gMatches.end() ? *after : gMatches.front();
  } else {
    gTarget = before != gMatches.begin() ? *(before - 1) : gMatches.back();
  }
  // Through the toolkit's own search of the text, which keeps its popup open another while.
  g_signal_emit_by_name(gSearchField, "changed");
}

}  // namespace

void ConnectEntrySearch(GtkTreeView* list) {
  gtk_tree_view_set_search_equal_func(list, FirstRowMatches, nullptr, nullptr);
  gtk_tree_view_set_search_position_func(list, PlacePopup, nullptr, nullptr);
}

void RebuildSearchCopies() {
  Forget();
  Common::BuildFoldedEntries(Vault::Entries(), gFolded);
}

void WipeSearchCopies() {
  Forget();
  Common::WipeFoldedEntries(gFolded);
  gCountShown = false;
}

void StartSearch() {
  GtkWidget* list = ControlWidget(EntryList);
  if (!Vault::IsVaultOpen() || list == nullptr || !gtk_widget_is_sensitive(list)) return;
  gtk_widget_grab_focus(list);
  gboolean started = FALSE;
  g_signal_emit_by_name(list, "start-interactive-search", &started);
}

void ShowSearchCount() {
  const std::string typed = TypedText();
  if (!PopupOpen() || typed.empty()) {
    RestoreStatus();
    return;  // the toolkit selects nothing for an empty text
  }
  Update(typed);
  SelectTarget();  // the toolkit selected the first row meanwhile
  const Texts::Table& t = Texts::kText;
  std::string count = gMatches.size() == 1 ? t.searchOneMatch : t.searchMatches;
  if (gMatches.empty()) count = t.searchNoMatch;
  if (const size_t mark = count.find("{}"); mark != std::string::npos) {
    count.replace(mark, 2, std::to_string(gMatches.size()));
  }
  if (!gCountShown) gStatusBefore = StatusText();
  gCountShown = true;
  gCountText = count;
  SetStatusText(count);
}

void SearchNext() { MoveTarget(true); }
void SearchPrevious() { MoveTarget(false); }
void EndSearch() { RestoreStatus(); }

}  // namespace App
