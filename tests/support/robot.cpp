#include "tests/support/robot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "app/clock.h"
#include "app/dialog_window.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "tests/support/xvfb.h"

// Last: Xlib's macros would clash with GoogleTest's headers.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace Robot {
namespace {

constexpr guint kPollMs = 20;
constexpr int64_t kPatienceMs = 30000;
constexpr int64_t kWatchGraceMs = 30000;

struct PendingStep {
  std::string what;
  std::function<bool()> ready;
  std::function<void()> act;
};

std::deque<PendingStep> gSteps;
std::vector<Message> gMessages;
std::vector<Requester> gRequesters;
guint gSource = 0;
std::atomic<gint64> gWaitingSince = 0;
std::atomic<bool> gScriptRunning = false;

// Ends the test program at once, its display first, so that the run does not wait on it.
[[noreturn]] void GiveUp() {
  TestDisplay::Stop();
  std::_Exit(3);
}

// A step whose action runs a nested loop of its own (a modal box opened from the step)
// keeps the poll from running again, so a thread of its own watches the patience too.
void Watch() {
  for (;;) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    if (gScriptRunning &&
        (g_get_monotonic_time() - gWaitingSince) / 1000 > kPatienceMs + kWatchGraceMs) {
      std::fprintf(stderr, "robot: a step has not come back for %lld ms\n",
                   static_cast<long long>(kPatienceMs + kWatchGraceMs));
      GiveUp();
    }
  }
}

gboolean Poll(gpointer) {
  if (gSteps.empty()) {
    gSource = 0;
    gScriptRunning = false;
    return G_SOURCE_REMOVE;
  }
  PendingStep& step = gSteps.front();
  if (step.ready()) {
    PendingStep current = std::move(step);
    gSteps.pop_front();
    gWaitingSince = g_get_monotonic_time();
    current.act();
    return G_SOURCE_CONTINUE;
  }
  if ((g_get_monotonic_time() - gWaitingSince) / 1000 > kPatienceMs) {
    std::fprintf(stderr, "robot: gave up waiting for: %s (status \"%s\")\n", step.what.c_str(),
                 StatusText().c_str());
    GiveUp();
  }
  return G_SOURCE_CONTINUE;
}

GtkWindow* ActiveWindow() {
  GtkWidget* dialog = App::DialogWindowWidget();
  return GTK_WINDOW(dialog != nullptr ? dialog : App::MainWindowWidget());
}

// The label of the dialog's button for a response; empty when it has none.
std::string LabelFor(GtkDialog* dialog, int response) {
  GtkWidget* button = gtk_dialog_get_widget_for_response(dialog, response);
  const char* label = button != nullptr ? gtk_button_get_label(GTK_BUTTON(button)) : nullptr;
  return label != nullptr ? label : "";
}

// The last visible top-level window of this type, or null.
GtkWidget* VisibleToplevel(GType type) {
  GList* windows = gtk_window_list_toplevels();
  GtkWidget* found = nullptr;
  for (GList* w = windows; w != nullptr; w = w->next) {
    if (G_TYPE_CHECK_INSTANCE_TYPE(w->data, type) && gtk_widget_get_visible(GTK_WIDGET(w->data))) {
      found = GTK_WIDGET(w->data);
    }
  }
  g_list_free(windows);
  return found;
}

GtkMessageDialog* OpenMessageBox() {
  GtkWidget* box = VisibleToplevel(GTK_TYPE_MESSAGE_DIALOG);
  return box != nullptr ? GTK_MESSAGE_DIALOG(box) : nullptr;
}

bool Usable(int control) {
  GtkWidget* widget = App::ControlWidget(control);
  return widget != nullptr && gtk_widget_get_visible(widget) && gtk_widget_is_sensitive(widget);
}

// A key press as the X server would deliver it to a window: through GTK's own key
// handling, so the window's shortcuts see it first.
void SendKey(GtkWidget* window, guint keyval, GdkModifierType mods) {
  GdkDisplay* display = gtk_widget_get_display(window);
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
  event->key.time = GDK_CURRENT_TIME;
  event->key.keyval = keyval;
  event->key.state = mods;
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys,
                                        &count) &&
      count > 0) {
    event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
  }
  g_free(keys);
  gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

