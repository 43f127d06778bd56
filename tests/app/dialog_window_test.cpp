// A story of windows that another program destroys while their own loop runs.
#include "app/dialog_window.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "app/main_window.h"
#include "app/menus.h"
#include "commands/entry_editor.h"
#include "common/settings.h"
#include "tests/support/gui_story.h"
#include "tests/support/story_texts.h"

namespace {

class DestroyedWindowStory : public GuiStory {};

void WaitMainWindowBack(const char* gone) {
  Robot::Step(
      "the main window is enabled again",
      [gone] {
        return Robot::FindWindow(gone) == nullptr && App::DialogWindowWidget() == nullptr &&
               gtk_widget_is_sensitive(App::MainWindowWidget());
      },
      [] {});
}

TEST_F(DestroyedWindowStory, ADestroyedDialogCountsAsClosedAndTheProgramGoesOn) {
  GivenVault("pw", {{"mail", "", "ann", "s3cret"}});
  LogInWith("pw", 1);
  Robot::ClickRow(0);
  Robot::PressKey(GDK_KEY_Return);
  Robot::Type(Commands::DescriptionField, "changed");
  Robot::Toggle(Commands::DigitsBox);
  Robot::DestroyWindow(Pick("Edit password", "Wijzig wachtwoord"));
  WaitMainWindowBack(Pick("Edit password", "Wijzig wachtwoord"));
  Robot::Do("nothing changed; the generator choice kept as after Cancel", [this] {
    EXPECT_EQ(Robot::ListRows(), std::vector<std::string>{"mail"});
    EXPECT_EQ(Common::ParseSettings(TestFiles::ReadFile(SettingsFile())).GenCijfers, 0);
  });
  Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
  Robot::Type(Commands::DescriptionField, "bank");
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitStatus(Pick("Added: bank (2 passwords)", "Toegevoegd: bank (2 wachtwoorden)"));
  for (auto [item, title] : {std::pair{App::MenuChangeMasterPassword,
                                       Pick("Change master password", "Hoofdwachtwoord wijzigen")},
                             std::pair{App::MenuAbout, Pick("About", "Over")}}) {
    Robot::ChooseMenu(item);
    Robot::DestroyWindow(title);
    WaitMainWindowBack(title);
  }
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

// Another program destroys the main window (a desktop's force close): the run ends as after
// Exit, with status 0, the settings written, the vault closed and the folder free again;
// an editor open at that moment ends as cancelled, and a change not yet saved is tried once
// more on the way out.
TEST_F(DestroyedWindowStory, AMainWindowDestroyedFromOutsideEndsTheRunAsExit) {
  enum class Then { Nothing, EditorOpen, ChangeUnsaved };
  const std::string blocked = VaultFile() + ".tmp";
  for (Then then : {Then::Nothing, Then::EditorOpen, Then::ChangeUnsaved}) {
    Robot::Reset();
    std::remove(SettingsFile().c_str());
    GivenVault("pw", {{"mail", "", "", ""}});
    LogInWith("pw", 1);
    if (then == Then::EditorOpen) {
      Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
      Robot::Type(Commands::DescriptionField, "half typed");
    } else if (then == Then::ChangeUnsaved) {
      Robot::Do("block the temporary file", [&] { ASSERT_EQ(mkdir(blocked.c_str(), 0700), 0); });
      Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
      Robot::Type(Commands::DescriptionField, "bank");
      Robot::PressKey(GDK_KEY_Return);
      Robot::AnswerMessage(StoryText::SavingFailed(), GTK_MESSAGE_ERROR);
      Robot::Do("the blockage goes", [&] { ASSERT_EQ(rmdir(blocked.c_str()), 0); });
    }
    Robot::DestroyWindow("Lockwell");
    EXPECT_EQ(RunLockwell(), 0) << static_cast<int>(then);
    EXPECT_TRUE(TestFiles::Exists(SettingsFile())) << static_cast<int>(then);
    EXPECT_FALSE(Vault::IsVaultOpen());
    const int folder = open(dir.path.c_str(), O_RDONLY | O_DIRECTORY);
    EXPECT_EQ(flock(folder, LOCK_EX | LOCK_NB), 0) << "the folder is still locked";
    close(folder);
    ASSERT_EQ(Vault::OpenVault(VaultFile(), "pw"), Vault::Ok);
    EXPECT_EQ(Vault::Entries().size(), then == Then::ChangeUnsaved ? 2u : 1u);
    Vault::CloseVault();
  }
}

}  // namespace
