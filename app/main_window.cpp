// Owns the main window, its thirteen controls and their layout, and the idle timer.
#include "app/main_window.h"

#include "app/dialog_window.h"
#include "app/entry_search.h"
#include "app/events.h"
#include "app/labels.h"
#include "app/main_loop.h"
#include "app/menus.h"
#include "app/secret_field.h"
#include "app/status_bar.h"
#include "app/styles.h"
#include "common/settings.h"
#include "texts/texts.h"

namespace App {
namespace {

constexpr int kInitialWidth = 680;
constexpr int kInitialHeight = 380;
constexpr int kMinWidth = 560;
constexpr int kMinHeight = 300;
constexpr int kTimerPeriodMs = 250;

GtkWidget* gMain = nullptr;
GtkWidget* gColumn = nullptr;  // everything inside the window; holds a reference of its own
GtkWidget* gMenuBar = nullptr;
GtkWidget* gArea = nullptr;  // the control area of the main window
GtkWidget* gStatusBar = nullptr;
GtkWidget* gListScroller = nullptr;
guint gTimer = 0;
int gLastWidth = 0, gLastHeight = 0, gLastX = 0, gLastY = 0;

// ---- signal handlers: each posts one event ----------------------------------------------

gboolean OnConfigure(GtkWidget* window, GdkEventConfigure* event, gpointer) {
  if (event->x != gLastX || event->y != gLastY) {
    gLastX = event->x;
    gLastY = event->y;
    PostEvent({EventKind::Move, kMainWindow, 0, 0});
  }
  if (event->width != gLastWidth || event->height != gLastHeight) {
    gLastWidth = event->width;
    gLastHeight = event->height;
    if (gtk_widget_get_sensitive(window)) PostEvent({EventKind::Size, kMainWindow, 0, 0});
  }
  return FALSE;
}

void OnSelectionChanged(GtkTreeSelection*, gpointer) {
  PostEvent({EventKind::Control, kMainWindow, EntryList, kClicked});
}

gboolean OnListButton(GtkWidget* list, GdkEventButton* event, gpointer) {
  int type = -1;
  if (event->type == GDK_BUTTON_PRESS) {
    type = event->button == 1 ? kClicked : event->button == 3 ? kRightClick : -1;
  } else if (event->type == GDK_2BUTTON_PRESS) {
    type = event->button == 1 ? kLeftDoubleClick : event->button == 3 ? kRightDoubleClick : -1;
    // A double click on the empty area below the last row is only a click: it edits nothing.
    if (!gtk_tree_view_get_path_at_pos(GTK_TREE_VIEW(list), static_cast<gint>(event->x),
                                       static_cast<gint>(event->y), nullptr, nullptr, nullptr,
                                       nullptr)) {
      type = kClicked;
    }
  }
  if (type >= 0) PostEvent({EventKind::Control, kMainWindow, EntryList, type});
  return FALSE;
}

// Another program destroyed the window (a desktop's force close). The run ends as after
// Exit; the controls move out of the window first, so that whatever runs until then still
// finds them.
void OnMainDestroyed(GtkWidget* window, gpointer) {
  if (window != gMain) return;  // DestroyWindows' own
  gtk_container_remove(GTK_CONTAINER(window), gColumn);
  gMain = nullptr;
  RequestQuit();
  PostEvent({EventKind::Close, kMainWindow, 0, 0});
}

gboolean OnTimer(gpointer) {
  PostEvent({EventKind::Timer, kMainWindow, kIdleTimerNumber, 0});
  return G_SOURCE_CONTINUE;
}

// ---- building -------------------------------------------------------------------------

GtkWidget* AddControl(int number, GtkWidget* widget) {
  RegisterControl(number, widget);
  gtk_widget_set_size_request(widget, 0, 0);
  gtk_layout_put(GTK_LAYOUT(gArea), number == EntryList ? gListScroller : widget, 0, 0);
  return widget;
}

GtkWidget* NewButton(int number, const char* text) {
  GtkWidget* button = gtk_button_new_with_label(text);
  ConnectButton(button, number);
  return AddControl(number, button);
}

GtkWidget* NewField(int number) {
  GtkWidget* field = gtk_entry_new();
  gtk_editable_set_editable(GTK_EDITABLE(field), FALSE);  // read-only, still selectable
  gtk_entry_set_width_chars(GTK_ENTRY(field), 0);         // else GTK's 150-pixel minimum wins
  return AddControl(number, field);
}

GtkWidget* AddLabel(int number, const char* text) {
  GtkWidget* label = NewLabel(text);
  gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
  return AddControl(number, label);
}

GtkWidget* NewEntryListView() {
  GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
  GtkWidget* list = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
  g_object_unref(store);
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(list), FALSE);
  GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes(
      "", gtk_cell_renderer_text_new(), "text", 0, nullptr);
  // Fixed sizing keeps a long list fast; the entry list sets the width from its texts, and
  // the column takes any room beyond it so a selected row is highlighted across.
  gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
  gtk_tree_view_column_set_expand(column, TRUE);
  gtk_tree_view_append_column(GTK_TREE_VIEW(list), column);
  gtk_tree_view_set_fixed_height_mode(GTK_TREE_VIEW(list), TRUE);
  gtk_tree_view_set_enable_search(GTK_TREE_VIEW(list), TRUE);
  gtk_tree_view_set_search_column(GTK_TREE_VIEW(list), 0);
  ConnectEntrySearch(GTK_TREE_VIEW(list));
  GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(list));
  gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
  g_signal_connect(selection, "changed", G_CALLBACK(OnSelectionChanged), nullptr);
  g_signal_connect(list, "button-press-event", G_CALLBACK(OnListButton), nullptr);
  return list;
}

