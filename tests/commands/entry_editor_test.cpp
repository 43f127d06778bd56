// Stories of the entry editor: adding with a generated password, editing, cancelling after
// changing the generator, the idle lock while the editor is open, and fields a box cannot
// show whole.
#include "commands/entry_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "app/dialog_window.h"
#include "app/entry_list.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/secret_field.h"
#include "app/status_bar.h"
#include "commands/password_dialog.h"
#include "common/settings.h"
#include "tests/support/gui_story.h"
#include "tests/support/story_checks.h"
#include "tests/support/story_texts.h"

// Last: Xlib's macros would clash with the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

using namespace Commands;
using Robot::Messages;

class EntryEditorStory : public GuiStory {
 protected:
  // The entries the vault file holds now.
  std::vector<Vault::Entry> OnDisk(const std::string& password = "pw") {
    std::vector<Vault::Entry> list;
    if (Vault::OpenVault(VaultFile(), password) == Vault::Ok) list = Vault::Entries();
    Vault::CloseVault();
    return list;
  }
  Common::Settings SettingsOnDisk() {
    return Common::ParseSettings(TestFiles::ReadFile(SettingsFile()));
  }
};

std::vector<int> gChangedRows;

using Labels = std::vector<std::string>;
using StoryCheck::LabelledBy;

TEST_F(EntryEditorStory, AddAnEntryWithAGeneratedPassword) {
  GivenVault("pw", {});
  LogInWith("pw", 0);
  Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
  Robot::WaitWindow(Pick("New password", "Nieuw wachtwoord"));
  Robot::Do("an empty form with the generator's defaults", [] {
    EXPECT_FALSE(Robot::Enabled(EntryOkButton));
    EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(App::DialogWindowWidget())),
              App::ControlWidget(DescriptionField));
    EXPECT_FALSE(gtk_entry_get_visibility(GTK_ENTRY(App::ControlWidget(EntryPasswordField))));
    for (int box : {DigitsBox, LowerBox, UpperBox, SymbolsBox}) EXPECT_TRUE(Robot::Ticked(box));
    EXPECT_EQ(Robot::FieldText(LengthSpin), "20");
    EXPECT_EQ(LabelledBy(DescriptionField), Labels{Pick("Description *", "Omschrijving *")});
    EXPECT_EQ(LabelledBy(UrlEntryField), Labels{"URL"});
    EXPECT_EQ(LabelledBy(UserNameField), Labels{Pick("User name", "Gebruikersnaam")});
    EXPECT_EQ(LabelledBy(EntryPasswordField), Labels{Pick("Password", "Wachtwoord")});
    EXPECT_EQ(LabelledBy(LengthSpin), Labels{Pick("Length:", "Lengte:")});
    const std::vector<GtkWidget*> controls = StoryCheck::PlacedControls(App::DialogWindowWidget());
    for (GtkWidget* control : controls) EXPECT_TRUE(StoryCheck::GetsItsBox(control));
    EXPECT_EQ(controls.size(), 18u);
  });
  Robot::Type(DescriptionField, "   ");
  Robot::Do("spaces are no description", [] { EXPECT_FALSE(Robot::Enabled(EntryOkButton)); });
  Robot::Type(DescriptionField, "  mail\t ");
  Robot::Do("a description enables OK", [] { EXPECT_TRUE(Robot::Enabled(EntryOkButton)); });
  Robot::Type(LengthSpin, "200");
  Robot::Click(GenerateButton);
  Robot::Do("the length is clamped to 128", [] {
    EXPECT_EQ(Robot::FieldText(LengthSpin), "128");
    EXPECT_EQ(Robot::FieldText(EntryPasswordField).size(), 128u);
    // Hidden also when generated.
    EXPECT_FALSE(gtk_entry_get_visibility(GTK_ENTRY(App::ControlWidget(EntryPasswordField))));
  });
  Robot::Type(LengthSpin, "1");
  Robot::Click(GenerateButton);
  Robot::Do("and up to 4", [] {
    EXPECT_EQ(Robot::FieldText(LengthSpin), "4");
    EXPECT_EQ(Robot::FieldText(EntryPasswordField).size(), 4u);
  });
  auto generated = std::make_shared<std::string>();
  Robot::Do("remember the password",
            [generated] { *generated = Robot::FieldText(EntryPasswordField); });
  Robot::Type(UrlEntryField, " https://mail.example ");
  Robot::Type(UserNameField, " ann ");
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitStatus(Pick("Added: mail\t (1 passwords)", "Toegevoegd: mail\t (1 wachtwoorden)"));
  Robot::Do("the new entry is listed and selected", [] {
    EXPECT_EQ(Robot::ListRows(), std::vector<std::string>{"mail\t"});
    EXPECT_EQ(Robot::SelectedRow(), 0);
    EXPECT_EQ(Robot::FieldText(App::UserField), " ann ");
    EXPECT_EQ(Robot::FieldText(App::PasswordField), "●●●●●●●●●●");
  });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_TRUE(Messages().empty());
  const std::vector<Vault::Entry> disk = OnDisk();
  ASSERT_EQ(disk.size(), 1u);
  EXPECT_EQ(disk[0].Omschrijving, "mail\t");
  EXPECT_EQ(disk[0].Url, "https://mail.example");
  EXPECT_EQ(disk[0].Gebruiker, " ann ");
  EXPECT_EQ(disk[0].Wachtwoord, *generated);
  EXPECT_EQ(SettingsOnDisk().GenLengte, 4);
}

