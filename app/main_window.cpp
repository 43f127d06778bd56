#include "app/main_window.h"

#include <map>

#include "app/events.h"
#include "app/settings.h"
#include "texts/texts.h"

namespace App {
namespace {

constexpr int kInitialWidth = 680;
constexpr int kInitialHeight = 380;
constexpr int kMinWidth = 560;
constexpr int kMinHeight = 300;
constexpr int kTimerPeriodMs = 250;
constexpr int kFieldWidths[kStatusFieldCount] = {-1, 160, 60};
constexpr int kScreenStylePriority = 600;
constexpr int kProgressStylePriority = 800;
constexpr char kScreenStyle[] =
    "button, entry {min-height: 20px;} tab {min-height: 20px;} button, scale {padding-bottom: "
    "2px; padding-left: 2px; padding-right: 2px; padding-top: 2px} ";
constexpr char kProgressStyle[] = "* progress, trough  {min-height: 17px;}";

GtkWidget* gMain = nullptr;
GtkWidget* gMenuBar = nullptr;
GtkWidget* gArea = nullptr;  // the control area of the main window
GtkWidget* gStatusBar = nullptr;
GtkWidget* gListScroller = nullptr;
GtkWidget* gStatusFrames[kStatusFieldCount] = {};
GtkWidget* gStatusFields[kStatusFieldCount] = {};
bool gCountdownIsBar = false;
GtkWidget* gMenuItems[kMenuItemCount] = {};
gulong gMenuHandlers[kMenuItemCount] = {};
bool gMenuChecks[kMenuItemCount] = {};
guint gTimer = 0;
int gLastWidth = 0, gLastHeight = 0, gLastX = 0, gLastY = 0;

GtkWidget* gDialog = nullptr;
GtkWidget* gDialogArea = nullptr;

std::map<int, GtkWidget*> gControls;  // by program-wide number
bool gScreenStyled = false;

// ---- signal handlers: each posts one event ----------------------------------------------

void OnMenuItem(GtkMenuItem* item, gpointer number) {
  const int n = GPOINTER_TO_INT(number);
  if (GTK_IS_CHECK_MENU_ITEM(item)) {
    // Undo the toolkit's own toggle; the mark changes only when the program sets it.
    g_signal_handler_block(item, gMenuHandlers[n]);
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), gMenuChecks[n]);
    g_signal_handler_unblock(item, gMenuHandlers[n]);
  }
  PostEvent({EventKind::Menu, kMainWindow, n, 0});
}

gboolean OnShortcut(GtkAccelGroup*, GObject* window, guint, GdkModifierType, gpointer data) {
  // A disabled window takes no keys.
  if (!gtk_widget_get_sensitive(GTK_WIDGET(window))) return FALSE;
  const int n = GPOINTER_TO_INT(data);
  PostEvent({EventKind::Menu, GTK_WIDGET(window) == gMain ? kMainWindow : kDialogWindow, n, 0});
  return TRUE;
}

gboolean OnDelete(GtkWidget* window, GdkEvent*, gpointer) {
  if (gtk_widget_get_sensitive(window)) {
    PostEvent({EventKind::Close, window == gMain ? kMainWindow : kDialogWindow, 0, 0});
  }
  return TRUE;  // the program decides when windows go
}

