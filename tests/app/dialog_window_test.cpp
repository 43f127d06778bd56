// A story of windows that another program destroys while their own loop runs.
#include "app/dialog_window.h"

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/menus.h"
#include "app/settings.h"
#include "commands/entry_editor.h"
#include "commands/password_dialog.h"
#include "tests/support/gui_story.h"

namespace {

class DestroyedWindowStory : public GuiStory {};

// The main window takes input again, with no dialog window left over.
void WaitMainWindowBack() {
  Robot::Step(
      "the main window is enabled again",
      [] {
        return App::DialogWindowWidget() == nullptr &&
               gtk_widget_is_sensitive(App::MainWindowWidget());
      },
      [] {});
}

TEST_F(DestroyedWindowStory, ADestroyedDialogCountsAsClosedAndTheProgramGoesOn) {
  GivenVault("pw", {{"mail", "", "ann", "s3cret"}});
  LogInWith("pw", 1);
  Robot::ClickRow(0);
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitWindow(Pick("Edit password", "Wijzig wachtwoord"));
  Robot::Type(Commands::DescriptionField, "changed");
  Robot::Toggle(Commands::DigitsBox);
  Robot::DestroyWindow(Pick("Edit password", "Wijzig wachtwoord"));
  WaitMainWindowBack();
  Robot::Do("the entry is unchanged, the generator choice kept as after Cancel", [this] {
    EXPECT_EQ(Robot::ListRows(), std::vector<std::string>{"mail"});
    EXPECT_EQ(App::ParseSettings(TestFiles::ReadFile(SettingsFile())).GenCijfers, 0);
  });

  // The main window goes on working: a new entry, through a new editor.
  Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
  Robot::WaitWindow(Pick("New password", "Nieuw wachtwoord"));
  Robot::Do("the new editor shows the kept choice",
            [] { EXPECT_FALSE(Robot::Ticked(Commands::DigitsBox)); });
  Robot::Type(Commands::DescriptionField, "bank");
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitStatus(Pick("Added: bank (2 passwords)", "Toegevoegd: bank (2 wachtwoorden)"));

  // The password dialog and the About window end the same way.
  Robot::ChooseMenu(App::MenuChangeMasterPassword);
  Robot::DestroyWindow(Pick("Change master password", "Hoofdwachtwoord wijzigen"));
  WaitMainWindowBack();
  Robot::ChooseMenu(App::MenuAbout);
  Robot::DestroyWindow(Pick("About", "Over"));
  Robot::Step(
      "the main window is enabled after About",
      [] {
        return Robot::FindWindow(Pick("About", "Over")) == nullptr &&
               gtk_widget_is_sensitive(App::MainWindowWidget());
      },
      [] {});
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Vault::OpenVault(VaultFile(), "pw"), Vault::Ok);
  ASSERT_EQ(Vault::Entries().size(), 2u);
  EXPECT_EQ(Vault::Entries()[0].Omschrijving, "mail");  // the destroyed edit was not saved
  Vault::CloseVault();
}

}  // namespace
