// Stories of the copies that sync tools leave beside the vault: found at login or appearing
// while the vault is open, those that appear together are offered in one question; Yes merges
// and removes them, No leaves them and is remembered, and a copy that adds nothing goes
// without a question.
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
using SyncFiles::Question;
using Vault::Entry;

using CopyStory = SyncStory;

const std::string kSyncthing = "kluis.sync-conflict-20261209-101500-ABCDEFG.lwv";
const std::string kNextcloud = "kluis (conflicted copy 2026-12-09 101500).lwv";
const std::string kDropbox = "kluis (Ann's conflicted copy 2026-12-09).lwv";

std::string Merged(const std::string& name, const std::string& what, const std::string& whatNl) {
  return Pick("Merged ", "") + name + Pick("", " samengevoegd") +
         Pick(what.c_str(), whatNl.c_str());
}

TEST_F(CopyStory, CopiesFoundAtLoginAreOfferedOnceEach) {
  const Entry newMail{"Mail", "", "ann", "new"};
  GivenVault(password, {newMail, bank});
  LaptopSaves({newMail, bank}, kNextcloud);                      // nothing new in it
  LaptopSaves({mail, bank, shop}, kSyncthing);                   // Yes
  LaptopSavesWithPassword("laptop password", {shop}, kDropbox);  // its password not given
  const std::string damaged = "kluis.sync-conflict-20261209-101500-DAMAGED.lwv";
  TestFiles::WriteFile(dir.path + damaged, std::string(100, 'x'));
  LogInWith(password, 2);
  Robot::WaitWindow(Pick("Sync copy", "Synchronisatiekopie"));
  Robot::Do("the prompt names the copy", [] {
    EXPECT_EQ(Robot::LabelsIn(Pick("Sync copy", "Synchronisatiekopie")).front(),
              Pick("Enter the master password of ", "Voer het hoofdwachtwoord van ") + kDropbox +
                  Pick(".", " in."));
  });
  Robot::PressKey(GDK_KEY_Escape);  // Dropbox's copy asks for its password: Cancel is No
  // What could not be read and what went without a question are said side by side.
  Robot::WaitStatus(damaged +
                    Pick(" could not be read: This is not a valid vault file. - ",
                         " kon niet worden gelezen: Dit is geen geldig kluisbestand. - ") +
                    kNextcloud +
                    Pick(" removed: it held nothing new", " verwijderd: er stond niets nieuws in"));
  // No base both computers had is known here: a union.
  Robot::AnswerMessage(Question(kSyncthing, "adds 1 entry and keeps 1 entry in two versions",
                                "voegt 1 item toe en bewaart 1 item in twee versies"),
                       GTK_MESSAGE_INFO, GTK_RESPONSE_YES);
  Robot::WaitStatus(Pick("Two versions kept: Mail (ann). ", "Twee versies bewaard: Mail (ann). ") +
                    Merged(kSyncthing, ": 1 added", ": 1 toegevoegd"));
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
  // The copy turned down is not asked about at the next start either.
  LogInWith(password, 4);
  Robot::Pause(600);
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(Messages().size(), 1u);
}

// Once the window has received a version from the laptop, copies merge against it: a changed
// password is a change, not a second version, and what a copy lacks is named as removed.
TEST_F(CopyStory, CopiesMergeAgainstTheLastVersionReceived) {
  const Entry newMail{"Mail", "", "ann", "new"}, here{"Added here", "", "", ""};
  GivenVault(password, {mail, bank});
  LogInWith(password, 2);
  Robot::Do("the laptop saves the same list", [&] { LaptopSaves({mail, bank}); });
  Robot::Pause(600);
  StoryCheck::AddEntryInWindow("Added here", 3);
  Robot::Do("a conflict copy arrives", [&] { LaptopSaves({newMail, bank}, kSyncthing); });
  Robot::AnswerMessage(Question(kSyncthing, "changes 1 entry", "wijzigt 1 item"), GTK_MESSAGE_INFO,
                       GTK_RESPONSE_YES);
  Robot::WaitStatus(Merged(kSyncthing, ": 1 changed", ": 1 gewijzigd"));
  // A copy answered No stays, and is not offered again.
  Robot::Do("an old copy turns up", [&] { LaptopSaves({shop}, kNextcloud); });
  // Mail changed here since: the change stays, so only Bank would go.
  Robot::AnswerMessage(Question(kNextcloud, "adds 1 entry and removes 1 entry (Bank)",
                                "voegt 1 item toe en verwijdert 1 item (Bank)"),
                       GTK_MESSAGE_INFO, GTK_RESPONSE_NO);
  Robot::Do("the folder changes again", [&] { TestFiles::WriteFile(dir.path + "note", ""); });
  Robot::Pause(600);
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_EQ(OnDisk(password), (std::vector<Entry>{newMail, bank, here}));
  EXPECT_FALSE(TestFiles::Exists(dir.path + kSyncthing));
  EXPECT_TRUE(TestFiles::Exists(dir.path + kNextcloud));
}

// Many copies at once are one question with the totals, and go together.
TEST_F(CopyStory, TwoHundredCopiesAreOneQuestion) {
  GivenVault(password, {mail});
  std::vector<std::string> names;
  for (int n = 0; n < 200; ++n) {
    char name[64];
    snprintf(name, sizeof name, "kluis.sync-conflict-20261209-%06d-ABCDEFG.lwv", n);
    names.push_back(name);
    LaptopSaves({mail, {"Site " + std::to_string(n), "", "", "p"}}, name);
  }
  LogInWith(password, 1);
  Robot::AnswerMessage(
      Pick("200 other versions of the vault lie beside it, kept by sync tools or by Lockwell.\n\n"
           "Merging all of them adds 200 entries.\n\nMerge all 200 copies into the vault?",
           "Naast de kluis liggen 200 andere versies ervan, bewaard door "
           "synchronisatieprogramma's of door Lockwell.\n\nZe allemaal samenvoegen voegt 200 "
           "items toe.\n\nAlle 200 kopie\xC3\xABn samenvoegen met de kluis?"),
      GTK_MESSAGE_INFO, GTK_RESPONSE_YES);
  Robot::WaitStatus(
      Pick("Merged 200 copies: 200 added", "200 kopie\xC3\xABn samengevoegd: 200 toegevoegd"));
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(OnDisk(password).size(), 201u);
  for (const std::string& name : names) EXPECT_FALSE(TestFiles::Exists(dir.path + name)) << name;
}

}  // namespace
