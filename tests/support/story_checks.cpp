#include "tests/support/story_checks.h"

#include "app/controls.h"
#include "app/main_window.h"
#include "commands/dialog_controls.h"
#include "commands/password_dialog.h"
#include "tests/support/robot.h"
#include "tests/support/story_texts.h"

namespace StoryCheck {

std::vector<GtkWidget*> PlacedControls(GtkWidget* window) {
  std::vector<GtkWidget*> controls;
  GList* children = gtk_container_get_children(GTK_CONTAINER(gtk_bin_get_child(GTK_BIN(window))));
  for (GList* c = children; c != nullptr; c = c->next) controls.push_back(GTK_WIDGET(c->data));
  g_list_free(children);
  return controls;
}

::testing::AssertionResult GetsItsBox(GtkWidget* widget) {
  int width = 0, height = 0;
  gtk_widget_get_size_request(widget, &width, &height);
  const int givenWidth = gtk_widget_get_allocated_width(widget);
  const int givenHeight = gtk_widget_get_allocated_height(widget);
  if (givenWidth == width && givenHeight == height) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure();
  failure << G_OBJECT_TYPE_NAME(widget);
  if (GTK_IS_LABEL(widget)) failure << " \"" << gtk_label_get_text(GTK_LABEL(widget)) << "\"";
  return failure << " was placed in " << width << "x" << height << " but got " << givenWidth << "x"
                 << givenHeight;
}

std::vector<std::string> LabelledBy(int control) {
  AtkRelationSet* relations =
      atk_object_ref_relation_set(gtk_widget_get_accessible(App::ControlWidget(control)));
  AtkRelation* by = atk_relation_set_get_relation_by_type(relations, ATK_RELATION_LABELLED_BY);
  std::vector<std::string> names;
  GPtrArray* targets = by != nullptr ? atk_relation_get_target(by) : nullptr;
  for (guint i = 0; targets != nullptr && i < targets->len; ++i) {
    const char* name = atk_object_get_name(ATK_OBJECT(g_ptr_array_index(targets, i)));
    names.push_back(name != nullptr ? name : "");
  }
  g_object_unref(relations);
  return names;
}

void WatchChangedRows(std::vector<int>* rows) {
  GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(App::ControlWidget(App::EntryList)));
  g_signal_connect(
      model, "row-changed",
      G_CALLBACK(+[](GtkTreeModel*, GtkTreePath* path, GtkTreeIter*, gpointer seen) {
        static_cast<std::vector<int>*>(seen)->push_back(gtk_tree_path_get_indices(path)[0]);
      }),
      rows);
}

void WaitRows(const std::string& what, const std::vector<std::string>& rows,
              std::function<void()> act) {
  Robot::Step(
      what, [rows] { return Robot::ListRows() == rows; }, std::move(act));
}

void WaitCountdown(const std::string& what, int seconds) {
  const std::string shown = std::to_string(seconds) + " s";
  Robot::Step(
      what, [shown] { return Robot::StatusText(2) == shown; }, [] {});
}

void LogInRefused(const std::string& password, std::source_location where) {
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::Type(Commands::MasterPasswordField, password);
  Robot::PressKey(GDK_KEY_Return);
  Robot::AnswerMessage(StoryText::WrongPassword(), GTK_MESSAGE_WARNING, GTK_RESPONSE_OK, where);
}

void AddEntryInWindow(const std::string& description, size_t count) {
  Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
  Robot::WaitWindow(Pick("New password", "Nieuw wachtwoord"));
  Robot::Type(Commands::DescriptionField, description);
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitStatus(Pick("Added: ", "Toegevoegd: ") + description + " (" + std::to_string(count) +
                    Pick(" passwords)", " wachtwoorden)"));
}

}  // namespace StoryCheck
