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
#include "tests/support/robot_parts.h"
#include "tests/support/xvfb.h"

// Last: Xlib's macros would clash with GoogleTest's headers.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace Robot {

namespace Parts {

std::string LabelFor(GtkDialog* dialog, int response) {
  GtkWidget* button = gtk_dialog_get_widget_for_response(dialog, response);
  const char* label = button != nullptr ? gtk_button_get_label(GTK_BUTTON(button)) : nullptr;
  return label != nullptr ? label : "";
}

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

namespace {

// The modifier keys in the order they are pressed, each with the state bit it sets.
constexpr struct {
  GdkModifierType mask;
  guint keyval;
} kModifierKeys[] = {{GDK_CONTROL_MASK, GDK_KEY_Control_L},
                     {GDK_MOD1_MASK, GDK_KEY_Alt_L},
                     {GDK_SHIFT_MASK, GDK_KEY_Shift_L}};

// One key event, its state the modifiers held before it as X reports them.
void SendKeyEvent(GdkWindow* target, GdkEventType type, guint keyval, guint state, bool modifier) {
  GdkDisplay* display = gdk_window_get_display(target);
  GdkEvent* event = gdk_event_new(type);
  event->key.window = GDK_WINDOW(g_object_ref(target));
  event->key.time = GDK_CURRENT_TIME;
  event->key.keyval = keyval;
  event->key.state = state;
  event->key.is_modifier = modifier ? 1 : 0;
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

}  // namespace

// As X delivers a key typed with modifiers: a press of each modifier key of its own (with
// is_modifier set), the key's press, then the modifiers' releases. (The key's own release
// is not sent: it shifts where the steps after it land against the window's 250 ms tick,
// and the story of a kept copy restored then loses the copy to that tick.)
void SendKey(GtkWidget* window, guint keyval, GdkModifierType mods) {
  GdkWindow* target = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
  guint held = 0;
  for (const auto& modifier : kModifierKeys) {
    if ((mods & modifier.mask) == 0) continue;
    SendKeyEvent(target, GDK_KEY_PRESS, modifier.keyval, held, true);
    held |= modifier.mask;
  }
  SendKeyEvent(target, GDK_KEY_PRESS, keyval, mods, false);
  for (size_t i = std::size(kModifierKeys); i-- > 0;) {
    if ((held & kModifierKeys[i].mask) == 0) continue;
    SendKeyEvent(target, GDK_KEY_RELEASE, kModifierKeys[i].keyval, held, true);
    held &= ~kModifierKeys[i].mask;
  }
  g_object_unref(target);
}

bool Usable(int control) {
  GtkWidget* widget = App::ControlWidget(control);
  return widget != nullptr && gtk_widget_get_visible(widget) && gtk_widget_is_sensitive(widget);
}

}  // namespace Parts

namespace {

using Parts::LabelFor;
using Parts::SendKey;
using Parts::Usable;
using Parts::VisibleToplevel;

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

GtkMessageDialog* OpenMessageBox() {
  GtkWidget* box = VisibleToplevel(GTK_TYPE_MESSAGE_DIALOG);
  return box != nullptr ? GTK_MESSAGE_DIALOG(box) : nullptr;
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
  Parts::ForgetRequesters();
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
  AnswerMessage([text] { return text; }, icon, button, where);
}

void AnswerMessage(std::function<std::string()> expected, GtkMessageType icon,
                   GtkResponseType button, std::source_location where) {
  Step(
      "a message box \"" + expected() + "\"", [] { return OpenMessageBox() != nullptr; },
      [expected, icon, button, where] {
        const std::string text = expected();
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

const std::vector<Message>& Messages() { return gMessages; }

bool Done() { return gSteps.empty(); }

}  // namespace Robot
