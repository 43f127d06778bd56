// Stories of changing the master password.
#include <gtest/gtest.h>

#include "app/dialog_window.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "commands/password_dialog.h"
#include "tests/support/gui_story.h"
#include "tests/support/story_checks.h"
#include "tests/support/story_texts.h"
#include "tests/support/test_vaults.h"

namespace {

using Commands::MasterPasswordField;
using Commands::RepeatPasswordField;
using Robot::Messages;

class ChangePasswordStory : public GuiStory {};

TEST_F(ChangePasswordStory, TheNewPasswordReplacesTheOldOne) {
  const std::string title = Pick("Change master password", "Hoofdwachtwoord wijzigen");
  GivenVault("old password", {{"mail", "", "ann", "s3cret"}});
  LogInWith("old password", 1);
  const std::string before = TestFiles::ReadFile(VaultFile());
  // A wrong current password stops at its warning.
  Robot::ChooseMenu(App::MenuChangeMasterPassword);
  Robot::WaitWindow(title);
  Robot::Type(MasterPasswordField, "old passwort");
  Robot::PressKey(GDK_KEY_Return);
  Robot::AnswerMessage(Pick("The current password is wrong.", "Het huidige wachtwoord is onjuist."),
                       GTK_MESSAGE_WARNING);
  Robot::Pause(300);
  Robot::Do("no second dialog", [] { EXPECT_EQ(App::DialogWindowWidget(), nullptr); });
  // Cancel in the second dialog changes nothing.
  Robot::ChooseMenu(App::MenuChangeMasterPassword);
  Robot::Type(MasterPasswordField, "old password");
  Robot::PressKey(GDK_KEY_Return);
  Robot::Step(
      "the second dialog asks twice",
      [] { return App::ControlWidget(RepeatPasswordField) != nullptr; }, [] {});
  Robot::PressKey(GDK_KEY_Escape);
  Robot::Do("the file still opens with the old password",
            [this] { EXPECT_EQ(Vault::CheckVaultFile(VaultFile(), "old password"), Vault::Ok); });
  // Now for real.
  Robot::ChooseMenu(App::MenuChangeMasterPassword);
  Robot::Type(MasterPasswordField, "old password");
  Robot::PressKey(GDK_KEY_Return);
  Robot::Type(RepeatPasswordField, "new password");
  Robot::Type(MasterPasswordField, "new password");
  Robot::PressKey(GDK_KEY_Return);
  Robot::AnswerMessage(Pick("The master password has been changed.\nOld backups keep their old "
                            "password.",
                            "Het hoofdwachtwoord is gewijzigd.\nOude backups houden hun oude "
                            "wachtwoord."),
                       GTK_MESSAGE_INFO);
  Robot::WaitStatus(Pick("Master password changed", "Hoofdwachtwoord gewijzigd"));
  Robot::MoveClock(61000);
  StoryCheck::LogInRefused("old password");
  LogInWith("new password", 1);
  Robot::ChooseMenu(App::MenuExit);

  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Messages().size(), 3u);
  EXPECT_EQ(Messages()[0].title, title);
  EXPECT_EQ(Messages()[1].title, title);
  // The header holds a new salt and the parameters of a new vault, whatever the old ones.
  const std::string file = TestFiles::ReadFile(VaultFile());
  ASSERT_GE(file.size(), Vault::kHeaderSize);
  EXPECT_EQ(static_cast<int64_t>(TestVaults::LittleEndianAt(file, 8, 8)), Vault::kNewOpsLimit);
  EXPECT_EQ(static_cast<int64_t>(TestVaults::LittleEndianAt(file, 16, 8)), Vault::kNewMemLimit);
  EXPECT_NE(file.substr(24, Vault::kSaltSize), before.substr(24, Vault::kSaltSize));
  EXPECT_EQ(Vault::CheckVaultFile(VaultFile(), "old password"), Vault::WrongPassword);
}

}  // namespace
