// Two computers that share the vault through two real Syncthing instances on 127.0.0.1.
// Computer A runs the window with its vault linked into the shared folder; computer B saves
// with the same key, as the companion or another window there would.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>

#include "app/menus.h"
#include "commands/entry_editor.h"
#include "tests/commands/sync_story.h"
#include "tests/support/story_checks.h"
#include "tests/support/story_texts.h"
#include "tests/support/syncthing.h"

namespace {

using Robot::Messages;
using Vault::Entry;

class SyncthingStory : public SyncStory {
 protected:
  void SetUp() override {
    SyncStory::SetUp();
    ASSERT_TRUE(Syncthing::Start(pair, machines.path)) << Syncthing::LogOf(pair.a);
    // A's vault lives in the shared folder, reached through a link at the usual name.
    ASSERT_EQ(symlink((pair.a.folder + "kluis.lwv").c_str(), VaultFile().c_str()), 0);
  }
  // The first vault, on A and then on B.
  void Shared(const std::vector<Entry>& list) {
    ASSERT_EQ(TestVaults::WriteSmallVault(pair.a.folder + "kluis.lwv", password, list), Vault::Ok);
    ASSERT_TRUE(Syncthing::Rescan(pair.a));
    ASSERT_TRUE(Syncthing::WaitUntilEqual(pair, "kluis.lwv")) << Syncthing::LogOf(pair.b);
  }
  // A save on B (or on A with the window closed) with the vault's key, written outside the
  // shared folder and renamed into it.
  void SavesOn(const Syncthing::Instance& computer, const std::vector<Entry>& list) {
    (void)SyncFiles::SaveWithItsKey(computer.folder + "kluis.lwv", password, list, "kluis.lwv");
    ASSERT_TRUE(Syncthing::Rescan(computer));
  }
  std::vector<Entry> On(const Syncthing::Instance& computer) const {
    return SyncFiles::EntriesIn(computer.folder + "kluis.lwv", password);
  }
  // A's window, on the first list: B saves once while it is open (so A has a version both
  // had) or not; apart, A adds Library and deletes Shop, and starts again; B, later, changes
  // Mail's password; together again, Syncthing sets A's version aside as a conflict copy.
  void BothChangeApartWhileAStartsAgain(bool baseKnown) {
    Shared({bank, mail, shop});
    LogInWith(password, 3);
    if (baseKnown) {
      Robot::Do("B adds Club", [&] { SavesOn(pair.b, {bank, mail, shop, club}); });
      Robot::WaitStatus("Updated from another computer: 1 added");
    }
    const std::vector<Entry> onB = baseKnown ? std::vector<Entry>{bank, newMail, shop, club}
                                             : std::vector<Entry>{bank, newMail, shop};
    Robot::Do("the computers lose each other", [&] { ASSERT_TRUE(Syncthing::Apart(pair)); });
    Robot::ClickRow(2);
    Robot::PressKey(GDK_KEY_Delete);
    Robot::AnswerMessage(StoryText::DeleteQuestion("Shop"), GTK_MESSAGE_WARNING, GTK_RESPONSE_YES);
    StoryCheck::AddEntryInWindow("Library", baseKnown ? 4 : 3);
    Robot::ChooseMenu(App::MenuExit);
    EXPECT_EQ(RunLockwell(), 0);
    LogInWith(password, baseKnown ? 4 : 3);
    Robot::Do("B changes Mail's password later; together again", [&, onB] {
      ASSERT_TRUE(Syncthing::Rescan(pair.a));
      usleep(1100 * 1000);  // later by the clock, so that Syncthing keeps B's as the vault
      SavesOn(pair.b, onB);
      ASSERT_TRUE(Syncthing::Together(pair));
      *copy = Syncthing::WaitForConflictCopy(pair, "kluis.lwv");
      ASSERT_FALSE(copy->empty()) << Syncthing::LogOf(pair.a);
    });
  }
  // A step that waits until the status bar shows text, asked once the earlier steps ran.
  static void WaitStatusOnceKnown(std::function<std::string()> text) {
    Robot::Step(
        "the status bar", [text] { return Robot::StatusText() == text(); }, [] {});
  }

