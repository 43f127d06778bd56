// A story of windows that another program destroys while their own loop runs.
#include "app/dialog_window.h"

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/menus.h"
#include "commands/entry_editor.h"
#include "common/settings.h"
#include "tests/support/gui_story.h"

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

}  // namespace
