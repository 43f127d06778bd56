#include "commands/password_dialog.h"

#include <gtk/gtk.h>

#include "app/dialog_loop.h"
#include "app/dialog_window.h"
#include "app/labels.h"
#include "app/message_box.h"
#include "app/secret_field.h"
#include "app/status_bar.h"
#include "common/password_rules.h"
#include "texts/texts.h"

namespace Commands {
namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 125;
constexpr int kRepeatRowHeight = 32;

enum class Request { None, Confirm, Cancel };

constexpr App::DialogRow<Request> kRows[] = {
    {.event = App::DialogKey(App::kDialogConfirm), .request = Request::Confirm},
    {.event = App::DialogKey(App::kDialogCancel), .request = Request::Cancel},
    {.event = App::DialogControl(PasswordOkButton), .request = Request::Confirm},
    {.event = App::DialogControl(PasswordCancelButton), .request = Request::Cancel},
};

// The fields the user types into; repeat only when the password is confirmed.
struct Fields {
  GtkWidget* password;
  GtkWidget* repeat;
};

// A hidden password field with its label in front of it, in the row at y.
GtkWidget* AddPasswordField(int number, const char* label, int y) {
  GtkWidget* field = gtk_entry_new();
  gtk_entry_set_visibility(GTK_ENTRY(field), FALSE);
  App::KeepOffPrimary(field);
  App::PlaceDialogControl(App::NewLabel(label, field), -1, 10, y + 3, 110, 20);
  App::PlaceDialogControl(field, number, 120, y, 250, 24);
  return field;
}

Fields BuildDialog(const std::string& title, const std::string& prompt, bool confirm) {
  const Texts::Table& t = Texts::kText;
  const int height = kHeight + (confirm ? kRepeatRowHeight : 0);
  App::OpenDialogWindow(title, kWidth, height);
  GtkWidget* promptLabel = App::NewTextLabel(prompt.c_str());
  // A slightly smaller font keeps the longest prompt inside its two-line box.
  App::SetLabelAttribute(promptLabel, pango_attr_scale_new(PANGO_SCALE_SMALL));
  App::PlaceDialogControl(promptLabel, -1, 10, 10, 360, 36);
  Fields fields{AddPasswordField(MasterPasswordField, t.passwordLabel, 52), nullptr};
  if (confirm) fields.repeat = AddPasswordField(RepeatPasswordField, t.repeatLabel, 84);
  App::AddDialogButton(PasswordOkButton, t.okButton, 180, height - 38, 90, 28);
  App::AddDialogButton(PasswordCancelButton, t.cancelButton, 280, height - 38, 90, 28);
  App::ShowDialogWindow(fields.password);
  return fields;
}

// Takes the typed password if it passes the rules, else says what is wrong. Secret: the
// caller owns password.
bool TakePassword(const std::string& title, const Fields& fields, std::string& password) {
  const bool confirm = fields.repeat != nullptr;
  const std::string_view text = gtk_entry_get_text(GTK_ENTRY(fields.password));
  const std::string_view again = confirm ? gtk_entry_get_text(GTK_ENTRY(fields.repeat)) : "";
  const Common::PasswordProblem problem = Common::CheckMasterPassword(text, again, confirm);
  if (problem != Common::PasswordProblem::None) {
    App::ShowWarning(title, PasswordProblemText(problem));
    // A repeat that differs is typed again.
    if (problem == Common::PasswordProblem::Differs) {
      gtk_entry_set_text(GTK_ENTRY(fields.repeat), "");
      gtk_widget_grab_focus(fields.repeat);
    }
    return false;
  }
  password.assign(text);
  return true;
}

}  // namespace

bool AskMasterPassword(const std::string& title, const std::string& prompt, bool confirm,
                       std::string& password) {
  const Fields fields = BuildDialog(title, prompt, confirm);
  bool accepted = false;
  for (Request request = Request::None; request != Request::Cancel && !accepted;) {
    request = App::NextDialogRequest(kRows);
    if (request == Request::Confirm) accepted = TakePassword(title, fields, password);
  }
  // The entry buffers wipe their text when the window is destroyed.
  App::CloseDialogWindow();
  return accepted;
}

bool ReadWithItsPassword(const std::string& path, const std::string& title,
                         const std::string& prompt, std::vector<Vault::Entry>& list,
                         Vault::FileIdentity& seen, Vault::KeyState& keys, std::string& sealed) {
  std::string password;  // secret: wiped right after the read
  if (!AskMasterPassword(title, prompt, false, password)) return false;
  App::SetStatusText(Texts::kText.statusOpeningVault);
  App::PaintNow();
  const Vault::VaultError result = Vault::ReadVaultFile(path, password, keys, list, &seen, &sealed);
  Vault::WipeText(password);
  App::SetStatusText("");
  if (result == Vault::Ok) return true;
  App::ShowWarning(title, Vault::ErrorText(result));
  return false;
}

}  // namespace Commands
