// The master password dialog on its own, over a real main window.
#include "commands/password_dialog.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/dialog_window.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "tests/support/gui_story.h"
#include "tests/support/story_texts.h"

namespace {

using Commands::AskMasterPassword;
using Commands::MasterPasswordField;
using Commands::PasswordCancelButton;
using Commands::PasswordOkButton;
using Commands::RepeatPasswordField;

class PasswordDialog : public GuiStory {
 protected:
  void SetUp() override {
    GuiStory::SetUp();
    gtk_init(nullptr, nullptr);
    App::ResetMainLoop();
    App::CreateMainWindow();
  }
  void TearDown() override {
    App::DestroyWindows();
    Vault::CloseVault();
  }
  const std::string title = "Change master password";
};

TEST_F(PasswordDialog, OneFieldAcceptsAnyNonEmptyTextAndCancelLeavesTheOutput) {
  struct Case {
    std::string what;
    std::function<void()> user;
    bool accepted;
    std::string password;
  };
  const Case cases[] = {
      {"one character",
       [] {
         Robot::Type(MasterPasswordField, "x");
         Robot::Click(PasswordOkButton);
       },
       true, "x"},
      {"spaces only",
       [] {
         Robot::Type(MasterPasswordField, "   ");
         Robot::PressKey(GDK_KEY_Return);
       },
       true, "   "},
      {"Escape",
       [] {
         Robot::Type(MasterPasswordField, "typed");
         Robot::PressKey(GDK_KEY_Escape);
       },
       false, "untouched"},
      {"Cancel",
       [] {
         Robot::Type(MasterPasswordField, "typed");
         Robot::Click(PasswordCancelButton);
       },
       false, "untouched"},
      {"the close button",
       [this] {
         Robot::Type(MasterPasswordField, "typed");
         Robot::CloseWindow(title);
       },
       false, "untouched"},
  };
  for (const Case& c : cases) {
    Robot::Reset();
    Robot::WaitWindow(title);
    Robot::Do("one field only, the focus in it", [] {
      EXPECT_EQ(App::ControlWidget(RepeatPasswordField), nullptr);
      EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(App::DialogWindowWidget())),
                App::ControlWidget(MasterPasswordField));
      EXPECT_FALSE(gtk_widget_get_sensitive(App::MainWindowWidget()));
    });
    c.user();
    std::string password = "untouched";
    EXPECT_EQ(AskMasterPassword(title, "Enter the current master password.", false, password),
              c.accepted)
        << c.what;
    EXPECT_EQ(password, c.password) << c.what;
    EXPECT_TRUE(Robot::Done()) << c.what;
    EXPECT_EQ(App::DialogWindowWidget(), nullptr) << c.what;
    EXPECT_TRUE(gtk_widget_get_sensitive(App::MainWindowWidget())) << c.what;
  }
}

TEST_F(PasswordDialog, ConfirmModeCountsUtf16UnitsAndChecksTheEmptyFieldFirst) {
  Robot::WaitWindow(title);
  Robot::Type(RepeatPasswordField, "whatever");
  Robot::PressKey(GDK_KEY_Return);
  // An empty first field, whatever the repeat holds.
  Robot::AnswerMessage(StoryText::EnterAPassword(), GTK_MESSAGE_WARNING);
  Robot::Type(MasterPasswordField,
              "\xF0\x9F\x94\x91\xF0\x9F\x94\x91\xF0\x9F\x94\x91"
              "a");
  Robot::Type(RepeatPasswordField,
              "\xF0\x9F\x94\x91\xF0\x9F\x94\x91\xF0\x9F\x94\x91"
              "a");
  Robot::PressKey(GDK_KEY_Return);
  // Three emoji and a letter: 7 units.
  Robot::AnswerMessage(StoryText::TooShort(), GTK_MESSAGE_WARNING);
  Robot::Type(MasterPasswordField, "exactly8");
  Robot::Type(RepeatPasswordField, "exactly8");
  Robot::PressKey(GDK_KEY_Return);
  std::string password;
  EXPECT_TRUE(AskMasterPassword(title, "Choose a new master password.", true, password));
  EXPECT_EQ(password, "exactly8");
  ASSERT_EQ(Robot::Messages().size(), 2u);
  EXPECT_EQ(Robot::Messages()[0].title, title);
}

TEST_F(PasswordDialog, ADueIdleLockClosesItAsCancelledWithoutAMessage) {
  GivenVault("pw", {});
  ASSERT_EQ(Vault::OpenVault(VaultFile(), "pw"), Vault::Ok);
  App::NoteActivity();
  Robot::WaitWindow(title);
  Robot::Type(MasterPasswordField, "half typed");
  Robot::MoveClock(61000);
  std::string password = "untouched";
  EXPECT_FALSE(AskMasterPassword(title, "Enter the current master password.", false, password));
  EXPECT_EQ(password, "untouched");
  EXPECT_TRUE(App::LockIsDue());
  EXPECT_TRUE(Robot::Messages().empty());
  EXPECT_EQ(App::DialogWindowWidget(), nullptr);
}

}  // namespace
