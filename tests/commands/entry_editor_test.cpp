// Stories of the entry editor: adding with a generated password, editing, cancelling after
// changing the generator, the idle lock while the editor is open, and fields a box cannot
// show whole.
#include "commands/entry_editor.h"

#include <gtest/gtest.h>

#include <tuple>

#include "app/dialog_window.h"
#include "app/entry_list.h"
#include "app/main_window.h"
#include "app/menus.h"
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

}  // namespace
