// Stories of logging in: the first run, wrong passwords, giving up, and the idle lock.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "app/dialog_window.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "commands/entry_editor.h"
#include "commands/password_dialog.h"
#include "tests/support/gui_story.h"
#include "tests/support/story_checks.h"
#include "tests/support/story_texts.h"

namespace {

using Commands::MasterPasswordField;
using Commands::PasswordOkButton;
using Commands::RepeatPasswordField;
using Robot::Messages;

class LoginStory : public GuiStory {};

TEST_F(LoginStory, FirstRunCreatesTheVaultAfterThePasswordChecks) {
  const std::string title = Pick("New vault", "Nieuwe kluis");
  // Four emoji are eight UTF-16 code units: just long enough.
  const std::string emoji = "\xF0\x9F\x94\x91\xF0\x9F\x94\x92\xF0\x9F\x94\x93\xF0\x9F\x94\x94";
  Robot::WaitWindow(title);
  Robot::Do("every control gets the room it was placed in", [] {
    const std::vector<GtkWidget*> controls = StoryCheck::PlacedControls(App::DialogWindowWidget());
    for (GtkWidget* widget : controls) {
      EXPECT_TRUE(StoryCheck::GetsItsBox(widget));
      if (GTK_IS_LABEL(widget)) {  // the wrapped prompt fits its box
        int width = 0, height = 0, needed = 0;
        gtk_widget_get_size_request(widget, &width, &height);
        gtk_widget_get_preferred_height_for_width(widget, width, nullptr, &needed);
        EXPECT_LE(needed, height) << gtk_label_get_text(GTK_LABEL(widget));
      }
    }
    EXPECT_EQ(controls.size(), 7u);  // prompt, two labels, two fields, two buttons
  });
  Robot::Click(PasswordOkButton);  // nothing typed yet
  Robot::AnswerMessage(StoryText::EnterAPassword(), GTK_MESSAGE_WARNING);
  Robot::Type(MasterPasswordField, "seven77");
  Robot::Type(RepeatPasswordField, "seven77");
  Robot::Click(PasswordOkButton);
  Robot::AnswerMessage(StoryText::TooShort(), GTK_MESSAGE_WARNING);
  Robot::Do("both fields keep their text", [] {
    EXPECT_EQ(Robot::FieldText(MasterPasswordField), "seven77");
    EXPECT_EQ(Robot::FieldText(RepeatPasswordField), "seven77");
  });
  Robot::Type(MasterPasswordField, emoji);
  Robot::Type(RepeatPasswordField, "something else");
  Robot::PressKey(GDK_KEY_Return);
  Robot::AnswerMessage(Pick("The passwords do not match.", "De wachtwoorden zijn niet gelijk."),
                       GTK_MESSAGE_WARNING);
  Robot::Do("the repeat field is emptied and has the focus", [&] {
    EXPECT_EQ(Robot::FieldText(MasterPasswordField), emoji);
    EXPECT_EQ(Robot::FieldText(RepeatPasswordField), "");
    EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(App::DialogWindowWidget())),
              App::ControlWidget(RepeatPasswordField));
  });
  Robot::Type(RepeatPasswordField, emoji);
  Robot::PressKey(GDK_KEY_KP_Enter);
  Robot::WaitStatus(StoryText::LoggedIn(0));
  Robot::Do("an empty vault is open", [&] {
    EXPECT_EQ(TestFiles::ReadFile(VaultFile()).size(), 94u);
    EXPECT_TRUE(Robot::ListRows().empty());
    EXPECT_TRUE(Robot::Enabled(App::EntryList));
    EXPECT_TRUE(Robot::MenuEnabled(App::MenuNew));
    EXPECT_FALSE(Robot::MenuEnabled(App::MenuEdit));
    EXPECT_EQ(Robot::StatusText(2), "60 s");
  });
  Robot::ChooseMenu(App::MenuExit);

  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Messages().size(), 3u);
  EXPECT_EQ(Messages()[0].title, title);
  EXPECT_EQ(Vault::CheckVaultFile(VaultFile(), emoji), Vault::Ok);
  EXPECT_EQ(TestFiles::ModeOf(VaultFile()), 0600);
  EXPECT_EQ(TestFiles::ReadFile(SettingsFile()).size(), 105u);
}