gboolean OnConfigure(GtkWidget* window, GdkEventConfigure* event, gpointer) {
  if (window != gMain) return FALSE;
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

gboolean OnBackgroundClick(GtkWidget*, GdkEventButton* event, gpointer window) {
  const bool counted =
      (event->type == GDK_BUTTON_PRESS && (event->button == 1 || event->button == 3)) ||
      (event->type == GDK_2BUTTON_PRESS && event->button == 1);
  if (counted) {
    PostEvent({EventKind::BackgroundClick, GPOINTER_TO_INT(window), 0,
               event->type == GDK_2BUTTON_PRESS ? kLeftDoubleClick : 0});
  }
  return FALSE;
}

void OnButton(GtkButton* button, gpointer number) {
  const int n = GPOINTER_TO_INT(number);
  PostEvent({EventKind::Control,
             gtk_widget_get_toplevel(GTK_WIDGET(button)) == gMain ? kMainWindow : kDialogWindow, n,
             kClicked});
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

gboolean OnTimer(gpointer) {
  PostEvent({EventKind::Timer, kMainWindow, kIdleTimerNumber, 0});
  return G_SOURCE_CONTINUE;
}

// ---- building -------------------------------------------------------------------------

void StyleScreen() {
  if (gScreenStyled) return;
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, kScreenStyle, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                            kScreenStylePriority);
  g_object_unref(css);
  gScreenStyled = true;
}

void AddShortcut(GtkAccelGroup* group, guint key, GdkModifierType mods, int menuNumber) {
  gtk_accel_group_connect(
      group, key, mods, GtkAccelFlags(0),
      g_cclosure_new(G_CALLBACK(OnShortcut), GINT_TO_POINTER(menuNumber), nullptr));
}

// "Label\tHint": the hint is display only, shown when it names a key the menu knows.
GtkWidget* AddMenuItem(GtkWidget* menu, int number, const char* text, bool check) {
  const std::string full = text;
  const size_t tab = full.find('\t');
  const std::string label = full.substr(0, tab);
  GtkWidget* item = check ? gtk_check_menu_item_new_with_label(label.c_str())
                          : gtk_menu_item_new_with_label(label.c_str());
  if (tab != std::string::npos) {
    const std::string hint = full.substr(tab + 1);
    guint key = 0;
    GdkModifierType mods = GdkModifierType(0);
    // The menu knows "Ctrl+<key>" and "Del"; any other hint ("Enter") shows nothing.
    if (hint == "Del") {
      key = GDK_KEY_Delete;
    } else if (hint.rfind("Ctrl+", 0) == 0) {
      gtk_accelerator_parse(("<Control>" + hint.substr(5)).c_str(), &key, &mods);
    }
    if (key != 0) {
      gtk_accel_label_set_accel(GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(item))), key, mods);
    }
  }
  gMenuItems[number] = item;
  gMenuHandlers[number] =
      g_signal_connect(item, "activate", G_CALLBACK(OnMenuItem), GINT_TO_POINTER(number));
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
  return item;
}

GtkWidget* AddMenu(const char* title) {
  GtkWidget* top = gtk_menu_item_new_with_label(title);
  GtkWidget* menu = gtk_menu_new();
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(top), menu);
  gtk_menu_shell_append(GTK_MENU_SHELL(gMenuBar), top);
  return menu;
}

void BuildMenus() {
  const Texts::Table& t = Texts::kText;
  gMenuBar = gtk_menu_bar_new();
  GtkWidget* file = AddMenu(t.menuFile);
  AddMenuItem(file, MenuMakeBackup, t.itemMakeBackup, false);
  AddMenuItem(file, MenuRestoreBackup, t.itemRestoreBackup, false);
  gtk_menu_shell_append(GTK_MENU_SHELL(file), gtk_separator_menu_item_new());
  AddMenuItem(file, MenuExit, t.itemExit, false);
  GtkWidget* edit = AddMenu(t.menuEdit);
  AddMenuItem(edit, MenuNew, t.itemNew, false);
  AddMenuItem(edit, MenuEdit, t.itemEdit, false);
  AddMenuItem(edit, MenuDelete, t.itemDelete, false);
  GtkWidget* settings = AddMenu(t.menuSettings);
  AddMenuItem(settings, MenuShowPasswords, t.itemShowPasswords, true);
  AddMenuItem(settings, MenuAlwaysOnTop, t.itemAlwaysOnTop, true);
  AddMenuItem(settings, MenuChooseBrowser, t.itemChooseBrowser, false);
  AddMenuItem(settings, MenuChangeMasterPassword, t.itemChangeMasterPassword, false);
  gtk_menu_shell_append(GTK_MENU_SHELL(settings), gtk_separator_menu_item_new());
  AddMenuItem(settings, MenuAbout, t.itemAbout, false);
}

int FieldHeight(GtkWidget* label) {
  int natural = 0;
  gtk_widget_get_preferred_height(label, nullptr, &natural);
  return natural < 16 ? 22 : natural + 6;
}

GtkWidget* NewStatusLabel(float xalign) {
  GtkWidget* label = gtk_label_new("");
  gtk_label_set_xalign(GTK_LABEL(label), xalign);
  gtk_label_set_yalign(GTK_LABEL(label), 0.5f);
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  return label;
}