void BuildControls() {
  const Texts::Table& t = Texts::kText;
  GtkWidget* list = NewEntryListView();
  gListScroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(gListScroller), GTK_SHADOW_ETCHED_IN);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(gListScroller), GTK_POLICY_AUTOMATIC,
                                 GTK_POLICY_AUTOMATIC);
  gtk_container_add(GTK_CONTAINER(gListScroller), list);
  AddControl(EntryList, list);
  gtk_widget_set_size_request(gListScroller, 0, 0);

  NewButton(UpButton, t.upButton);
  NewButton(DownButton, t.downButton);
  AddControl(DetailsFrame, gtk_frame_new(t.detailsFrame));
  GtkWidget* urlLabel = AddLabel(UrlLabel, t.urlLabel);
  GtkWidget* url = NewField(UrlField);
  NewButton(OpenButton, t.openButton);
  GtkWidget* userLabel = AddLabel(UserLabel, t.userLabel);
  GtkWidget* user = NewField(UserField);
  GtkWidget* copyUser = NewButton(CopyUserButton, t.copyButton);
  GtkWidget* passwordLabel = AddLabel(PasswordLabel, t.passwordLabel);
  GtkWidget* password = NewField(PasswordField);
  KeepOffPrimary(password);  // a shown password is copied only through the cleared clipboard
  GtkWidget* copyPassword = NewButton(CopyPasswordButton, t.copyButton);

  // Screen readers announce each field with its visible label, and tell the Copy buttons
  // apart.
  gtk_label_set_mnemonic_widget(GTK_LABEL(urlLabel), url);
  gtk_label_set_mnemonic_widget(GTK_LABEL(userLabel), user);
  gtk_label_set_mnemonic_widget(GTK_LABEL(passwordLabel), password);
  atk_object_set_description(gtk_widget_get_accessible(copyUser), t.copyUserDescription);
  atk_object_set_description(gtk_widget_get_accessible(copyPassword), t.copyPasswordDescription);
  gtk_widget_set_tooltip_text(copyUser, t.copyUserDescription);
  gtk_widget_set_tooltip_text(copyPassword, t.copyPasswordDescription);
}

// The menu bar above the control area, the status bar below it.
void StackBars() {
  gColumn = GTK_WIDGET(g_object_ref_sink(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0)));
  gtk_box_pack_start(GTK_BOX(gColumn), gMenuBar, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(gColumn), gArea, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(gColumn), gStatusBar, FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(gMain), gColumn);
}

void Place(GtkWidget* widget, int x, int y, int width, int height) {
  gtk_layout_move(GTK_LAYOUT(gArea), widget, x, y);
  int oldWidth = 0, oldHeight = 0;
  gtk_widget_get_size_request(widget, &oldWidth, &oldHeight);
  gtk_widget_set_size_request(widget, width < 1 ? oldWidth : width,
                              height < 1 ? oldHeight : height);
}

}  // namespace