TEST_F(LoginStory, WrongPasswordsAskAgainUntilTheRightOne) {
  GivenVault("right password",
             {{"mail", "https://mail.example", "ann", "s3cret"}, {"bank", "", "ann.b", "0000"}});
  for (const char* wrong : {"wrong", "Right password", ""}) {
    Robot::WaitWindow(StoryText::LogInTitle());
    Robot::Type(MasterPasswordField, wrong);
    Robot::PressKey(GDK_KEY_Return);
    if (*wrong == '\0') {
      // The dialog's own warning: nothing typed.
      Robot::AnswerMessage(StoryText::EnterAPassword(), GTK_MESSAGE_WARNING);
      Robot::PressKey(GDK_KEY_Escape);
      break;
    }
    Robot::Step("the warning shows", Robot::MessageBoxOpen,
                [] { EXPECT_EQ(Robot::StatusText(), StoryText::LoggedOut()); });
    Robot::AnswerMessage(StoryText::WrongPassword(), GTK_MESSAGE_WARNING);
  }
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Messages().size(), 3u);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(Messages()[i].title, "Lockwell");
  EXPECT_EQ(Messages()[2].title, StoryText::LogInTitle());
  // Giving up at the first login leaves the settings alone.
  EXPECT_FALSE(TestFiles::Exists(SettingsFile()));

  Robot::Reset();
  LogInWith("right password", 2);
  Robot::Do("the first entry is selected and shown", [] {
    EXPECT_EQ(Robot::ListRows(), (std::vector<std::string>{"mail", "bank"}));
    EXPECT_EQ(Robot::FieldText(App::UrlField), "https://mail.example");
    EXPECT_EQ(Robot::FieldText(App::PasswordField), "●●●●●●●●●●");
  });
  Robot::CloseWindow("Lockwell");
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_TRUE(TestFiles::Exists(SettingsFile()));
}

TEST_F(LoginStory, CancellingTheFirstLoginLeavesTheSettingsUntouched) {
  GivenVault("pw", {});
  const std::string settings = "; mine\nGenLengte=12\n";
  TestFiles::WriteFile(SettingsFile(), settings);
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::CloseWindow(StoryText::LogInTitle());
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(TestFiles::ReadFile(SettingsFile()), settings);
}

TEST_F(LoginStory, IdleLockLogsOutAndAsksAgain) {
  GivenVault("pw", {{"one", "", "", "p1"}, {"two", "", "", "p2"}});
  LogInWith("pw", 2);
  // Twenty idle seconds; then a click restarts the countdown.
  Robot::MoveClock(20000);
  StoryCheck::WaitCountdown("the countdown runs down", 40);
  Robot::ClickRow(1);
  StoryCheck::WaitCountdown("activity restarts the countdown", 60);
  Robot::ChooseMenu(App::MenuShowPasswords);
  // One second short of the idle time the vault stays open; the tick that reaches 60 s,
  // the first to show no countdown, is the one that locks.
  Robot::MoveClock(59000);
  StoryCheck::WaitCountdown("one idle second left", 1);
  Robot::Do("still open", [] { EXPECT_TRUE(Vault::IsVaultOpen()); });
  Robot::MoveClock(1000);
  Robot::Step(
      "the countdown has run out", [] { return Robot::StatusText(2).empty(); },
      [] { EXPECT_TRUE(App::LockIsDue() || !Vault::IsVaultOpen()); });
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::Do("everything of the vault is gone from the window", [] {
    EXPECT_EQ(Robot::StatusText(), StoryText::LoggedOut());
    EXPECT_TRUE(Robot::ListRows().empty());
    EXPECT_EQ(Robot::FieldText(App::PasswordField), "");
    EXPECT_EQ(Robot::StatusText(2), "");
    EXPECT_FALSE(Vault::IsVaultOpen());
    EXPECT_FALSE(Robot::MenuEnabled(App::MenuNew));
  });
  Robot::Type(MasterPasswordField, "pw");
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitStatus(StoryText::LoggedIn(2));
  Robot::Do("back with the first entry, passwords hidden again", [] {
    EXPECT_EQ(Robot::FieldText(App::PasswordField), "●●●●●●●●●●");
    EXPECT_FALSE(App::MenuCheck(App::MenuShowPasswords));
    EXPECT_FALSE(gtk_check_menu_item_get_active(
        GTK_CHECK_MENU_ITEM(App::MenuItemWidget(App::MenuShowPasswords))));
  });
  Robot::MoveClock(61000);
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::PressKey(GDK_KEY_Escape);  // giving up after a lock ends the program normally
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(TestFiles::ReadFile(SettingsFile()).size(), 105u);
}