void BuildStatusBar() {
  gStatusBar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  for (int i = 0; i < kStatusFieldCount; ++i) {
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
    gtk_widget_set_margin_start(frame, 2);
    gtk_widget_set_margin_end(frame, 2);
    gtk_widget_set_margin_top(frame, 2);
    gtk_widget_set_margin_bottom(frame, 2);
    GtkWidget* label = NewStatusLabel(i == 2 ? 0.5f : 0.0f);
    gtk_container_add(GTK_CONTAINER(frame), label);
    gtk_widget_set_size_request(frame, kFieldWidths[i], FieldHeight(label));
    gtk_box_pack_start(GTK_BOX(gStatusBar), frame, i == 0, i == 0, 0);
    gStatusFrames[i] = frame;
    gStatusFields[i] = label;
  }
  gCountdownIsBar = false;
}

GtkWidget* AddControl(int number, GtkWidget* widget) {
  gControls[number] = widget;
  gtk_widget_set_size_request(widget, 0, 0);
  gtk_layout_put(GTK_LAYOUT(gArea), number == EntryList ? gListScroller : widget, 0, 0);
  return widget;
}

GtkWidget* NewButton(int number, const char* text) {
  GtkWidget* button = gtk_button_new_with_label(text);
  g_signal_connect(button, "clicked", G_CALLBACK(OnButton), GINT_TO_POINTER(number));
  return AddControl(number, button);
}

GtkWidget* NewField(int number) {
  GtkWidget* field = gtk_entry_new();
  gtk_editable_set_editable(GTK_EDITABLE(field), FALSE);  // read-only, still selectable
  gtk_entry_set_width_chars(GTK_ENTRY(field), 0);         // else GTK's 150-pixel minimum wins
  return AddControl(number, field);
}

GtkWidget* NewLabel(int number, const char* text) {
  GtkWidget* label = gtk_label_new(text);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
  return AddControl(number, label);
}

void BuildControls() {
  const Texts::Table& t = Texts::kText;
  GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
  GtkWidget* list = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
  g_object_unref(store);
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(list), FALSE);
  GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes(
      "", gtk_cell_renderer_text_new(), "text", 0, nullptr);
  gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
  gtk_tree_view_append_column(GTK_TREE_VIEW(list), column);
  gtk_tree_view_set_fixed_height_mode(GTK_TREE_VIEW(list), TRUE);  // fast with many rows
  gtk_tree_view_set_enable_search(GTK_TREE_VIEW(list), TRUE);
  gtk_tree_view_set_search_column(GTK_TREE_VIEW(list), 0);
  GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(list));
  gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
  g_signal_connect(selection, "changed", G_CALLBACK(OnSelectionChanged), nullptr);
  g_signal_connect(list, "button-press-event", G_CALLBACK(OnListButton), nullptr);
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
  GtkWidget* urlLabel = NewLabel(UrlLabel, t.urlLabel);
  GtkWidget* url = NewField(UrlField);
  NewButton(OpenButton, t.openButton);
  GtkWidget* userLabel = NewLabel(UserLabel, t.userLabel);
  GtkWidget* user = NewField(UserField);
  GtkWidget* copyUser = NewButton(CopyUserButton, t.copyButton);
  GtkWidget* passwordLabel = NewLabel(PasswordLabel, t.passwordLabel);
  GtkWidget* password = NewField(PasswordField);
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
  gtk_window_set_title(GTK_WINDOW(gMain), "Lockwell");
  gtk_window_set_default_size(GTK_WINDOW(gMain), kInitialWidth, kInitialHeight);
  gtk_window_set_position(GTK_WINDOW(gMain), GTK_WIN_POS_CENTER);
  GdkGeometry hints{};
  hints.min_width = kMinWidth;
  hints.min_height = kMinHeight;
  gtk_window_set_geometry_hints(GTK_WINDOW(gMain), nullptr, &hints, GDK_HINT_MIN_SIZE);

  BuildMenus();
  for (bool& mark : gMenuChecks) mark = false;
  SetMenuCheck(MenuAlwaysOnTop, CurrentSettings().AltijdBoven != 0);
  gtk_window_set_keep_above(GTK_WINDOW(gMain), CurrentSettings().AltijdBoven != 0);

  GtkAccelGroup* shortcuts = gtk_accel_group_new();
  AddShortcut(shortcuts, GDK_KEY_n, GDK_CONTROL_MASK, MenuNew);
  AddShortcut(shortcuts, GDK_KEY_Return, GdkModifierType(0), MenuEdit);
  AddShortcut(shortcuts, GDK_KEY_KP_Enter, GdkModifierType(0), MenuEdit);
  AddShortcut(shortcuts, GDK_KEY_Delete, GdkModifierType(0), MenuDelete);
  gtk_window_add_accel_group(GTK_WINDOW(gMain), shortcuts);
  g_object_unref(shortcuts);

  BuildStatusBar();
  gArea = gtk_layout_new(nullptr, nullptr);
  gtk_widget_add_events(gArea, GDK_BUTTON_PRESS_MASK);
  gtk_widget_set_vexpand(gArea, TRUE);
  BuildControls();

  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_box_pack_start(GTK_BOX(column), gMenuBar, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(column), gArea, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(column), gStatusBar, FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(gMain), column);

  g_signal_connect(gMain, "delete-event", G_CALLBACK(OnDelete), nullptr);
  g_signal_connect(gMain, "configure-event", G_CALLBACK(OnConfigure), nullptr);
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
  if (gDialog != nullptr) gtk_widget_destroy(gDialog);
  gDialog = gDialogArea = nullptr;
  if (gMain != nullptr) gtk_widget_destroy(gMain);
  gMain = nullptr;
  gControls.clear();
  for (GtkWidget*& item : gMenuItems) item = nullptr;
  for (GtkWidget*& field : gStatusFields) field = nullptr;
}