void CreateMainWindow() {
  StyleScreen();
  gMain = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(gMain), Texts::kText.programTitle);
  gtk_window_set_default_size(GTK_WINDOW(gMain), kInitialWidth, kInitialHeight);
  gtk_window_set_position(GTK_WINDOW(gMain), GTK_WIN_POS_CENTER);
  GdkGeometry hints{};
  hints.min_width = kMinWidth;
  hints.min_height = kMinHeight;
  gtk_window_set_geometry_hints(GTK_WINDOW(gMain), nullptr, &hints, GDK_HINT_MIN_SIZE);

  gMenuBar = BuildMenuBar();
  SetMenuCheck(MenuAlwaysOnTop, Common::CurrentSettings().AltijdBoven != 0);
  ApplyKeepAbove();

  gStatusBar = BuildStatusBar();
  gArea = gtk_layout_new(nullptr, nullptr);
  gtk_widget_add_events(gArea, GDK_BUTTON_PRESS_MASK);
  gtk_widget_set_vexpand(gArea, TRUE);
  BuildControls();

  StackBars();

  g_signal_connect(gMain, "delete-event", G_CALLBACK(OnCloseRequest), nullptr);
  g_signal_connect(gMain, "configure-event", G_CALLBACK(OnConfigure), nullptr);
  g_signal_connect(gMain, "key-press-event", G_CALLBACK(OnKeyPress), nullptr);
  g_signal_connect(gMain, "destroy", G_CALLBACK(OnMainDestroyed), nullptr);
  g_signal_connect(gArea, "button-press-event", G_CALLBACK(OnBackgroundClick),
                   GINT_TO_POINTER(kMainWindow));

  gLastWidth = kInitialWidth;
  gLastHeight = kInitialHeight;
  // Shown first: hidden bars have no height, and the layout needs theirs.
  gtk_widget_show_all(gMain);
  LayoutMainWindow();
  gtk_window_get_position(GTK_WINDOW(gMain), &gLastX, &gLastY);
  gTimer = g_timeout_add(kTimerPeriodMs, OnTimer, nullptr);
}

void DestroyWindows() {
  if (gTimer != 0) g_source_remove(gTimer);
  gTimer = 0;
  DestroyDialogWindow();
  GtkWidget* main = gMain;
  gMain = nullptr;
  if (main != nullptr) {
    gtk_widget_destroy(main);  // the controls with it
  } else if (gColumn != nullptr) {
    gtk_widget_destroy(gColumn);  // moved out of a window another program destroyed
  }
  if (gColumn != nullptr) g_object_unref(gColumn);
  gColumn = gMenuBar = gArea = gStatusBar = gListScroller = nullptr;
  ForgetAllControls();
  ForgetMenus();
  ForgetStatusBar();
}

void LayoutMainWindow() {
  if (gMain == nullptr) return;
  int width = 0, height = 0;
  gtk_window_get_size(GTK_WINDOW(gMain), &width, &height);
  int menuHeight = 0, statusHeight = 0;
  gtk_widget_get_preferred_height(gMenuBar, nullptr, &menuHeight);
  // The bar's natural height already holds its fields' margins (2 pixels above and below).
  gtk_widget_get_preferred_height(gStatusBar, nullptr, &statusHeight);
  const int W = width;
  const int H = height - menuHeight - statusHeight;
  const int L = W * 45 / 100;
  const int X = L + 20;
  const int F = W - L - 30;

  Place(gListScroller, 10, 10, L, H - 56);
  Place(ControlWidget(UpButton), 10, H - 38, (L - 6) / 2, 28);
  Place(ControlWidget(DownButton), (L + 6) / 2 + 10, H - 38, (L - 6) / 2, 28);
  Place(ControlWidget(DetailsFrame), X, 5, F, 140);
  Place(ControlWidget(UrlLabel), X + 10, 33, 90, 20);
  Place(ControlWidget(UrlField), X + 100, 30, F - 200, 24);
  Place(ControlWidget(OpenButton), X + F - 90, 29, 80, 26);
  Place(ControlWidget(UserLabel), X + 10, 68, 90, 20);
  Place(ControlWidget(UserField), X + 100, 65, F - 200, 24);
  Place(ControlWidget(CopyUserButton), X + F - 90, 64, 80, 26);
  Place(ControlWidget(PasswordLabel), X + 10, 103, 90, 20);
  Place(ControlWidget(PasswordField), X + 100, 100, F - 200, 24);
  Place(ControlWidget(CopyPasswordButton), X + F - 90, 99, 80, 26);
}

GtkWidget* MainWindowWidget() { return gMain; }

void SetAlwaysOnTop(bool on) {
  Common::SaveAlwaysOnTop(on);
  SetMenuCheck(MenuAlwaysOnTop, on);
  ApplyKeepAbove();
}

void ToggleAlwaysOnTop() { SetAlwaysOnTop(Common::CurrentSettings().AltijdBoven == 0); }

void ApplyKeepAbove() {
  if (gMain != nullptr) {
    gtk_window_set_keep_above(GTK_WINDOW(gMain), Common::CurrentSettings().AltijdBoven != 0);
  }
}

}  // namespace App
