#include "app/file_requester.h"

#include <gtk/gtk.h>

#include "app/button_labels.h"

namespace App {
namespace {

void NoteDestroyed(GtkWidget*, gpointer destroyed) { *static_cast<bool*>(destroyed) = true; }

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

void AddFilters(GtkFileChooser* chooser, const std::string& filters) {
  bool first = true;
  for (const FileFilter& filter : ParseFilters(filters)) {
    GtkFileFilter* added = gtk_file_filter_new();
    gtk_file_filter_set_name(added, filter.name.c_str());
    for (const std::string& pattern : filter.patterns) {
      gtk_file_filter_add_pattern(added, pattern.c_str());
    }
    gtk_file_chooser_add_filter(chooser, added);  // takes the floating reference
    if (first) gtk_file_chooser_set_filter(chooser, added);
    first = false;
  }
}

void StartAt(GtkFileChooser* chooser, const std::string& path, bool save) {
  if (path.empty()) return;
  if (path.back() == '/') {
    gtk_file_chooser_set_current_folder(chooser, path.c_str());
    return;
  }
  if (!save) {
    gtk_file_chooser_set_filename(chooser, path.c_str());
    return;
  }
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos) {
    gtk_file_chooser_set_current_folder(chooser, path.substr(0, slash + 1).c_str());
  }
  gtk_file_chooser_set_current_name(chooser, path.substr(slash + 1).c_str());
}

std::string Ask(const std::string& title, const std::string& initialPath,
                const std::string& filters, bool save) {
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      title.c_str(), nullptr, save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
      ButtonLabel(StandardButton::Cancel), GTK_RESPONSE_CANCEL,
      ButtonLabel(save ? StandardButton::Save : StandardButton::Open), GTK_RESPONSE_ACCEPT,
      nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  gtk_file_chooser_set_do_overwrite_confirmation(chooser, FALSE);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  AddFilters(chooser, filters);
  StartAt(chooser, initialPath, save);
  // Another program may destroy the requester while it runs; then it is cancelled, and gone.
  bool destroyed = false;
  g_signal_connect(dialog, "destroy", G_CALLBACK(NoteDestroyed), &destroyed);
  g_object_ref(dialog);
  std::string chosen;
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    gchar* path = gtk_file_chooser_get_filename(chooser);
    if (path != nullptr) chosen = path;
    g_free(path);
  }
  if (!destroyed) gtk_widget_destroy(dialog);
  g_object_unref(dialog);
  return chosen;
}

}  // namespace

std::vector<FileFilter> ParseFilters(const std::string& filters) {
  std::vector<FileFilter> result;
  if (filters.empty()) return result;
  const std::vector<std::string> parts = Split(filters, '|');
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    FileFilter filter{parts[i], {}};
    for (const std::string& pattern : Split(parts[i + 1], ';')) {
      if (!pattern.empty()) filter.patterns.push_back(pattern == "*.*" ? "*" : pattern);
    }
    result.push_back(filter);
  }
  return result;
}

std::string AskOpenFile(const std::string& title, const std::string& initialPath,
                        const std::string& filters) {
  return Ask(title, initialPath, filters, false);
}

std::string AskSaveFile(const std::string& title, const std::string& initialPath,
                        const std::string& filters) {
  return Ask(title, initialPath, filters, true);
}

}  // namespace App