TEST_F(EntryEditorStory, EditAnEntryAndSeeTheRowAndDetailsChange) {
  GivenVault("pw", {{"mail", "https://mail.example", "ann", "old"}, {"bank", "", "bob", "1234"}});
  LogInWith("pw", 2);
  Robot::ChooseMenu(App::MenuShowPasswords);
  Robot::Do("watch the list", [] {
    gChangedRows.clear();
    StoryCheck::WatchChangedRows(&gChangedRows);
  });
  Robot::DoubleClickRow(1);
  Robot::WaitWindow(Pick("Edit password", "Wijzig wachtwoord"));
  Robot::Do("the entry's fields, the password readable", [] {
    EXPECT_EQ(Robot::FieldText(DescriptionField), "bank");
    EXPECT_EQ(Robot::FieldText(UserNameField), "bob");
    EXPECT_EQ(Robot::FieldText(EntryPasswordField), "1234");
    EXPECT_TRUE(gtk_entry_get_visibility(GTK_ENTRY(App::ControlWidget(EntryPasswordField))));
    EXPECT_TRUE(Robot::Enabled(EntryOkButton));
  });
  Robot::Type(DescriptionField, "  ");
  Robot::PressKey(GDK_KEY_Return);  // Return works while OK is disabled: it warns
  Robot::AnswerMessage(Pick("A description is required.", "Een omschrijving is verplicht."),
                       GTK_MESSAGE_WARNING);
  Robot::Do("the focus is back in the description", [] {
    EXPECT_FALSE(Robot::Enabled(EntryOkButton));
    EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(App::DialogWindowWidget())),
              App::ControlWidget(DescriptionField));
  });
  Robot::Type(DescriptionField, "bank two");
  Robot::Type(EntryPasswordField, " 5678 ");
  Robot::Click(EntryOkButton);
  Robot::Step(
      "the editor closes", [] { return App::DialogWindowWidget() == nullptr; },
      [] {
        EXPECT_EQ(Robot::ListRows(), (std::vector<std::string>{"mail", "bank two"}));
        EXPECT_EQ(gChangedRows, std::vector<int>{1});
        EXPECT_EQ(Robot::SelectedRow(), 1);
        EXPECT_EQ(Robot::FieldText(App::PasswordField), " 5678 ");
        EXPECT_EQ(Robot::StatusText(), StoryText::LoggedIn(2));
      });
  Robot::DoubleClickBelowRows();
  Robot::Pause(300);
  Robot::Do("a double click below the rows edits nothing",
            [] { EXPECT_EQ(App::DialogWindowWidget(), nullptr); });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].title, Pick("Edit password", "Wijzig wachtwoord"));
  const std::vector<Vault::Entry> disk = OnDisk();
  ASSERT_EQ(disk.size(), 2u);
  EXPECT_EQ(disk[1].Omschrijving, "bank two");
  EXPECT_EQ(disk[1].Gebruiker, "bob");
  EXPECT_EQ(disk[1].Wachtwoord, " 5678 ");
  EXPECT_EQ(disk[0].Wachtwoord, "old");
}

