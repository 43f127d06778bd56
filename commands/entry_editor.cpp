#include "commands/entry_editor.h"

#include <gtk/gtk.h>

#include "app/controls.h"
#include "app/dialog_window.h"
#include "app/entry_list.h"
#include "app/events.h"
#include "app/main_loop.h"
#include "app/message_box.h"
#include "app/secret_field.h"
#include "app/status_bar.h"
#include "common/blanks.h"
#include "common/editor_fields.h"
#include "common/password_generator.h"
#include "common/settings.h"
#include "texts/texts.h"

namespace Commands {
namespace {

constexpr int kWidth = 440;
constexpr int kHeight = 335;
constexpr int kFieldX = 130;
constexpr int kFieldWidth = 300;
constexpr int kSpinStylePriority = 800;
// The theme's spin arrows alone are wider and taller than the field's 70 x 26 box.
constexpr char kSpinStyle[] =
    "spinbutton, spinbutton entry {min-height: 0; padding-top: 0; padding-bottom: 0;} "
    "spinbutton button {min-width: 0; min-height: 0; padding: 0;} "
    "spinbutton entry {min-width: 0; padding-left: 3px; padding-right: 0;}";

// What each box held once it was filled. Secret: wiped when the dialog closes.
Vault::Entry gGiven;

void OnDescriptionEvent(GtkWidget*, gpointer) {
  App::PostEvent({App::EventKind::Control, App::kDialogWindow, DescriptionField, App::kClicked});
}

gboolean OnDescriptionFocus(GtkWidget* field, GdkEvent*, gpointer) {
  OnDescriptionEvent(field, nullptr);
  return FALSE;
}

GtkWidget* NewLabel(const char* text, GtkWidget* field) {
  GtkWidget* label = gtk_label_new(text);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  // Screen readers announce each field with its visible label.
  if (field != nullptr) gtk_label_set_mnemonic_widget(GTK_LABEL(label), field);
  return label;
}

// A text field with its label in front of it, in the row at y, filled with the stored text
// as far as a box can hold it; given receives what it holds. A field the box cannot show
// whole says so in its tooltip, and keeps its stored text unless it is changed.
GtkWidget* AddField(int number, const char* label, int y, const std::string& text,
                    std::string& given) {
  GtkWidget* field = gtk_entry_new();
  gtk_entry_set_width_chars(GTK_ENTRY(field), 0);  // else GTK's own minimum width wins
  std::string shown = Vault::ShownText(text);
  gtk_entry_set_text(GTK_ENTRY(field), shown.c_str());
  Vault::WipeText(shown);
  given = gtk_entry_get_text(GTK_ENTRY(field));
  if (given != text) gtk_widget_set_tooltip_text(field, Texts::kText.fieldKeptAsStored);
  App::PlaceDialogControl(NewLabel(label, field), -1, 10, y + 3, 120, 20);
  App::PlaceDialogControl(field, number, kFieldX, y, kFieldWidth, 24);
  return field;
}

GtkWidget* AddCheckBox(int number, const char* label, int x, int y, int64_t on) {
  GtkWidget* box = gtk_check_button_new_with_label(label);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(box), on != 0);
  App::PlaceDialogControl(box, number, x, y, 190, 22);
  return box;
}

GtkWidget* AddButton(int number, const char* label, int x, int y, int width) {
  GtkWidget* button = gtk_button_new_with_label(label);
  App::PlaceDialogControl(button, number, x, y, width, 28);
  App::ConnectDialogButton(button, number);
  return button;
}

const char* Text(int control) { return gtk_entry_get_text(GTK_ENTRY(App::ControlWidget(control))); }

bool Ticked(int control) {
  return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(App::ControlWidget(control)));
}

// Reads typed text into the value, clamped into the limits, and shows the clamped number.
int Length() {
  GtkSpinButton* spin = GTK_SPIN_BUTTON(App::ControlWidget(LengthSpin));
  gtk_spin_button_update(spin);
  return gtk_spin_button_get_value_as_int(spin);
}

