// The robot's steps with the list's rows, file requesters and the About window.
#include <memory>

#include "app/controls.h"
#include "tests/support/robot.h"
#include "tests/support/robot_parts.h"

namespace Robot {
namespace {

using Parts::LabelFor;
using Parts::SendKey;
using Parts::Usable;
using Parts::VisibleToplevel;

std::vector<Requester> gRequesters;

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

void Parts::ForgetRequesters() { gRequesters.clear(); }

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

namespace Detail {

void SendKeyTo(GtkWidget* window, guint keyval, GdkModifierType mods) {
  Parts::SendKey(window, keyval, mods);
}
bool UsableControl(int control) { return Parts::Usable(control); }
GtkFileChooser* OpenFileRequester() { return OpenRequester(); }

}  // namespace Detail

}  // namespace Robot