TEST_F(LoginStory, AFileThatIsNoVaultKeepsAskingAndAFolderCannotBeCreated) {
  TestFiles::WriteFile(VaultFile(), "");
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::Type(MasterPasswordField, "anything");
  Robot::PressKey(GDK_KEY_Return);
  Robot::AnswerMessage(StoryText::NotAVault(), GTK_MESSAGE_WARNING);
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::PressKey(GDK_KEY_Escape);
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Messages().size(), 1u);

  // A folder where the vault should be: the creation path is taken and fails.
  Robot::Reset();
  std::remove(VaultFile().c_str());
  ASSERT_EQ(mkdir(VaultFile().c_str(), 0700), 0);
  Robot::WaitWindow(Pick("New vault", "Nieuwe kluis"));
  Robot::Type(MasterPasswordField, "long enough");
  Robot::Type(RepeatPasswordField, "long enough");
  Robot::PressKey(GDK_KEY_Return);
  Robot::AnswerMessage(
      Pick("Creating the vault failed: ", "Kluis aanmaken mislukt: ") + StoryText::FileError(),
      GTK_MESSAGE_ERROR);
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_FALSE(TestFiles::Exists(SettingsFile()));
}

TEST_F(LoginStory, MovingTheMouseCountsOnlyWhileTheProgramHasTheFocus) {
  GivenVault("pw", {});
  LogInWith("pw", 0);
  Robot::Do("another application has the focus", [] {
    Robot::FocusProgram(false);
    Robot::MovePointer(5, 5);  // outside the program's windows
  });
  Robot::Step(
      "the program has lost the focus",
      [] { return !gtk_window_has_toplevel_focus(GTK_WINDOW(App::MainWindowWidget())); }, [] {});
  Robot::MoveClock(20000);
  StoryCheck::WaitCountdown("the countdown runs", 40);
  Robot::Do("the mouse moves elsewhere on the desktop", [] { Robot::MovePointer(30, 30); });
  Robot::Pause(600);
  Robot::Do("that is not activity", [] { EXPECT_EQ(Robot::StatusText(2), "40 s"); });
  Robot::Do("the user comes back to the program", [] { Robot::FocusProgram(true); });
  Robot::Step(
      "the program has the focus",
      [] { return gtk_window_has_toplevel_focus(GTK_WINDOW(App::MainWindowWidget())); },
      [] { Robot::MovePointer(60, 60); });
  StoryCheck::WaitCountdown("moving the mouse restarts the countdown", 60);
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

// A step that waits until the idle countdown has run down to seconds or below.
void WaitCountdownAtMost(int seconds) {
  Robot::Step(
      "the countdown at " + std::to_string(seconds) + " s or less",
      [seconds] {
        const std::string shown = Robot::StatusText(2);
        return !shown.empty() && std::stoi(shown) <= seconds;
      },
      [] {});
}

// Someone who types slowly and never touches the mouse: each key restarts the countdown, in
// every field of the editor and in the main window, so nothing locks in their face.
TEST_F(LoginStory, TypingWithoutTheMouseIsActivityEverywhere) {
  GivenVault("pw", {{"one", "", "", ""}, {"two", "", "", ""}});
  LogInWith("pw", 2);
  Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
  Robot::WaitWindow(Pick("New password", "Nieuw wachtwoord"));
  for (int field : {Commands::DescriptionField, Commands::UrlEntryField, Commands::UserNameField,
                    Commands::EntryPasswordField}) {
    Robot::MoveClock(45000);
    WaitCountdownAtMost(15);
    Robot::TypeKeys(field, "abc");
    StoryCheck::WaitCountdown("typing restarts the countdown", 60);
  }
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitStatus(Pick("Added: abc (3 passwords)", "Toegevoegd: abc (3 wachtwoorden)"));
  for (guint key : {GDK_KEY_Tab, GDK_KEY_Left, GDK_KEY_Tab, GDK_KEY_Right}) {
    Robot::MoveClock(45000);
    WaitCountdownAtMost(15);
    Robot::PressKey(key);
    StoryCheck::WaitCountdown("a key in the main window restarts the countdown", 60);
  }
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Vault::OpenVault(VaultFile(), "pw"), Vault::Ok);
  ASSERT_EQ(Vault::Entries().size(), 3u);
  const Vault::Entry& typed = Vault::Entries()[2];
  EXPECT_EQ(typed.Omschrijving + typed.Url + typed.Gebruiker + typed.Wachtwoord, "abcabcabcabc");
  Vault::CloseVault();
}

}  // namespace