void BuildDialog(const Vault::Entry& entry) {
  const Texts::Table& t = Texts::kText;
  const App::Settings& settings = App::CurrentSettings();
  GtkWidget* description =
      AddField(DescriptionField, t.descriptionLabel, 10, entry.Omschrijving, gGiven.Omschrijving);
  AddField(UrlEntryField, t.entryUrlLabel, 42, entry.Url, gGiven.Url);
  AddField(UserNameField, t.entryUserLabel, 74, entry.Gebruiker, gGiven.Gebruiker);
  GtkWidget* password =
      AddField(EntryPasswordField, t.entryPasswordLabel, 106, entry.Wachtwoord, gGiven.Wachtwoord);
  gtk_entry_set_visibility(GTK_ENTRY(password), App::PasswordsShown());
  App::KeepOffPrimary(password);

  // The frame first: the controls drawn over it are created after it.
  App::PlaceDialogControl(gtk_frame_new(t.generateFrame), -1, 10, 142, 420, 140);
  AddCheckBox(DigitsBox, t.digitsBox, 25, 167, settings.GenCijfers);
  AddCheckBox(LowerBox, t.lowerBox, 25, 193, settings.GenKlein);
  AddCheckBox(UpperBox, t.upperBox, 225, 167, settings.GenHoofd);
  AddCheckBox(SymbolsBox, t.symbolsBox, 225, 193, settings.GenLeestekens);
  // The adjustment clamps a stored length outside the limits; typed text is clamped by the
  // spin field's update, which reads it as a whole number.
  GtkWidget* spin = gtk_spin_button_new_with_range(kMinGeneratedLength, kMaxGeneratedLength, 1);
  gtk_spin_button_set_numeric(GTK_SPIN_BUTTON(spin), TRUE);
  gtk_spin_button_set_update_policy(GTK_SPIN_BUTTON(spin), GTK_UPDATE_ALWAYS);
  gtk_entry_set_width_chars(GTK_ENTRY(spin), 0);
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, kSpinStyle, -1, nullptr);
  gtk_style_context_add_provider(gtk_widget_get_style_context(spin), GTK_STYLE_PROVIDER(css),
                                 kSpinStylePriority);
  g_object_unref(css);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), static_cast<double>(settings.GenLengte));
  App::PlaceDialogControl(NewLabel(t.lengthLabel, spin), -1, 25, 238, 60, 20);
  App::PlaceDialogControl(spin, LengthSpin, 85, 234, 70, 26);
  AddButton(GenerateButton, t.generateButton, 300, 233, 115);

  GtkWidget* ok = AddButton(EntryOkButton, t.okButton, 240, 295, 90);
  AddButton(EntryCancelButton, t.cancelButton, 340, 295, 90);
  gtk_widget_set_sensitive(ok, !App::TrimBlanks(entry.Omschrijving, App::Blanks::Spaces).empty());

  g_signal_connect(description, "changed", G_CALLBACK(OnDescriptionEvent), nullptr);
  g_signal_connect(description, "activate", G_CALLBACK(OnDescriptionEvent), nullptr);
  g_signal_connect(description, "focus-in-event", G_CALLBACK(OnDescriptionFocus), nullptr);
  g_signal_connect(description, "focus-out-event", G_CALLBACK(OnDescriptionFocus), nullptr);
  gtk_widget_show_all(App::DialogWindowWidget());
  gtk_widget_grab_focus(description);
}

enum class Request { None, Confirm, Cancel, Generate, DescriptionChanged };

Request Classify(const App::Event& e) {
  if (e.window != App::kDialogWindow) return Request::None;
  if (e.kind == App::EventKind::Close) return Request::Cancel;
  if (e.kind == App::EventKind::Menu) {
    if (e.object == App::kDialogConfirm) return Request::Confirm;
    if (e.object == App::kDialogCancel) return Request::Cancel;
  }
  if (e.kind == App::EventKind::Control) {
    switch (e.object) {
      case EntryOkButton:
        return Request::Confirm;
      case EntryCancelButton:
        return Request::Cancel;
      case GenerateButton:
        return Request::Generate;
      case DescriptionField:
        return Request::DescriptionChanged;
      default:
        break;
    }
  }
  return Request::None;
}

void Warn(const std::string& title, const char* text) {
  App::ShowMessageBox(title, text, App::MessageIcon::Warning, App::MessageButtons::Ok);
}

void Generate(const std::string& title) {
  std::string password = GeneratePassword(Length(), Ticked(DigitsBox), Ticked(LowerBox),
                                          Ticked(UpperBox), Ticked(SymbolsBox));
  if (password.empty()) {
    Warn(title, Texts::kText.chooseKind);
    return;
  }
  gtk_entry_set_text(GTK_ENTRY(App::ControlWidget(EntryPasswordField)), password.c_str());
  Vault::WipeText(password);
}