  TestFiles::TempDir machines;
  Syncthing::Pair pair;
  std::shared_ptr<std::string> copy = std::make_shared<std::string>();
  const Entry newMail{"Mail", "", "ann", "new"}, newBank{"Bank", "", "", "b2"};
  const Entry train{"Train", "", "", "t"}, onA{"Added on A", "", "", ""};
  const Entry apart{"Added while apart", "", "", ""}, club{"Club", "", "", "c"};
  const Entry library{"Library", "", "", ""};
};

TEST_F(SyncthingStory, BsSavesAppearInAsOpenWindowAndAConflictIsMergedOnce) {
  Shared({mail, bank});
  LogInWith(password, 2);
  // B saves while A's window is open: A shows it without a question.
  Robot::Do("B adds Train and changes Bank's password", [&] {
    SavesOn(pair.b, {mail, newBank, train});
  });
  Robot::WaitStatus(Updated(": 1 added, 1 changed", ": 1 toegevoegd, 1 gewijzigd"));
  Robot::Do("A shows B's version", [] {
    EXPECT_EQ(Robot::ListRows(), (std::vector<std::string>{"Mail", "Bank", "Train"}));
    EXPECT_TRUE(Messages().empty());
  });
  StoryCheck::AddEntryInWindow("Added on A", 4);
  Robot::Do("A's save reaches B with both changes", [&] {
    ASSERT_TRUE(Syncthing::Rescan(pair.a));
    ASSERT_TRUE(Syncthing::WaitUntilEqual(pair, "kluis.lwv"));
    EXPECT_EQ(On(pair.b), (std::vector<Entry>{mail, newBank, train, onA}));
  });
  // Apart, B changes Mail's password and A adds an entry a moment later.
  Robot::Do("the computers lose each other; B gives Mail a new password", [&] {
    ASSERT_TRUE(Syncthing::Apart(pair));
    SavesOn(pair.b, {newMail, newBank, train, onA});
  });
  StoryCheck::AddEntryInWindow("Added while apart", 5);
  Robot::Do("together again: Syncthing keeps B's older version as a conflict copy", [&] {
    ASSERT_TRUE(Syncthing::Rescan(pair.a));
    ASSERT_TRUE(Syncthing::Together(pair));
    *copy = Syncthing::WaitForConflictCopy(pair, "kluis.lwv");
    ASSERT_FALSE(copy->empty()) << Syncthing::LogOf(pair.a);
  });
  Robot::AnswerMessage([this] { return SyncFiles::Question(*copy, "changes 1 entry", ""); },
                       GTK_MESSAGE_INFO, GTK_RESPONSE_YES);
  WaitStatusOnceKnown([this] { return "Merged " + *copy + ": 1 changed"; });
  Robot::Do("Mail's new password appears once", [] {
    EXPECT_EQ(Robot::ListRows(), (std::vector<std::string>{"Mail", "Bank", "Train", "Added on A",
                                                           "Added while apart"}));
  });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  ASSERT_TRUE(Syncthing::Rescan(pair.a));
  EXPECT_TRUE(Syncthing::WaitUntilGone(pair, *copy)) << Syncthing::LogOf(pair.b);
  EXPECT_TRUE(Syncthing::WaitUntilEqual(pair, "kluis.lwv"));
  EXPECT_EQ(On(pair.b), (std::vector<Entry>{newMail, newBank, train, onA, apart}));
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(SyncthingStory, AConflictCopyFoundAtLoginIsMergedWithBothVersionsOfMail) {
  Shared({mail, bank});
  // Apart, with no window open: B and then A give Mail a password of their own.
  ASSERT_TRUE(Syncthing::Apart(pair));
  SavesOn(pair.b, {{"Mail", "", "ann", "on B"}, bank, train});
  SavesOn(pair.a, {{"Mail", "", "ann", "on A"}, bank, shop});
  ASSERT_TRUE(Syncthing::Together(pair));
  *copy = Syncthing::WaitForConflictCopy(pair, "kluis.lwv");
  ASSERT_FALSE(copy->empty()) << Syncthing::LogOf(pair.a);
  ASSERT_TRUE(Syncthing::WaitUntilEqual(pair, "kluis.lwv"));

  LogInWith(password, 3);
  // No base both had is known on A: a union.
  Robot::AnswerMessage(
      [this] {
        return SyncFiles::Question(*copy, "adds 1 entry and keeps 1 entry in two versions", "");
      },
      GTK_MESSAGE_INFO, GTK_RESPONSE_YES);
  WaitStatusOnceKnown(
      [this] { return "Two versions kept: Mail (ann). Merged " + *copy + ": 1 added"; });
  Robot::Do("every entry of both, Mail in both versions side by side", [] {
    EXPECT_EQ(Robot::ListRows(),
              (std::vector<std::string>{"Mail", "Mail", "Bank", "Train", "Shop"}));
  });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  ASSERT_TRUE(Syncthing::Rescan(pair.a));
  EXPECT_TRUE(Syncthing::WaitUntilGone(pair, *copy));
  EXPECT_TRUE(Syncthing::WaitUntilEqual(pair, "kluis.lwv"));
  EXPECT_EQ(On(pair.b).size(), 5u);
  EXPECT_EQ(Messages().size(), 1u);
}

// A new entry on A and B's later change of another both survive, and the copy goes: the base
// is a version both computers had, never A's own last save, which B never saw.
TEST_F(SyncthingStory, ANewEntryOnAAndBsLaterChangeBothSurviveAStart) {
  BothChangeApartWhileAStartsAgain(true);
  StoryCheck::WaitRows("A merged B's version with its own", {"Bank", "Mail", "Club", "Library"},
                       [] {});
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  ASSERT_TRUE(Syncthing::Rescan(pair.a));
  EXPECT_TRUE(Syncthing::WaitUntilGone(pair, *copy)) << Syncthing::LogOf(pair.b);
  EXPECT_TRUE(Syncthing::WaitUntilEqual(pair, "kluis.lwv"));
  EXPECT_EQ(On(pair.b), (std::vector<Entry>{bank, newMail, club, library}));
  EXPECT_TRUE(Messages().size() == 1u) << "only the delete's question";
}

// Where no version both had is known, the merge is a union: Shop comes back, once.
TEST_F(SyncthingStory, WithoutABaseBothHadNothingIsLostAndShopComesBackOnce) {
  BothChangeApartWhileAStartsAgain(false);
  StoryCheck::WaitRows("A merged B's version as a union",
                       {"Bank", "Mail", "Mail", "Shop", "Library"}, [] {});
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  ASSERT_TRUE(Syncthing::Rescan(pair.a));
  EXPECT_TRUE(Syncthing::WaitUntilGone(pair, *copy)) << Syncthing::LogOf(pair.b);
  EXPECT_TRUE(Syncthing::WaitUntilEqual(pair, "kluis.lwv"));
  EXPECT_EQ(On(pair.b), (std::vector<Entry>{bank, mail, newMail, shop, library}));
}

}  // namespace