// Adds what the box shows to the messages seen.
const Message& Record(GtkMessageDialog* box) {
  gchar* text = nullptr;
  GtkMessageType icon = GTK_MESSAGE_OTHER;
  g_object_get(box, "text", &text, "message-type", &icon, nullptr);
  std::vector<std::string> buttons;
  for (int response : {GTK_RESPONSE_NO, GTK_RESPONSE_YES, GTK_RESPONSE_CANCEL}) {
    buttons.push_back(LabelFor(GTK_DIALOG(box), response));
  }
  gMessages.push_back({gtk_window_get_title(GTK_WINDOW(box)), text ? text : "", icon, buttons});
  g_free(text);
  return gMessages.back();
}

const char* IconName(GtkMessageType icon) {
  switch (icon) {
    case GTK_MESSAGE_INFO:
      return "information";
    case GTK_MESSAGE_WARNING:
      return "warning";
    case GTK_MESSAGE_QUESTION:
      return "question";
    case GTK_MESSAGE_ERROR:
      return "error";
    default:
      return "no icon";
  }
}

}  // namespace

void Reset() {
  gSteps.clear();
  gScriptRunning = false;
  gMessages.clear();
  gRequesters.clear();
}

void Step(const std::string& what, std::function<bool()> ready, std::function<void()> act) {
  gSteps.push_back({what, std::move(ready), std::move(act)});
  static std::once_flag watching;
  std::call_once(watching, [] { std::thread(Watch).detach(); });
  if (!gScriptRunning) gWaitingSince = g_get_monotonic_time();
  gScriptRunning = true;
  if (gSource == 0) {
    gWaitingSince = g_get_monotonic_time();
    gSource = g_timeout_add(kPollMs, Poll, nullptr);
  }
}

void Do(const std::string& what, std::function<void()> act) {
  Step(
      what, [] { return true; }, std::move(act));
}

void WaitWindow(const std::string& title) {
  Step(
      "window \"" + title + "\"", [title] { return FindWindow(title) != nullptr; }, [] {});
}

void WaitStatus(const std::string& text) {
  Step(
      "status \"" + text + "\"", [text] { return StatusText() == text; }, [] {});
}

void Type(int control, const std::string& text) {
  Step(
      "type into control " + std::to_string(control), [control] { return Usable(control); },
      [control, text] {
        GtkWidget* field = App::ControlWidget(control);
        gtk_widget_grab_focus(field);
        gtk_entry_set_text(GTK_ENTRY(field), text.c_str());
      });
}

void Click(int control) {
  Step(
      "click control " + std::to_string(control), [control] { return Usable(control); },
      [control] { gtk_button_clicked(GTK_BUTTON(App::ControlWidget(control))); });
}

void ClickRow(int row) {
  Step(
      "click row " + std::to_string(row),
      [row] { return Usable(App::EntryList) && static_cast<int>(ListRows().size()) > row; },
      [row] {
        GtkWidget* list = App::ControlWidget(App::EntryList);
        gtk_widget_grab_focus(list);  // a click gives the list the focus
        GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
        gtk_tree_view_set_cursor(GTK_TREE_VIEW(list), path, nullptr, FALSE);
        gtk_tree_path_free(path);
      });
}

// A key press as the X server would deliver it to the active window: through GTK's own
// key handling, so the window's shortcuts see it first.
void PressKey(guint keyval, GdkModifierType mods) {
  Step(
      "press key " + std::string(gdk_keyval_name(keyval)),
      [] { return OpenMessageBox() == nullptr && ActiveWindow() != nullptr; },
      [keyval, mods] { SendKey(GTK_WIDGET(ActiveWindow()), keyval, mods); });
}

void ChooseMenu(int item) {
  Step(
      "choose menu item " + std::to_string(item),
      [item] { return gtk_widget_is_sensitive(App::MenuItemWidget(item)); },
      [item] { gtk_menu_item_activate(GTK_MENU_ITEM(App::MenuItemWidget(item))); });
}

void AnswerMessage(const std::string& text, GtkMessageType icon, GtkResponseType button,
                   std::source_location where) {
  Step(
      "a message box \"" + text + "\"", [] { return OpenMessageBox() != nullptr; },
      [text, icon, button, where] {
        GtkMessageDialog* box = OpenMessageBox();
        const Message& seen = Record(box);
        if (seen.text != text || seen.icon != icon) {
          ADD_FAILURE_AT(where.file_name(), where.line())
              << "message box " << gMessages.size() << " (\"" << seen.title << "\")\n"
              << "  expected: " << IconName(icon) << " \"" << text << "\"\n"
              << "  seen:     " << IconName(seen.icon) << " \"" << seen.text << "\"";
        }
        gtk_dialog_response(GTK_DIALOG(box), button);
      });
}