void LayoutMainWindow() {
  int width = 0, height = 0;
  gtk_window_get_size(GTK_WINDOW(gMain), &width, &height);
  int menuHeight = 0, statusHeight = 0;
  gtk_widget_get_preferred_height(gMenuBar, nullptr, &menuHeight);
  gtk_widget_get_preferred_height(gStatusBar, nullptr, &statusHeight);
  const int W = width;
  const int H = height - menuHeight - (statusHeight + 4);
  const int L = W * 45 / 100;
  const int X = L + 20;
  const int F = W - L - 30;

  Place(gListScroller, 10, 10, L, H - 56);
  Place(gControls[UpButton], 10, H - 38, (L - 6) / 2, 28);
  Place(gControls[DownButton], (L + 6) / 2 + 10, H - 38, (L - 6) / 2, 28);
  Place(gControls[DetailsFrame], X, 5, F, 140);
  Place(gControls[UrlLabel], X + 10, 33, 90, 20);
  Place(gControls[UrlField], X + 100, 30, F - 200, 24);
  Place(gControls[OpenButton], X + F - 90, 29, 80, 26);
  Place(gControls[UserLabel], X + 10, 68, 90, 20);
  Place(gControls[UserField], X + 100, 65, F - 200, 24);
  Place(gControls[CopyUserButton], X + F - 90, 64, 80, 26);
  Place(gControls[PasswordLabel], X + 10, 103, 90, 20);
  Place(gControls[PasswordField], X + 100, 100, F - 200, 24);
  Place(gControls[CopyPasswordButton], X + F - 90, 99, 80, 26);
}

void SetStatusText(const std::string& message) {
  gtk_label_set_text(GTK_LABEL(gStatusFields[0]), (" " + message).c_str());
}

void PaintNow() {
  if (gMain == nullptr || !gtk_widget_get_mapped(gMain)) return;
  // Run the loop until the frame clock has painted the window once more, then wait until
  // the X server has the picture: the caller is about to block for a while.
  constexpr gint64 kPatienceUs = 250000;
  GdkFrameClock* clock = gtk_widget_get_frame_clock(gMain);
  bool painted = false;
  const gulong handler = g_signal_connect_swapped(
      clock, "after-paint", G_CALLBACK(+[](bool* done) { *done = true; }), &painted);
  gtk_widget_queue_draw(gMain);
  const gint64 deadline = g_get_monotonic_time() + kPatienceUs;
  while (!painted && g_get_monotonic_time() < deadline) g_main_context_iteration(nullptr, TRUE);
  g_signal_handler_disconnect(clock, handler);
  gdk_display_sync(gtk_widget_get_display(gMain));
}

GtkWidget* MainWindowWidget() { return gMain; }

GtkWidget* ControlWidget(int number) {
  auto it = gControls.find(number);
  return it == gControls.end() ? nullptr : it->second;
}

GtkWidget* MenuItemWidget(int number) { return gMenuItems[number]; }
GtkWidget* StatusFieldWidget(int field) { return gStatusFields[field]; }

