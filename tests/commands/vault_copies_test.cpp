// Stories of the copies that sync tools leave beside the vault: found at login or appearing
// while the vault is open, each is offered once; Yes merges it and removes it, No leaves it,
// and a copy that adds nothing goes without a question.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/menus.h"
#include "commands/entry_editor.h"
#include "commands/password_dialog.h"
#include "tests/commands/sync_story.h"
#include "tests/support/story_checks.h"
#include "tests/support/story_texts.h"

namespace {

using Robot::Messages;
using Vault::Entry;

using CopyStory = SyncStory;

const std::string kSyncthing = "kluis.sync-conflict-20261209-101500-ABCDEFG.lwv";
const std::string kNextcloud = "kluis (conflicted copy 2026-12-09 101500).lwv";
const std::string kDropbox = "kluis (Ann's conflicted copy 2026-12-09).lwv";

std::string Question(const std::string& name, int added, int twins) {
  return name +
         Pick(" is another version of the vault, kept by a sync tool.\n\nMerging it adds ",
              " is een andere versie van de kluis, bewaard door een synchronisatieprogramma."
              "\n\nSamenvoegen voegt ") +
         std::to_string(added) + Pick(" password(s); ", " wachtwoord(en) toe; ") +
         std::to_string(twins) +
         Pick(" password(s) would be kept in two versions.\n\nMerge it into the vault?",
              " wachtwoord(en) zouden in twee versies bewaard blijven.\n\nSamenvoegen met de "
              "kluis?");
}

TEST_F(CopyStory, CopiesFoundAtLoginAreOfferedOnceEach) {
  const Entry newMail{"Mail", "", "ann", "new"};
  GivenVault(password, {newMail, bank});
  LaptopSaves({newMail, bank}, kNextcloud);                      // nothing new in it
  LaptopSaves({mail, bank, shop}, kSyncthing);                   // Yes
  LaptopSavesWithPassword("laptop password", {shop}, kDropbox);  // its password not given
  LogInWith(password, 2);
  Robot::WaitWindow(Pick("Sync copy", "Synchronisatiekopie"));
  Robot::Do("the prompt names the copy", [] {
    EXPECT_EQ(Robot::LabelsIn(Pick("Sync copy", "Synchronisatiekopie")).front(),
              Pick("Enter the master password of ", "Voer het hoofdwachtwoord van ") + kDropbox +
                  Pick(".", " in."));
  });
  Robot::PressKey(GDK_KEY_Escape);  // Dropbox's copy asks for its password: Cancel is No
  Robot::AnswerMessage(Question(kSyncthing, 1, 1), GTK_MESSAGE_INFO, GTK_RESPONSE_YES);
  Robot::WaitStatus(Pick("Merged ", "") + kSyncthing + Pick("", " samengevoegd") +
                    Pick(": 1 added; two versions kept: Mail (ann)",
                         ": 1 toegevoegd; twee versies bewaard: Mail (ann)"));
  Robot::Pause(600);
  Robot::Do("every entry of both, the merged and the empty copy gone, no second question", [&] {
    EXPECT_EQ(Robot::ListRows(), (std::vector<std::string>{"Mail", "Mail", "Bank", "Shop"}));
    EXPECT_FALSE(TestFiles::Exists(dir.path + kSyncthing));
    EXPECT_FALSE(TestFiles::Exists(dir.path + kNextcloud));
    EXPECT_TRUE(TestFiles::Exists(dir.path + kDropbox));
  });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(OnDisk(password).size(), 4u);
}

TEST_F(CopyStory, ACopyThatAppearsWhileOpenIsMergedThreeWay) {
  const Entry newMail{"Mail", "", "ann", "new"}, here{"Added here", "", "", ""};
  GivenVault(password, {mail, bank});
  LogInWith(password, 2);
  StoryCheck::AddEntryInWindow("Added here", 3);
  // Apart from us, the laptop changed Mail's password; Syncthing keeps its version as a copy.
  Robot::Do("a conflict copy arrives", [&] { LaptopSaves({newMail, bank}, kSyncthing); });
  Robot::AnswerMessage(Question(kSyncthing, 0, 0), GTK_MESSAGE_INFO, GTK_RESPONSE_YES);
  Robot::WaitStatus(Pick("Merged ", "") + kSyncthing + Pick("", " samengevoegd") +
                    Pick(": 1 changed", ": 1 gewijzigd"));
  // A copy answered No stays, and is not offered again.
  Robot::Do("an old copy turns up", [&] {
    LaptopSaves({shop}, kNextcloud);
    const struct timespec longAgo[2] = {{1600000000, 0}, {1600000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir.path + kNextcloud).c_str(), longAgo, 0), 0);
  });
  Robot::AnswerMessage(Question(kNextcloud, 1, 0), GTK_MESSAGE_INFO, GTK_RESPONSE_NO);
  Robot::Do("the folder changes again", [&] { TestFiles::WriteFile(dir.path + "note", ""); });
  Robot::Pause(600);
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_EQ(OnDisk(password), (std::vector<Entry>{newMail, bank, here}));
  EXPECT_FALSE(TestFiles::Exists(dir.path + kSyncthing));
  EXPECT_TRUE(TestFiles::Exists(dir.path + kNextcloud));
}

}  // namespace