void MoveClock(int64_t ms) {
  Do("move the clock " + std::to_string(ms) + " ms", [ms] { App::MoveClockForward(ms); });
}

void Pause(int ms) {
  auto until = std::make_shared<gint64>(0);
  Step(
      "a pause of " + std::to_string(ms) + " ms",
      [until, ms] {
        if (*until == 0) *until = g_get_monotonic_time() + ms * 1000;
        return g_get_monotonic_time() >= *until;
      },
      [] {});
}

void CloseWindow(const std::string& title) {
  Step(
      "close window \"" + title + "\"", [title] { return FindWindow(title) != nullptr; },
      [title] {
        GtkWindow* window = FindWindow(title);
        GdkEvent* event = gdk_event_new(GDK_DELETE);
        event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(window))));
        gtk_main_do_event(event);
        gdk_event_free(event);
      });
}

void DestroyWindow(const std::string& title) {
  Step(
      "another program destroys window \"" + title + "\"",
      [title] { return FindWindow(title) && gtk_widget_get_mapped(GTK_WIDGET(FindWindow(title))); },
      [title] {
        Display* other = XOpenDisplay(nullptr);
        XDestroyWindow(
            other, gdk_x11_window_get_xid(gtk_widget_get_window(GTK_WIDGET(FindWindow(title)))));
        XCloseDisplay(other);  // sends the request
      });
}

void MovePointer(int x, int y) {
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  XWarpPointer(display, 0, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
  XFlush(display);
}

void FocusProgram(bool program) {
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  const Window target = program
                            ? gdk_x11_window_get_xid(gtk_widget_get_window(App::MainWindowWidget()))
                            : PointerRoot;
  XSetInputFocus(display, target, RevertToPointerRoot, CurrentTime);
  XFlush(display);
}

std::string StatusText(int field) {
  GtkWidget* widget = App::StatusFieldWidget(field);
  if (widget == nullptr || !GTK_IS_LABEL(widget)) return "";
  std::string text = gtk_label_get_text(GTK_LABEL(widget));
  return field == 0 && !text.empty() && text[0] == ' ' ? text.substr(1) : text;
}

std::string FieldText(int control) {
  return gtk_entry_get_text(GTK_ENTRY(App::ControlWidget(control)));
}

bool Enabled(int control) { return gtk_widget_is_sensitive(App::ControlWidget(control)); }

bool MenuEnabled(int item) { return gtk_widget_is_sensitive(App::MenuItemWidget(item)); }

std::vector<std::string> ListRows() {
  GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(App::ControlWidget(App::EntryList)));
  std::vector<std::string> rows;
  GtkTreeIter iter;
  for (bool more = gtk_tree_model_get_iter_first(model, &iter); more;
       more = gtk_tree_model_iter_next(model, &iter)) {
    gchar* text = nullptr;
    gtk_tree_model_get(model, &iter, 0, &text, -1);
    rows.push_back(text ? text : "");
    g_free(text);
  }
  return rows;
}

GtkWindow* FindWindow(const std::string& title) {
  GList* windows = gtk_window_list_toplevels();
  GtkWindow* found = nullptr;
  for (GList* w = windows; w != nullptr; w = w->next) {
    GtkWindow* window = GTK_WINDOW(w->data);
    const char* t = gtk_window_get_title(window);
    if (t != nullptr && title == t && gtk_widget_get_visible(GTK_WIDGET(window))) found = window;
  }
  g_list_free(windows);
  return found;
}

std::string ClipboardText() {
  gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
  std::string result = text != nullptr ? text : "";
  g_free(text);
  return result;
}

bool MessageBoxOpen() { return OpenMessageBox() != nullptr; }

// ---- the entry editor and the list ----------------------------------------------------