TEST_F(EntryEditorStory, CancelKeepsTheEntryButRemembersTheGenerator) {
  GivenVault("pw", {{"mail", "", "ann", "old"}});
  TestFiles::WriteFile(SettingsFile(), "GenLengte=300\n");  // shown clamped
  LogInWith("pw", 1);
  const std::string before = TestFiles::ReadFile(VaultFile());
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitWindow(Pick("Edit password", "Wijzig wachtwoord"));
  Robot::Do("a stored length is shown clamped",
            [] { EXPECT_EQ(Robot::FieldText(LengthSpin), "128"); });
  Robot::Toggle(DigitsBox);
  Robot::Toggle(SymbolsBox);
  Robot::Type(LengthSpin, "33");
  Robot::Type(DescriptionField, "changed");
  Robot::Click(EntryCancelButton);
  Robot::Step(
      "the editor closes", [] { return App::DialogWindowWidget() == nullptr; },
      [this, before] {
        EXPECT_EQ(Robot::ListRows(), std::vector<std::string>{"mail"});
        EXPECT_EQ(TestFiles::ReadFile(VaultFile()), before);
        const Common::Settings s = SettingsOnDisk();
        EXPECT_EQ(s.GenCijfers, 0);
        EXPECT_EQ(s.GenKlein, 1);
        EXPECT_EQ(s.GenHoofd, 1);
        EXPECT_EQ(s.GenLeestekens, 0);
        EXPECT_EQ(s.GenLengte, 33);
      });
  Robot::ChooseMenu(App::MenuNew);
  Robot::WaitWindow(Pick("New password", "Nieuw wachtwoord"));
  Robot::Do("the next editor shows the changed generator", [] {
    EXPECT_FALSE(Robot::Ticked(DigitsBox));
    EXPECT_TRUE(Robot::Ticked(LowerBox));
    EXPECT_EQ(Robot::FieldText(LengthSpin), "33");
  });
  Robot::Toggle(LowerBox);
  Robot::Toggle(UpperBox);
  Robot::Type(EntryPasswordField, "kept");
  Robot::Click(GenerateButton);
  Robot::AnswerMessage(
      Pick("Choose at least one kind of character.", "Kies minstens een soort tekens."),
      GTK_MESSAGE_WARNING);
  Robot::Do("no kind chosen leaves the password",
            [] { EXPECT_EQ(Robot::FieldText(EntryPasswordField), "kept"); });
  Robot::CloseWindow(Pick("New password", "Nieuw wachtwoord"));
  Robot::Step(
      "the editor closes", [] { return App::DialogWindowWidget() == nullptr; },
      [this, before] {
        EXPECT_EQ(TestFiles::ReadFile(VaultFile()), before);
        EXPECT_EQ(SettingsOnDisk().GenKlein, 0);
      });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].title, Pick("New password", "Nieuw wachtwoord"));
}

TEST_F(EntryEditorStory, AnIdleLockClosesTheEditorWithoutChanges) {
  GivenVault("pw", {{"one", "", "", "p1"}});
  LogInWith("pw", 1);
  const std::string before = TestFiles::ReadFile(VaultFile());
  Robot::ChooseMenu(App::MenuEdit);
  Robot::WaitWindow(Pick("Edit password", "Wijzig wachtwoord"));
  Robot::Type(DescriptionField, "two");
  Robot::Toggle(UpperBox);
  Robot::MoveClock(61000);
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::Do("the editor is gone and the generator choice kept", [this] {
    EXPECT_EQ(Robot::FindWindow(Pick("Edit password", "Wijzig wachtwoord")), nullptr);
    EXPECT_EQ(SettingsOnDisk().GenHoofd, 0);
  });
  LogInWith("pw", 1);
  Robot::Do("the entry is unchanged",
            [] { EXPECT_EQ(Robot::ListRows(), std::vector<std::string>{"one"}); });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(TestFiles::ReadFile(VaultFile()), before);
}

// Another program that can take the PRIMARY selection, over its own connection to X.
struct OtherProgram {
  Display* display = XOpenDisplay(nullptr);
  Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  void TakePrimary() const {
    XSetSelectionOwner(display, XA_PRIMARY, window, CurrentTime);
    XSync(display, False);
  }
  ~OtherProgram() { XCloseDisplay(display); }
  bool HoldsPrimary() const { return XGetSelectionOwner(display, XA_PRIMARY) == window; }
};

