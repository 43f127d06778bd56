#include "commands/password_dialog.h"

#include <gtk/gtk.h>

#include "app/controls.h"
#include "app/dialog_window.h"
#include "app/events.h"
#include "app/main_loop.h"
#include "app/message_box.h"
#include "app/secret_field.h"
#include "common/password_rules.h"
#include "texts/texts.h"

namespace Commands {
namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 125;
constexpr int kRepeatRowHeight = 32;

GtkWidget* NewLabel(const char* text, GtkWidget* field) {
  GtkWidget* label = gtk_label_new(text);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  if (field != nullptr) gtk_label_set_mnemonic_widget(GTK_LABEL(label), field);
  return label;
}

GtkWidget* NewPasswordField() {
  GtkWidget* field = gtk_entry_new();
  gtk_entry_set_visibility(GTK_ENTRY(field), FALSE);
  App::KeepOffPrimary(field);
  return field;
}

enum class Request { None, Confirm, Cancel };

Request Classify(const App::Event& e) {
  if (e.kind == App::EventKind::Close && e.window == App::kDialogWindow) return Request::Cancel;
  if (e.kind == App::EventKind::Menu && e.window == App::kDialogWindow) {
    if (e.object == App::kDialogConfirm) return Request::Confirm;
    if (e.object == App::kDialogCancel) return Request::Cancel;
  }
  if (e.kind == App::EventKind::Control && e.window == App::kDialogWindow) {
    if (e.object == PasswordOkButton) return Request::Confirm;
    if (e.object == PasswordCancelButton) return Request::Cancel;
  }
  return Request::None;
}

void Warn(const std::string& title, const char* text) {
  App::ShowMessageBox(title, text, App::MessageIcon::Warning, App::MessageButtons::Ok);
}

}  // namespace

bool AskMasterPassword(const std::string& title, const std::string& prompt, bool confirm,
                       std::string& password) {
  const Texts::Table& t = Texts::kText;
  const int height = kHeight + (confirm ? kRepeatRowHeight : 0);
  App::OpenDialogWindow(title, kWidth, height);

  GtkWidget* promptLabel = gtk_label_new(prompt.c_str());
  gtk_label_set_xalign(GTK_LABEL(promptLabel), 0.0f);
  gtk_label_set_yalign(GTK_LABEL(promptLabel), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(promptLabel), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(promptLabel), 1);  // wrap at the given width
  // A slightly smaller font keeps the longest prompt inside its two-line box.
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_scale_new(PANGO_SCALE_SMALL));
  gtk_label_set_attributes(GTK_LABEL(promptLabel), attributes);
  pango_attr_list_unref(attributes);
  App::PlaceDialogControl(promptLabel, -1, 10, 10, 360, 36);
  GtkWidget* field = NewPasswordField();
  App::PlaceDialogControl(NewLabel(t.passwordLabel, field), -1, 10, 55, 110, 20);
  App::PlaceDialogControl(field, MasterPasswordField, 120, 52, 250, 24);
  GtkWidget* repeat = nullptr;
  if (confirm) {
    repeat = NewPasswordField();
    App::PlaceDialogControl(NewLabel(t.repeatLabel, repeat), -1, 10, 87, 110, 20);
    App::PlaceDialogControl(repeat, RepeatPasswordField, 120, 84, 250, 24);
  }
  GtkWidget* ok = gtk_button_new_with_label(t.okButton);
  GtkWidget* cancel = gtk_button_new_with_label(t.cancelButton);
  App::PlaceDialogControl(ok, PasswordOkButton, 180, height - 38, 90, 28);
  App::PlaceDialogControl(cancel, PasswordCancelButton, 280, height - 38, 90, 28);
  App::ConnectDialogButton(ok, PasswordOkButton);
  App::ConnectDialogButton(cancel, PasswordCancelButton);
  gtk_widget_show_all(App::DialogWindowWidget());
  gtk_widget_grab_focus(field);

  bool accepted = false;
  for (bool settled = false; !settled;) {
    const App::Event event = App::WaitEvent();
    App::ActivityHook(event);
    const Request request = App::LockIsDue() ? Request::Cancel : Classify(event);
    if (request == Request::Cancel) {
      settled = true;
    } else if (request == Request::Confirm) {
      const std::string_view text = gtk_entry_get_text(GTK_ENTRY(field));
      const std::string_view again = confirm ? gtk_entry_get_text(GTK_ENTRY(repeat)) : "";
      switch (CheckMasterPassword(text, again, confirm)) {
        case PasswordProblem::Empty:
          Warn(title, t.enterPassword);
          break;
        case PasswordProblem::TooShort:
          Warn(title, t.passwordTooShort);
          break;
        case PasswordProblem::Differs:
          Warn(title, t.passwordsDiffer);
          gtk_entry_set_text(GTK_ENTRY(repeat), "");
          gtk_widget_grab_focus(repeat);
          break;
        case PasswordProblem::None:
          password.assign(text);
          accepted = settled = true;
          break;
      }
    }
  }
  // The entry buffers wipe their text when the window is destroyed.
  App::CloseDialogWindow();
  return accepted;
}

}  // namespace Commands