namespace {

// A button event as the X server would deliver it to the list's row area.
void SendListButton(GdkEventType type, int x, int y) {
  GtkTreeView* view = GTK_TREE_VIEW(App::ControlWidget(App::EntryList));
  GdkEvent* event = gdk_event_new(type);
  event->button.window = GDK_WINDOW(g_object_ref(gtk_tree_view_get_bin_window(view)));
  event->button.time = GDK_CURRENT_TIME;
  event->button.x = x;
  event->button.y = y;
  event->button.button = 1;
  gdk_event_set_device(
      event,
      gdk_seat_get_pointer(gdk_display_get_default_seat(gtk_widget_get_display(GTK_WIDGET(view)))));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

// The centre of a row, or just below the last row when row is the row count.
void DoubleClickAt(int row) {
  GtkTreeView* view = GTK_TREE_VIEW(App::ControlWidget(App::EntryList));
  const int count = static_cast<int>(ListRows().size());
  GdkRectangle cell{};
  GtkTreePath* path = gtk_tree_path_new_from_indices(row < count ? row : count - 1, -1);
  gtk_tree_view_get_cell_area(view, path, gtk_tree_view_get_column(view, 0), &cell);
  gtk_tree_path_free(path);
  const int x = cell.x + 5;
  const int y = row < count ? cell.y + cell.height / 2 : cell.y + cell.height * 2;
  gtk_widget_grab_focus(GTK_WIDGET(view));
  SendListButton(GDK_BUTTON_PRESS, x, y);
  SendListButton(GDK_BUTTON_RELEASE, x, y);
  SendListButton(GDK_BUTTON_PRESS, x, y);
  SendListButton(GDK_2BUTTON_PRESS, x, y);
  SendListButton(GDK_BUTTON_RELEASE, x, y);
}

}  // namespace

void Toggle(int control) { Click(control); }

void DoubleClickRow(int row) {
  Step(
      "double-click row " + std::to_string(row),
      [row] { return Usable(App::EntryList) && static_cast<int>(ListRows().size()) > row; },
      [row] { DoubleClickAt(row); });
}

void DoubleClickBelowRows() {
  Step(
      "double-click below the rows", [] { return Usable(App::EntryList) && !ListRows().empty(); },
      [] { DoubleClickAt(static_cast<int>(ListRows().size())); });
}

bool Ticked(int control) {
  return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(App::ControlWidget(control)));
}

int SelectedRow() {
  GtkTreeView* view = GTK_TREE_VIEW(App::ControlWidget(App::EntryList));
  GtkTreeModel* model = nullptr;
  GtkTreeIter iter;
  if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(view), &model, &iter)) {
    return -1;
  }
  GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
  const int row = gtk_tree_path_get_indices(path)[0];
  gtk_tree_path_free(path);
  return row;
}

const std::vector<Message>& Messages() { return gMessages; }

bool Done() { return gSteps.empty(); }

// ---- file requesters and the About window ----------------------------------------------

namespace {

GtkFileChooser* OpenRequester() {
  GtkWidget* requester = VisibleToplevel(GTK_TYPE_FILE_CHOOSER_DIALOG);
  return requester != nullptr ? GTK_FILE_CHOOSER(requester) : nullptr;
}

std::string Taken(gchar* text) {
  std::string result = text != nullptr ? text : "";
  g_free(text);
  return result;
}

void RecordRequester(GtkFileChooser* chooser) {
  Requester seen;
  seen.title = gtk_window_get_title(GTK_WINDOW(chooser));
  seen.save = gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_SAVE;
  seen.folder = Taken(gtk_file_chooser_get_current_folder(chooser));
  if (seen.save) {
    seen.name = Taken(gtk_file_chooser_get_current_name(chooser));
  } else {
    const std::string selected = Taken(gtk_file_chooser_get_filename(chooser));
    seen.name = selected.substr(selected.rfind('/') + 1);
  }
  GSList* filters = gtk_file_chooser_list_filters(chooser);
  for (GSList* f = filters; f != nullptr; f = f->next) {
    seen.filters.push_back(gtk_file_filter_get_name(GTK_FILE_FILTER(f->data)));
  }
  g_slist_free(filters);
  GtkFileFilter* selected = gtk_file_chooser_get_filter(chooser);
  if (selected != nullptr) seen.selectedFilter = gtk_file_filter_get_name(selected);
  seen.cancelLabel = LabelFor(GTK_DIALOG(chooser), GTK_RESPONSE_CANCEL);
  seen.acceptLabel = LabelFor(GTK_DIALOG(chooser), GTK_RESPONSE_ACCEPT);
  gRequesters.push_back(seen);
}

// The requester loads its folder in the background; it has settled once it knows what it
// selects, or, for a save requester, its folder. One with nothing to select (or one that
// starts at the toolkit's own default place) never does, so two seconds is the most it is
// given: a slow machine may select the file well after the folder is known.
std::function<bool()> RequesterSettled() {
  auto since = std::make_shared<gint64>(0);
  return [since] {
    GtkFileChooser* chooser = OpenRequester();
    if (chooser == nullptr || !gtk_widget_get_mapped(GTK_WIDGET(chooser))) return false;
    if (*since == 0) *since = g_get_monotonic_time();
    const bool save = gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_SAVE;
    const bool known = !Taken(gtk_file_chooser_get_filename(chooser)).empty() ||
                       (save && !Taken(gtk_file_chooser_get_current_folder(chooser)).empty());
    return known || g_get_monotonic_time() - *since > 2000000;
  };
}

GtkWidget* FindButton(GtkWidget* widget, const std::string& label) {
  if (GTK_IS_BUTTON(widget)) {
    const char* text = gtk_button_get_label(GTK_BUTTON(widget));
    if (text != nullptr && label == text) return widget;
  }
  GtkWidget* found = nullptr;
  if (GTK_IS_CONTAINER(widget)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* c = children; c != nullptr && found == nullptr; c = c->next) {
      found = FindButton(GTK_WIDGET(c->data), label);
    }
    g_list_free(children);
  }
  return found;
}