// Fields a text box cannot hold whole stay as they are through an OK that changes nothing;
// a changed one takes its new text. Tabbing into the shown password and selecting it all
// leaves the PRIMARY selection with its owner.
TEST_F(EntryEditorStory, FieldsTheBoxCannotShowWholeAreKept) {
  std::string password(70000, 'p');
  for (size_t i = 0; i < password.size(); i += 7) password[i] = static_cast<char>('a' + i % 26);
  const std::string user("ann\0bob", 7);
  const std::string url = "https://x.example/\xED\xA0\x80";  // a lone surrogate, as read
  const Vault::Entry stored{"mail", url, user, password};
  GivenVault("pw", {stored});
  OtherProgram other;
  Robot::Do("the other program selects something", [&other] { other.TakePrimary(); });
  Robot::Type(MasterPasswordField, "pw");
  Robot::PressKey(GDK_KEY_a, GDK_CONTROL_MASK);
  Robot::Pause(200);
  Robot::Do("the master password's bullets do not take PRIMARY",
            [&other] { EXPECT_TRUE(other.HoldsPrimary()); });
  LogInWith("pw", 1);
  Robot::ChooseMenu(App::MenuShowPasswords);
  Robot::Do("the details show U+FFFD for the lone surrogate",
            [] { EXPECT_EQ(Robot::FieldText(App::UrlField), "https://x.example/\xEF\xBF\xBD"); });
  Robot::ChooseMenu(App::MenuEdit);
  Robot::WaitWindow(Pick("Edit password", "Wijzig wachtwoord"));
  Robot::Do("the boxes show what they can, and say the rest is kept", [] {
    EXPECT_EQ(Robot::FieldText(UrlEntryField), "https://x.example/\xEF\xBF\xBD");
    EXPECT_EQ(Robot::FieldText(UserNameField), "ann");
    EXPECT_LT(Robot::FieldText(EntryPasswordField).size(), 70000u);
    for (int field : {UrlEntryField, UserNameField, EntryPasswordField}) {
      gchar* tip = gtk_widget_get_tooltip_text(App::ControlWidget(field));
      EXPECT_STREQ(tip, Texts::kText.fieldKeptAsStored) << field;
      g_free(tip);
    }
    EXPECT_FALSE(gtk_widget_get_has_tooltip(App::ControlWidget(DescriptionField)));
  });
  // Tabbing through the user name selects it, and offers it: the other program takes
  // PRIMARY back before the password field gets the focus.
  Robot::PressKey(GDK_KEY_Tab);
  Robot::PressKey(GDK_KEY_Tab);
  Robot::Do("the other program selects something", [&other] { other.TakePrimary(); });
  Robot::PressKey(GDK_KEY_Tab);
  Robot::PressKey(GDK_KEY_a, GDK_CONTROL_MASK);
  Robot::Pause(200);
  Robot::Do("the password has the focus; PRIMARY is still the other program's", [&other] {
    EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(App::DialogWindowWidget())),
              App::ControlWidget(EntryPasswordField));
    EXPECT_TRUE(other.HoldsPrimary());
  });
  Robot::Click(EntryOkButton);
  const std::string firstSave = dir.path + "first-save.lwv";
  Robot::Step(
      "the editor closes; the vault as then written is kept aside",
      [] { return App::DialogWindowWidget() == nullptr; },
      [this, firstSave] { TestFiles::WriteFile(firstSave, TestFiles::ReadFile(VaultFile())); });
  Robot::ChooseMenu(App::MenuEdit);
  Robot::Type(UserNameField, "carol");
  Robot::Click(EntryOkButton);
  Robot::Step(
      "the editor closes again", [] { return App::DialogWindowWidget() == nullptr; }, [] {});
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  const auto same = [](const std::vector<Vault::Entry>& list, const Vault::Entry& b) {
    return list.size() == 1 &&
           std::tie(list[0].Omschrijving, list[0].Url, list[0].Gebruiker, list[0].Wachtwoord) ==
               std::tie(b.Omschrijving, b.Url, b.Gebruiker, b.Wachtwoord);
  };
  ASSERT_EQ(Vault::OpenVault(firstSave, "pw"), Vault::Ok);
  EXPECT_TRUE(same(Vault::Entries(), stored));
  Vault::CloseVault();
  EXPECT_TRUE(same(OnDisk(), {stored.Omschrijving, stored.Url, "carol", stored.Wachtwoord}));
}