void SetMenuCheck(int number, bool on) {
  gMenuChecks[number] = on;
  GtkWidget* item = gMenuItems[number];
  if (item == nullptr) return;
  g_signal_handler_block(item, gMenuHandlers[number]);
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), on);
  g_signal_handler_unblock(item, gMenuHandlers[number]);
}

bool MenuCheck(int number) { return gMenuChecks[number]; }

void ApplyKeepAbove() {
  const bool above = CurrentSettings().AltijdBoven != 0;
  if (gMain != nullptr) gtk_window_set_keep_above(GTK_WINDOW(gMain), above);
}

GtkWidget* OpenDialogWindow(const std::string& title, int width, int height) {
  gtk_widget_set_sensitive(gMain, FALSE);
  gDialog = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(gDialog), title.c_str());
  gtk_window_set_transient_for(GTK_WINDOW(gDialog), GTK_WINDOW(gMain));
  gtk_window_set_position(GTK_WINDOW(gDialog), GTK_WIN_POS_CENTER_ON_PARENT);
  gtk_window_set_type_hint(GTK_WINDOW(gDialog), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_resizable(GTK_WINDOW(gDialog), FALSE);
  gtk_window_set_keep_above(GTK_WINDOW(gDialog), CurrentSettings().AltijdBoven != 0);
  gDialogArea = gtk_layout_new(nullptr, nullptr);
  gtk_widget_set_size_request(gDialogArea, width, height);
  gtk_widget_add_events(gDialogArea, GDK_BUTTON_PRESS_MASK);
  gtk_container_add(GTK_CONTAINER(gDialog), gDialogArea);

  GtkAccelGroup* shortcuts = gtk_accel_group_new();
  AddShortcut(shortcuts, GDK_KEY_Return, GdkModifierType(0), kDialogConfirm);
  AddShortcut(shortcuts, GDK_KEY_KP_Enter, GdkModifierType(0), kDialogConfirm);
  AddShortcut(shortcuts, GDK_KEY_Escape, GdkModifierType(0), kDialogCancel);
  gtk_window_add_accel_group(GTK_WINDOW(gDialog), shortcuts);
  g_object_unref(shortcuts);
  g_signal_connect(gDialog, "delete-event", G_CALLBACK(OnDelete), nullptr);
  g_signal_connect(gDialogArea, "button-press-event", G_CALLBACK(OnBackgroundClick),
                   GINT_TO_POINTER(kDialogWindow));
  return gDialogArea;
}

void CloseDialogWindow() {
  if (gDialog != nullptr) gtk_widget_destroy(gDialog);
  gDialog = gDialogArea = nullptr;
  for (auto it = gControls.begin(); it != gControls.end();) {
    it = it->first >= kMainControlCount ? gControls.erase(it) : std::next(it);
  }
  gtk_widget_set_sensitive(gMain, TRUE);
  gtk_window_present(GTK_WINDOW(gMain));
}

GtkWidget* DialogWindowWidget() { return gDialog; }

void PlaceDialogControl(GtkWidget* widget, int number, int x, int y, int width, int height) {
  gtk_widget_set_size_request(widget, width, height);
  gtk_layout_put(GTK_LAYOUT(gDialogArea), widget, x, y);
  if (number >= 0) gControls[number] = widget;
}

void ConnectDialogButton(GtkWidget* button, int number) {
  g_signal_connect(button, "clicked", G_CALLBACK(OnButton), GINT_TO_POINTER(number));
}

void ShowCountdown(double fraction, const std::string& secondsText) {
  if (!gCountdownIsBar) {
    // The field turns into a progress bar at the first countdown.
    gtk_widget_destroy(gStatusFields[1]);
    GtkWidget* bar = gtk_progress_bar_new();
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, kProgressStyle, -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(bar), GTK_STYLE_PROVIDER(css),
                                   kProgressStylePriority);
    g_object_unref(css);
    gtk_widget_set_valign(bar, GTK_ALIGN_CENTER);
    gtk_container_add(GTK_CONTAINER(gStatusFrames[1]), bar);
    gtk_widget_show(bar);
    gStatusFields[1] = bar;
    gCountdownIsBar = true;
  }
  gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(gStatusFields[1]), fraction);
  gtk_label_set_text(GTK_LABEL(gStatusFields[2]), secondsText.c_str());
}

}  // namespace App
