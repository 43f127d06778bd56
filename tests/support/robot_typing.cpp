// The robot's typing and selecting: keys one by one, clicks on a text field, the focus, and
// what an open file requester's filter shows.
#include <gtk/gtk.h>

#include "app/controls.h"
#include "tests/support/robot.h"

namespace Robot {

namespace {

// The input window GtkEntry reads its clicks from, inside the window of its parent.
GdkWindow* TextArea(GtkWidget* field) {
  GdkWindow* found = gtk_widget_get_window(field);
  GList* children = gdk_window_peek_children(found);
  for (GList* c = children; c != nullptr; c = c->next) {
    gpointer owner = nullptr;
    gdk_window_get_user_data(GDK_WINDOW(c->data), &owner);
    if (owner == field) found = GDK_WINDOW(c->data);
  }
  return found;
}

void SendFieldButton(GtkWidget* field, GdkEventType type) {
  GdkEvent* event = gdk_event_new(type);
  event->button.window = GDK_WINDOW(g_object_ref(TextArea(field)));
  event->button.time = GDK_CURRENT_TIME;
  event->button.x = 4;
  event->button.y = 4;
  event->button.button = 1;
  gdk_event_set_device(
      event, gdk_seat_get_pointer(gdk_display_get_default_seat(gtk_widget_get_display(field))));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

}  // namespace

void TypeKeys(int control, const std::string& text) {
  Step(
      "type keys into control " + std::to_string(control),
      [control] { return Detail::UsableControl(control); },
      [control, text] {
        GtkWidget* field = App::ControlWidget(control);
        if (!gtk_widget_has_focus(field)) gtk_widget_grab_focus(field);
        GtkWidget* window = gtk_widget_get_toplevel(field);
        for (const char c : text) {
          const bool upper = c >= 'A' && c <= 'Z';
          Detail::SendKeyTo(window, gdk_unicode_to_keyval(static_cast<guint32>(c)),
                            upper ? GDK_SHIFT_MASK : GdkModifierType(0));
        }
      });
}

void TripleClick(int control) {
  Step(
      "triple-click control " + std::to_string(control),
      [control] { return Detail::UsableControl(control); },
      [control] {
        GtkWidget* field = App::ControlWidget(control);
        for (GdkEventType many : {GDK_NOTHING, GDK_2BUTTON_PRESS, GDK_3BUTTON_PRESS}) {
          SendFieldButton(field, GDK_BUTTON_PRESS);
          if (many != GDK_NOTHING) SendFieldButton(field, many);
          SendFieldButton(field, GDK_BUTTON_RELEASE);
        }
      });
}

void Focus(int control) {
  Step(
      "focus control " + std::to_string(control),
      [control] { return Detail::UsableControl(control); },
      [control] { gtk_widget_grab_focus(App::ControlWidget(control)); });
}

bool RequesterOpen() {
  GtkFileChooser* chooser = Detail::OpenFileRequester();
  return chooser != nullptr && gtk_widget_get_mapped(GTK_WIDGET(chooser));
}

bool SelectedFilterShows(const std::string& fileName) {
  GtkFileFilter* filter = gtk_file_chooser_get_filter(Detail::OpenFileRequester());
  GtkFileFilterInfo info{};
  info.contains = GTK_FILE_FILTER_DISPLAY_NAME;
  info.display_name = fileName.c_str();
  return filter != nullptr && gtk_file_filter_filter(filter, &info);
}

}  // namespace Robot
