#include "commands/entry_editor.h"

#include <gtk/gtk.h>

#include "app/controls.h"
#include "app/dialog_loop.h"
#include "app/dialog_window.h"
#include "app/entry_list.h"
#include "app/events.h"
#include "app/labels.h"
#include "app/message_box.h"
#include "app/secret_field.h"
#include "app/styles.h"
#include "commands/unsaved_changes.h"
#include "common/blanks.h"
#include "common/editor_fields.h"
#include "common/password_generator.h"
#include "common/settings.h"
#include "texts/texts.h"

namespace Commands {
namespace {

constexpr int kWidth = 440;
constexpr int kFieldX = 130;
constexpr int kFieldWidth = 300;

// The boxes of the entry's fields, in the table's order, one row each from kFirstFieldY.
constexpr int kFieldBoxes[] = {DescriptionField, UrlEntryField, UserNameField, EntryPasswordField};
static_assert(std::size(kFieldBoxes) == Vault::kEntryFieldCount);
constexpr int kFirstFieldY = 10;
constexpr int kFieldRowHeight = 32;
// Below the field rows, whatever their number: the generator's frame, then the buttons.
constexpr int kFrameY =
    kFirstFieldY + static_cast<int>(std::size(kFieldBoxes)) * kFieldRowHeight + 4;
constexpr int kFrameHeight = 140;
constexpr int kButtonsY = kFrameY + kFrameHeight + 13;
constexpr int kButtonHeight = 28;
constexpr int kHeight = kButtonsY + kButtonHeight + 12;

// What each box held once it was filled. Secret: wiped when the dialog closes.
Vault::Entry gGiven;

void OnDescriptionEvent(GtkWidget*, gpointer) {
  App::PostEvent({App::EventKind::Control, App::kDialogWindow, DescriptionField, App::kClicked});
}

gboolean OnDescriptionFocus(GtkWidget* field, GdkEvent*, gpointer) {
  OnDescriptionEvent(field, nullptr);
  return FALSE;
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
  // Screen readers announce each field with its visible label.
  App::PlaceDialogControl(App::NewLabel(label, field), -1, 10, y + 3, 120, 20);
  App::PlaceDialogControl(field, number, kFieldX, y, kFieldWidth, 24);
  return field;
}

GtkWidget* AddCheckBox(int number, const char* label, int x, int y, int64_t on) {
  GtkWidget* box = gtk_check_button_new_with_label(label);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(box), on != 0);
  App::PlaceDialogControl(box, number, x, y, 190, 22);
  return box;
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

// The text fields, filled from the entry; gives back the description field.
GtkWidget* AddEntryFields(const Vault::Entry& entry) {
  GtkWidget* boxes[Vault::kEntryFieldCount];
  for (size_t i = 0; i < Vault::kEntryFieldCount; ++i) {
    const Vault::EntryField& field = Vault::kEntryFields[i];
    boxes[i] = AddField(kFieldBoxes[i], Texts::kText.*field.editorLabel,
                        kFirstFieldY + static_cast<int>(i) * kFieldRowHeight, entry.*field.member,
                        gGiven.*field.member);
  }
  for (size_t i = 0; i < Vault::kEntryFieldCount; ++i) {
    if (!Vault::kEntryFields[i].secret) continue;
    gtk_entry_set_visibility(GTK_ENTRY(boxes[i]), App::PasswordsShown());
    App::KeepOffPrimary(boxes[i]);
  }
  return boxes[Vault::kDescriptionField];
}

// The generator's frame with its choices as the settings keep them; its controls are placed
// from the frame's top.
void AddGenerator() {
  const Texts::Table& t = Texts::kText;
  const Common::Settings& settings = Common::CurrentSettings();
  // The frame first: the controls drawn over it are created after it.
  App::PlaceDialogControl(gtk_frame_new(t.generateFrame), -1, 10, kFrameY, 420, kFrameHeight);
  AddCheckBox(DigitsBox, t.digitsBox, 25, kFrameY + 25, settings.GenCijfers);
  AddCheckBox(LowerBox, t.lowerBox, 25, kFrameY + 51, settings.GenKlein);
  AddCheckBox(UpperBox, t.upperBox, 225, kFrameY + 25, settings.GenHoofd);
  AddCheckBox(SymbolsBox, t.symbolsBox, 225, kFrameY + 51, settings.GenLeestekens);
  // The adjustment clamps a stored length outside the limits; typed text is clamped by the
  // spin field's update, which reads it as a whole number.
  GtkWidget* spin =
      gtk_spin_button_new_with_range(Common::kMinGeneratedLength, Common::kMaxGeneratedLength, 1);
  gtk_spin_button_set_numeric(GTK_SPIN_BUTTON(spin), TRUE);
  gtk_spin_button_set_update_policy(GTK_SPIN_BUTTON(spin), GTK_UPDATE_ALWAYS);
  gtk_entry_set_width_chars(GTK_ENTRY(spin), 0);
  App::StyleCompactSpin(spin);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), static_cast<double>(settings.GenLengte));
  App::PlaceDialogControl(App::NewLabel(t.lengthLabel, spin), -1, 25, kFrameY + 96, 60, 20);
  App::PlaceDialogControl(spin, LengthSpin, 85, kFrameY + 92, 70, 26);
  App::AddDialogButton(GenerateButton, t.generateButton, 300, kFrameY + 91, 115, kButtonHeight);
}