void KeepGeneratorChoices() {
  App::SaveGeneratorChoices({.length = Length(),
                             .upper = Ticked(UpperBox),
                             .lower = Ticked(LowerBox),
                             .digits = Ticked(DigitsBox),
                             .symbols = Ticked(SymbolsBox)});
}

// Moves a new record into the caller's, wiping the passwords either side leaves behind.
void Replace(Vault::Entry& entry, Vault::Entry& typed) {
  Vault::WipeText(entry.Wachtwoord);
  entry.Omschrijving = typed.Omschrijving;
  entry.Url = typed.Url;
  entry.Gebruiker = typed.Gebruiker;
  entry.Wachtwoord = typed.Wachtwoord;
  Vault::WipeText(typed.Wachtwoord);
}

}  // namespace

bool EditEntryDialog(const std::string& title, Vault::Entry& entry) {
  App::OpenDialogWindow(title, kWidth, kHeight);
  BuildDialog(entry);
  bool accepted = false;
  for (bool settled = false; !settled;) {
    const App::Event event = App::WaitEvent();
    App::ActivityHook(event);
    const Request request = App::LockIsDue() ? Request::Cancel : Classify(event);
    switch (request) {
      case Request::Cancel:
        settled = true;
        break;
      case Request::DescriptionChanged:
        gtk_widget_set_sensitive(App::ControlWidget(EntryOkButton),
                                 !App::TrimBlanks(FieldOnOk(entry.Omschrijving, gGiven.Omschrijving,
                                                            Text(DescriptionField), true),
                                                  App::Blanks::Spaces)
                                      .empty());
        break;
      case Request::Generate:
        Generate(title);
        break;
      case Request::Confirm: {
        Vault::Entry now{Text(DescriptionField), Text(UrlEntryField), Text(UserNameField),
                         Text(EntryPasswordField)};
        Vault::Entry typed = EntryOnOk(entry, gGiven, now);
        Vault::WipeText(now.Wachtwoord);
        if (App::TrimBlanks(typed.Omschrijving, App::Blanks::Spaces).empty()) {
          Vault::WipeText(typed.Wachtwoord);
          Warn(title, Texts::kText.descriptionRequired);
          gtk_widget_grab_focus(App::ControlWidget(DescriptionField));
        } else {
          Replace(entry, typed);
          accepted = settled = true;
        }
        break;
      }
      case Request::None:
        break;
    }
  }
  KeepGeneratorChoices();
  for (std::string* given :
       {&gGiven.Omschrijving, &gGiven.Url, &gGiven.Gebruiker, &gGiven.Wachtwoord}) {
    Vault::WipeText(*given);
  }
  // The entry buffers wipe their text when the window is destroyed.
  App::CloseDialogWindow();
  return accepted;
}

void AddEntry() {
  if (!Vault::IsVaultOpen()) return;
  const Texts::Table& t = Texts::kText;
  Vault::Entry entry;
  if (!EditEntryDialog(t.newEntryTitle, entry)) return;
  std::vector<Vault::Entry>& entries = Vault::Entries();
  Vault::AppendEntry(entries, entry);
  const std::string description = entry.Omschrijving;
  Vault::WipeText(entry.Wachtwoord);
  Vault::SaveVault();  // a failure is shown by the store; the entry stays in memory
  App::FillEntryList(static_cast<int>(entries.size()) - 1);
  App::SetStatusText(t.statusAdded + description + " (" + std::to_string(entries.size()) +
                     t.statusPasswordsClose);
}

void EditSelectedEntry() {
  const int i = App::SelectedIndex();
  if (i < 0) return;
  Vault::Entry entry = Vault::Entries()[static_cast<size_t>(i)];
  const bool accepted = EditEntryDialog(Texts::kText.editEntryTitle, entry);
  std::vector<Vault::Entry>& entries = Vault::Entries();
  // A lock during the dialog closes the vault: then there is nothing to write back to.
  if (accepted && Vault::IsVaultOpen() && static_cast<size_t>(i) < entries.size()) {
    Replace(entries[static_cast<size_t>(i)], entry);
    Vault::SaveVault();
    App::RefreshRow(i);
    App::RefreshDetails();
  }
  Vault::WipeText(entry.Wachtwoord);
}

}  // namespace Commands