void CollectLabels(GtkWidget* widget, std::vector<std::string>& texts) {
  if (GTK_IS_LABEL(widget)) texts.push_back(gtk_label_get_text(GTK_LABEL(widget)));
  if (GTK_IS_CONTAINER(widget) && !GTK_IS_BUTTON(widget)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* c = children; c != nullptr; c = c->next) CollectLabels(GTK_WIDGET(c->data), texts);
    g_list_free(children);
  }
}

}  // namespace

void ChooseFile(const std::string& path) {
  Step("a file requester", RequesterSettled(), [path] {
    GtkFileChooser* chooser = OpenRequester();
    RecordRequester(chooser);
    const size_t slash = path.rfind('/');
    if (gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_SAVE) {
      gtk_file_chooser_set_current_folder(chooser, path.substr(0, slash + 1).c_str());
      gtk_file_chooser_set_current_name(chooser, path.substr(slash + 1).c_str());
    } else {
      gtk_file_chooser_set_filename(chooser, path.c_str());
    }
  });
  auto polls = std::make_shared<int>(0);
  Step(
      "the requester holds " + path,
      [path, polls] {
        GtkFileChooser* chooser = OpenRequester();
        if (chooser == nullptr) return false;
        if (Taken(gtk_file_chooser_get_filename(chooser)) == path) return true;
        // A selection made while the folder was still loading can be lost: select again.
        if (++*polls % 25 == 0 &&
            gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_OPEN) {
          gtk_file_chooser_set_filename(chooser, path.c_str());
        }
        return false;
      },
      [] { gtk_dialog_response(GTK_DIALOG(OpenRequester()), GTK_RESPONSE_ACCEPT); });
}

void CancelFile() {
  Step("a file requester to cancel", RequesterSettled(), [] {
    RecordRequester(OpenRequester());
    gtk_dialog_response(GTK_DIALOG(OpenRequester()), GTK_RESPONSE_CANCEL);
  });
}

const std::vector<Requester>& Requesters() { return gRequesters; }

void PressKeyIn(const std::string& title, guint keyval) {
  Step(
      "press key " + std::string(gdk_keyval_name(keyval)) + " in \"" + title + "\"",
      [title] { return FindWindow(title) != nullptr; },
      [title, keyval] { SendKey(GTK_WIDGET(FindWindow(title)), keyval, GdkModifierType(0)); });
}

void ClickButtonIn(const std::string& title, const std::string& label) {
  Step(
      "click \"" + label + "\" in \"" + title + "\"",
      [title, label] {
        GtkWindow* window = FindWindow(title);
        return window != nullptr && FindButton(GTK_WIDGET(window), label) != nullptr;
      },
      [title, label] {
        gtk_button_clicked(GTK_BUTTON(FindButton(GTK_WIDGET(FindWindow(title)), label)));
      });
}

std::vector<std::string> LabelsIn(const std::string& title) {
  std::vector<std::string> texts;
  if (GtkWindow* window = FindWindow(title)) CollectLabels(GTK_WIDGET(window), texts);
  return texts;
}

}  // namespace Robot
