// Stories of a vault kept in a synced folder while the window has it open: another
// computer's saves are brought in without a question, merged with the window's own saves;
// a version with another master password asks for it once.
#include <gtest/gtest.h>

#include "app/controls.h"
#include "app/menus.h"
#include "commands/entry_editor.h"
#include "commands/password_dialog.h"
#include "tests/commands/sync_story.h"
#include "tests/support/story_checks.h"
#include "tests/support/story_texts.h"

namespace {

using Robot::Messages;
using Vault::Entry;

using FollowStory = SyncStory;

TEST_F(FollowStory, TheLaptopsSavesAppearAndMergeWithOursWithoutAQuestion) {
  const Entry newMail{"Mail", "", "ann", "new"}, train{"Train", "", "", "t"};
  const Entry newBank{"Bank", "", "", "b2"};
  GivenVault(password, {mail, bank, shop});
  LogInWith(password, 3);
  Robot::ClickRow(1);
  Robot::Do("the laptop changes Mail's password and adds Train", [&] {
    LaptopSaves({newMail, bank, shop, train});
  });
  Robot::WaitStatus(Updated(": 1 added, 1 changed", ": 1 toegevoegd, 1 gewijzigd"));
  Robot::Do("the list shows it, Bank still selected, the file taken as it came", [&] {
    EXPECT_EQ(Robot::ListRows(), (std::vector<std::string>{"Mail", "Bank", "Shop", "Train"}));
    EXPECT_EQ(Robot::SelectedRow(), 1);
    EXPECT_EQ(Robot::FieldText(App::UserField), "");
    EXPECT_EQ(TestFiles::ReadFile(VaultFile()), arrived);
  });
  // The window's own change, then a laptop save that never saw it (its Lockwell kept our
  // version aside first): both changes are kept, and the copy of ours goes.
  StoryCheck::AddEntryInWindow("Added here", 5);
  Robot::Do("the laptop changes Bank and deletes Shop", [&] {
    LaptopSavesOverUnread({newMail, newBank, train});
  });
  Robot::WaitStatus(
      Updated(": 1 changed, 1 removed - kluis.lwv.extern-2026-12-09-101500 removed: it held "
              "nothing new",
              ": 1 gewijzigd, 1 verwijderd - kluis.lwv.extern-2026-12-09-101500 verwijderd: er "
              "stond niets nieuws in"));
  // The laptop received that merge and deleted what we added: it goes here too.
  Robot::Do("the laptop deletes Added here", [&] { LaptopSaves({newMail, newBank, train}); });
  Robot::WaitStatus(Updated(": 1 removed", ": 1 verwijderd"));
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  EXPECT_EQ(OnDisk(password), (std::vector<Entry>{newMail, newBank, train}));
  EXPECT_EQ(TestFiles::ReadFile(VaultFile()), arrived);
  EXPECT_TRUE(NoCopyKept());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(FollowStory, OneEntryChangedOnBothSidesIsKeptTwiceAndNamed) {
  GivenVault(password, {mail, bank});
  LogInWith(password, 2);
  Robot::PressKey(GDK_KEY_Return);  // edit Mail, the first row
  Robot::WaitWindow(Pick("Edit password", "Wijzig wachtwoord"));
  Robot::Type(Commands::EntryPasswordField, "window");
  Robot::PressKey(GDK_KEY_Return);
  Robot::Step(
      "the editor has closed and saved",
      [] { return Robot::FindWindow(Pick("Edit password", "Wijzig wachtwoord")) == nullptr; },
      [] {});
  Robot::Do("the laptop gives Mail another password", [&] {
    LaptopSavesOverUnread({{"Mail", "", "ann", "laptop"}, bank});
  });
  // A lesser line that follows does not hide the conflict: it comes after it.
  Robot::WaitStatus(
      Pick("Two versions kept: Mail (ann). Updated from another computer - "
           "kluis.lwv.extern-2026-12-09-101500 removed: it held nothing new",
           "Twee versies bewaard: Mail (ann). Bijgewerkt vanaf een andere computer "
           "- kluis.lwv.extern-2026-12-09-101500 verwijderd: er stond niets nieuws "
           "in"));
  Robot::Do("both versions stand next to each other", [] {
    EXPECT_EQ(Robot::ListRows(), (std::vector<std::string>{"Mail", "Mail", "Bank"}));
  });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(
      OnDisk(password),
      (std::vector<Entry>{{"Mail", "", "ann", "window"}, {"Mail", "", "ann", "laptop"}, bank}));
}

TEST_F(FollowStory, ANewMasterPasswordIsAskedOnceAndUsedFromThenOn) {
  const std::string changed = Pick("Vault changed elsewhere", "Kluis elders gewijzigd");
  GivenVault(password, {mail});
  LogInWith(password, 1);
  // A wrong password counts as no: that version is not asked about again.
  Robot::Do("the laptop saves with its new master password", [&] {
    LaptopSavesWithPassword("laptop password", {mail, bank});
  });
  Robot::WaitWindow(changed);
  Robot::Type(Commands::MasterPasswordField, "a guess");
  Robot::PressKey(GDK_KEY_Return);
  Robot::AnswerMessage(StoryText::WrongPassword(), GTK_MESSAGE_WARNING);
  Robot::Pause(600);
  Robot::Do("no second question, the list as it was", [] {
    EXPECT_EQ(Robot::FindWindow(Pick("Vault changed elsewhere", "Kluis elders gewijzigd")),
              nullptr);
    EXPECT_EQ(Robot::ListRows(), std::vector<std::string>{"Mail"});
  });
  // The laptop's next save: this time the user knows the password.
  Robot::Do("the laptop saves again", [&] {
    LaptopSavesWithPassword("laptop password", {mail, bank, shop});
  });
  Robot::WaitWindow(changed);
  Robot::Type(Commands::MasterPasswordField, "laptop password");
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitStatus(
      Updated(": 2 added - the master password is now that of the other computer",
              ": 2 toegevoegd - het hoofdwachtwoord is nu dat van de andere computer"));
  StoryCheck::AddEntryInWindow("Added here", 4);
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(OnDisk("laptop password").size(), 4u);
  EXPECT_TRUE(NoCopyKept());
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(FollowStory, NothingIsBroughtInWhileTheEditorIsOpen) {
  GivenVault(password, {mail});
  LogInWith(password, 1);
  Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
  Robot::WaitWindow(Pick("New password", "Nieuw wachtwoord"));
  Robot::Do("the laptop adds Bank", [&] { LaptopSaves({mail, bank}); });
  Robot::Pause(600);
  Robot::Do("the list waits for the editor",
            [] { EXPECT_EQ(Robot::ListRows(), std::vector<std::string>{"Mail"}); });
  Robot::PressKey(GDK_KEY_Escape);
  Robot::WaitStatus(Updated(": 1 added", ": 1 toegevoegd"));
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(OnDisk(password), (std::vector<Entry>{mail, bank}));
}

}  // namespace