void BuildDialog(const std::string& title, const Vault::Entry& entry) {
  const Texts::Table& t = Texts::kText;
  App::OpenDialogWindow(title, kWidth, kHeight);
  GtkWidget* description = AddEntryFields(entry);
  AddGenerator();
  GtkWidget* ok =
      App::AddDialogButton(EntryOkButton, t.okButton, 240, kButtonsY, 90, kButtonHeight);
  App::AddDialogButton(EntryCancelButton, t.cancelButton, 340, kButtonsY, 90, kButtonHeight);
  gtk_widget_set_sensitive(ok,
                           !Common::TrimBlanks(entry.Omschrijving, Common::Blanks::Spaces).empty());

  g_signal_connect(description, "changed", G_CALLBACK(OnDescriptionEvent), nullptr);
  g_signal_connect(description, "activate", G_CALLBACK(OnDescriptionEvent), nullptr);
  g_signal_connect(description, "focus-in-event", G_CALLBACK(OnDescriptionFocus), nullptr);
  g_signal_connect(description, "focus-out-event", G_CALLBACK(OnDescriptionFocus), nullptr);
  App::ShowDialogWindow(description);
}

enum class Request { None, Confirm, Cancel, Generate, DescriptionChanged };

constexpr App::DialogRow<Request> kRows[] = {
    {.event = App::DialogKey(App::kDialogConfirm), .request = Request::Confirm},
    {.event = App::DialogKey(App::kDialogCancel), .request = Request::Cancel},
    {.event = App::DialogControl(EntryOkButton), .request = Request::Confirm},
    {.event = App::DialogControl(EntryCancelButton), .request = Request::Cancel},
    {.event = App::DialogControl(GenerateButton), .request = Request::Generate},
    {.event = App::DialogControl(DescriptionField), .request = Request::DescriptionChanged},
};

void Generate(const std::string& title) {
  std::string password = Common::GeneratePassword(Length(), Ticked(DigitsBox), Ticked(LowerBox),
                                                  Ticked(UpperBox), Ticked(SymbolsBox));
  if (password.empty()) {
    App::ShowWarning(title, Texts::kText.chooseKind);
    return;
  }
  gtk_entry_set_text(GTK_ENTRY(App::ControlWidget(EntryPasswordField)), password.c_str());
  Vault::WipeText(password);
}

void KeepGeneratorChoices() {
  Common::SaveGeneratorChoices({.length = Length(),
                                .upper = Ticked(UpperBox),
                                .lower = Ticked(LowerBox),
                                .digits = Ticked(DigitsBox),
                                .symbols = Ticked(SymbolsBox)});
}

// Moves a new record into the caller's, wiping the texts either side leaves behind.
void Replace(Vault::Entry& entry, Vault::Entry& typed) {
  Vault::WipeEntry(entry);
  for (const Vault::EntryField& field : Vault::kEntryFields) {
    entry.*field.member = typed.*field.member;
  }
  Vault::WipeEntry(typed);
}

// OK may be pressed only while the description, as it would be stored, is not blank.
void EnableOk(const Vault::Entry& entry) {
  const std::string description =
      Common::FieldOnOk(entry.Omschrijving, gGiven.Omschrijving, Text(DescriptionField), true);
  gtk_widget_set_sensitive(App::ControlWidget(EntryOkButton),
                           !Common::TrimBlanks(description, Common::Blanks::Spaces).empty());
}

// Takes what the fields hold into the entry, unless the description is blank: then says so.
bool TakeEntry(const std::string& title, Vault::Entry& entry) {
  Vault::Entry now;
  for (size_t i = 0; i < Vault::kEntryFieldCount; ++i) {
    now.*Vault::kEntryFields[i].member = Text(kFieldBoxes[i]);
  }
  Vault::Entry typed = Common::EntryOnOk(entry, gGiven, now);
  Vault::WipeEntry(now);
  if (Common::TrimBlanks(typed.Omschrijving, Common::Blanks::Spaces).empty()) {
    Vault::WipeEntry(typed);
    App::ShowWarning(title, Texts::kText.descriptionRequired);
    gtk_widget_grab_focus(App::ControlWidget(DescriptionField));
    return false;
  }
  Replace(entry, typed);
  return true;
}

}  // namespace

bool EditEntryDialog(const std::string& title, Vault::Entry& entry) {
  BuildDialog(title, entry);
  bool accepted = false;
  for (Request request = Request::None; request != Request::Cancel && !accepted;) {
    request = App::NextDialogRequest(kRows);
    if (request == Request::DescriptionChanged) EnableOk(entry);
    if (request == Request::Generate) Generate(title);
    if (request == Request::Confirm) accepted = TakeEntry(title, entry);
  }
  KeepGeneratorChoices();
  Vault::WipeEntry(gGiven);
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
  Vault::WipeEntry(entry);
  App::FillEntryList(static_cast<int>(entries.size()) - 1);
  SaveChange(t.statusAdded + description + " (" + std::to_string(entries.size()) +
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
    App::RefreshRow(i);
    App::RefreshDetails();
    SaveChange("");
  }
  Vault::WipeEntry(entry);
}

}  // namespace Commands