// The ways to select the whole of a password field, and to put new text over what is
// selected. X sends a capital's Shift and a paste's Ctrl as key presses of their own first;
// the selection outlives them.
struct Gesture {
  const char* name;
  void (*select)(int field);
  void (*replace)(int field);
  const char* replaced;  // what the field then holds
};
void SelectAll(int) { Robot::PressKey(GDK_KEY_a, GDK_CONTROL_MASK); }
void TypeNew(int field) { Robot::TypeKeys(field, "newpw-9"); }
constexpr Gesture kGestures[] = {
    {"Ctrl+A", SelectAll, TypeNew, "newpw-9"},
    {"End, then Shift+Home",
     [](int) {
       Robot::PressKey(GDK_KEY_End);
       Robot::PressKey(GDK_KEY_Home, GDK_SHIFT_MASK);
     },
     TypeNew, "newpw-9"},
    {"a triple click", [](int field) { Robot::TripleClick(field); }, TypeNew, "newpw-9"},
    {"Ctrl+A, a capital letter first", SelectAll,
     [](int field) { Robot::TypeKeys(field, "Newpw-9"); }, "Newpw-9"},
    {"Ctrl+A, Ctrl+V", SelectAll,
     [](int) {
       Robot::Do("another program copies the new password", [] {
         gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "newpw-9", -1);
       });
       Robot::PressKey(GDK_KEY_v, GDK_CONTROL_MASK);
     },
     "newpw-9"},
};

// Every gesture on the field: "bankpw-1" selected whole and replaced, while the other program
// keeps PRIMARY. (A description field that gets the focus selects its text and takes
// PRIMARY, as any field does; so the other program selects anew first.)
void ReplaceByEveryGesture(int field, const OtherProgram& other) {
  for (const Gesture& gesture : kGestures) {
    Robot::Type(field, "bankpw-1");
    Robot::Do("the other program selects something", [&other] { other.TakePrimary(); });
    gesture.select(field);
    Robot::Do(std::string("the whole text is selected: ") + gesture.name, [field, gesture] {
      int start = -1, end = -1;
      EXPECT_TRUE(App::SecretSelection(App::ControlWidget(field), &start, &end)) << gesture.name;
      EXPECT_EQ(std::pair(start, end), std::pair(0, 8)) << gesture.name << ", field " << field;
    });
    gesture.replace(field);
    const std::string replaced = gesture.replaced;
    Robot::Step(
        std::string("the new text replaced it: ") + gesture.name,
        [field, replaced] { return Robot::FieldText(field).size() >= replaced.size(); },
        [field, gesture, replaced, &other] {
          EXPECT_EQ(Robot::FieldText(field), replaced) << gesture.name << ", field " << field;
          EXPECT_TRUE(other.HoldsPrimary()) << gesture.name << ", field " << field;
        });
  }
}

// Select all and type the new password, in each password field, hidden or shown.
TEST_F(EntryEditorStory, SelectingAPasswordAndTypingReplacesIt) {
  GivenVault("pw", {{"bank", "", "", "bankpw-1"}});
  OtherProgram other;
  ReplaceByEveryGesture(MasterPasswordField, other);
  Robot::Type(MasterPasswordField, "pw");
  Robot::PressKey(GDK_KEY_a, GDK_CONTROL_MASK);
  Robot::PressKey(GDK_KEY_BackSpace);
  Robot::Do("BackSpace took the selection away",
            [] { EXPECT_EQ(Robot::FieldText(MasterPasswordField), ""); });
  Robot::TypeKeys(MasterPasswordField, "pw");
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitStatus(StoryText::LoggedIn(1));
  for (bool shown : {false, true}) {
    if (shown) Robot::ChooseMenu(App::MenuShowPasswords);
    Robot::ChooseMenu(App::MenuEdit);
    Robot::WaitWindow(Pick("Edit password", "Wijzig wachtwoord"));
    ReplaceByEveryGesture(EntryPasswordField, other);
    Robot::PressKey(GDK_KEY_Return);
    Robot::Step(
        "the editor closes", [] { return App::DialogWindowWidget() == nullptr; }, [] {});
  }
  Robot::ChooseMenu(App::MenuChangeMasterPassword);
  ReplaceByEveryGesture(MasterPasswordField, other);
  Robot::Type(MasterPasswordField, "pw");
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitWindow(Pick("Change master password", "Hoofdwachtwoord wijzigen"));
  Robot::Step(
      "the new password is asked for", [] { return App::ControlWidget(RepeatPasswordField); },
      [] {});
  ReplaceByEveryGesture(MasterPasswordField, other);
  ReplaceByEveryGesture(RepeatPasswordField, other);
  Robot::PressKey(GDK_KEY_Escape);
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(OnDisk()[0].Wachtwoord, "newpw-9");
}

}  // namespace
