// Stories of restoring a backup: its own password, a wrong one, declining, the safety copy
// as an undo, and the failures that put the old vault back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/dialog_window.h"
#include "app/entry_list.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "commands/password_dialog.h"
#include "tests/support/requester_story.h"
#include "tests/support/story_checks.h"
#include "tests/support/story_texts.h"
#include "tests/support/test_vaults.h"

namespace {

using Commands::MasterPasswordField;
using Robot::Messages;
using Robot::Requesters;
using TestFiles::ReadFile;

class RestoreStory : public RequesterStory {
 protected:
  void SetUp() override {
    RequesterStory::SetUp();
    UseOwnHome(true);
  }

  // A backup made under another master password (small key parameters, as GivenVault).
  void GivenBackup(const std::string& path, const std::string& password,
                   const std::vector<Vault::Entry>& entries) {
    ASSERT_EQ(TestVaults::WriteSmallVault(path, password, entries), Vault::Ok);
  }

  // Chooses the backup and types its password.
  void StartRestore(const std::string& path, const std::string& password) {
    Robot::ChooseMenu(App::MenuRestoreBackup);
    Robot::ChooseFile(path);
    Robot::WaitWindow(Title());
    Robot::Type(MasterPasswordField, password);
    Robot::PressKey(GDK_KEY_Return);
  }

  static std::string Title() { return Pick("Restore backup", "Backup terugzetten"); }
  std::string SafetyCopy() const { return VaultFile() + ".voor-terugzetten"; }
};

std::string Restored(size_t count) {
  return Pick("Backup restored - ", "Backup teruggezet - ") + std::to_string(count) +
         Pick(" password(s)", " wachtwoord(en)");
}

TEST_F(RestoreStory, ABackupUnderAnOlderPasswordReplacesTheVault) {
  GivenVault("current pw", {{"now", "", "", "n"}});
  const std::string backup = homeDir + "old.lwv";
  GivenBackup(backup, "old pw", {{"a", "", "", "1"}, {"b", "", "", "2"}, {"c", "", "", "3"}});
  TestFiles::WriteFile(homeDir + "notes.lwv", std::string(100, 'x'));
  const std::string current = ReadFile(VaultFile());
  LogInWith("current pw", 1);

  // The wrong password, and a file that is no vault: nothing changes.
  StartRestore(backup, "current pw");
  Robot::Step("the warning shows", Robot::MessageBoxOpen,
              [] { EXPECT_EQ(Robot::StatusText(), ""); });
  Robot::AnswerMessage(StoryText::WrongPassword(), GTK_MESSAGE_WARNING);
  StartRestore(homeDir + "notes.lwv", "old pw");
  Robot::AnswerMessage(StoryText::NotAVault(), GTK_MESSAGE_WARNING);
  // Declining the last question.
  StartRestore(backup, "old pw");
  Robot::AnswerMessage(StoryText::ConfirmRestore(), GTK_MESSAGE_WARNING, GTK_RESPONSE_NO);
  Robot::Do("still the current vault, and no safety copy", [this, current] {
    EXPECT_EQ(Robot::ListRows(), std::vector<std::string>{"now"});
    EXPECT_EQ(ReadFile(VaultFile()), current);
    EXPECT_FALSE(TestFiles::Exists(SafetyCopy()));
  });
  // Choosing the vault itself ends the command without a word. The requester's filter shows
  // the copies that sync tools and Lockwell keep beside a vault.
  Robot::ChooseMenu(App::MenuRestoreBackup);
  Robot::Step("the requester shows the vault's copies", Robot::RequesterOpen, [] {
    const std::pair<const char*, bool> names[] = {
        {"kluis.lwv", true},
        {"kluis.lwv.extern-2026-12-09-101010", true},
        {"kluis.lwv.extern-2026-12-09-101010-2", true},
        {"kluis.sync-conflict-20261209-101010-ABCDEFG.lwv", true},
        {"kluis (conflicted copy 2026-12-09 101010).lwv", true},
        {"kluis (Ann's conflicted copy 2026-12-09).lwv", true},
        {"kluis.lwv.voor-terugzetten", true},
        {"instellingen.ini", false},
        {"notes.txt", false},
    };
    for (const auto& [name, shown] : names)
      EXPECT_EQ(Robot::SelectedFilterShows(name), shown) << name;
  });
  Robot::ChooseFile(VaultFile());
  // Now for real.
  StartRestore(backup, "old pw");
  Robot::AnswerMessage(StoryText::ConfirmRestore(), GTK_MESSAGE_WARNING, GTK_RESPONSE_YES);
  Robot::WaitStatus(Restored(3));
  Robot::AnswerMessage(StoryText::Restored(), GTK_MESSAGE_INFO);
  Robot::Do("the backup's entries show, the old vault is kept beside it", [this, current] {
    EXPECT_EQ(Robot::ListRows(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(App::SelectedIndex(), 0);
    EXPECT_EQ(ReadFile(SafetyCopy()), current);
    EXPECT_EQ(Vault::CheckVaultFile(VaultFile(), "old pw"), Vault::Ok);
    EXPECT_EQ(Vault::CheckVaultFile(VaultFile(), "current pw"), Vault::WrongPassword);
  });
  // The safety copy chosen as the backup undoes the restore.
  StartRestore(SafetyCopy(), "current pw");
  Robot::AnswerMessage(StoryText::ConfirmRestore(), GTK_MESSAGE_WARNING, GTK_RESPONSE_YES);
  Robot::WaitStatus(Restored(1));
  Robot::AnswerMessage(StoryText::Restored(), GTK_MESSAGE_INFO);
  Robot::Do("the first vault is back; the restored one is now the safety copy", [this, current] {
    EXPECT_EQ(ReadFile(VaultFile()), current);
    EXPECT_EQ(Vault::CheckVaultFile(SafetyCopy(), "old pw"), Vault::Ok);
  });
  StartRestore(SafetyCopy(), "old pw");
  Robot::AnswerMessage(StoryText::ConfirmRestore(), GTK_MESSAGE_WARNING, GTK_RESPONSE_YES);
  Robot::WaitStatus(Restored(3));
  Robot::AnswerMessage(StoryText::Restored(), GTK_MESSAGE_INFO);
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  ASSERT_EQ(Messages().size(), 9u);
  for (const auto& message : Messages()) EXPECT_EQ(message.title, Title());
  ASSERT_GE(Requesters().size(), 1u);
  EXPECT_EQ(Requesters()[0].title, Title());
  EXPECT_FALSE(Requesters()[0].save);
  EXPECT_EQ(Requesters()[0].folder + "/", homeDir);
  EXPECT_EQ(Requesters()[0].selectedFilter,
            Pick("Vault and its copies (*.lwv, *.lwv.*)", "Kluis en kopieën (*.lwv, *.lwv.*)"));

  // Afterwards only the backup's password opens the vault.
  Robot::Reset();
  StoryCheck::LogInRefused("current pw");
  LogInWith("old pw", 3);
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

TEST_F(RestoreStory, ARestoreThatFailsPutsTheOldVaultBackAndAsksForTheLogin) {
  GivenVault("current pw", {{"now", "", "", "n"}});
  const std::string backup = homeDir + "old.lwv";
  GivenBackup(backup, "old pw", {{"a", "", "", "1"}});
  const std::string current = ReadFile(VaultFile());
  LogInWith("current pw", 1);
  // The backup is damaged after it was checked, so the copied vault does not open.
  StartRestore(backup, "old pw");
  Robot::Step("the last question", Robot::MessageBoxOpen, [backup] {
    std::string bytes = ReadFile(backup);
    bytes[bytes.size() - 1] ^= 1;
    TestFiles::WriteFile(backup, bytes);
  });
  Robot::AnswerMessage(StoryText::ConfirmRestore(), GTK_MESSAGE_WARNING, GTK_RESPONSE_YES);
  Robot::AnswerMessage(
      Pick("Restoring failed; the old vault has been put back. Please log in again.",
           "Terugzetten mislukt; de oude kluis is hersteld. Log opnieuw in."),
      GTK_MESSAGE_ERROR);
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::Do("logged out, with the old vault back in place", [this, current] {
    EXPECT_EQ(Robot::StatusText(), StoryText::LoggedOut());
    EXPECT_TRUE(Robot::ListRows().empty());
    EXPECT_EQ(ReadFile(VaultFile()), current);
    EXPECT_FALSE(TestFiles::Exists(VaultFile() + ".tmp"));
  });
  LogInWith("current pw", 1);

  // When the vault can be written neither from the backup nor from the safety copy, the
  // message says so; the vault file was never touched.
  Robot::Do("a folder stands where the vault's temporary file goes",
            [this] { mkdir((VaultFile() + ".tmp").c_str(), 0700); });
  StartRestore(homeDir + "good.lwv", "old pw");
  Robot::AnswerMessage(StoryText::ConfirmRestore(), GTK_MESSAGE_WARNING, GTK_RESPONSE_YES);
  Robot::AnswerMessage(
      Pick("Restoring failed, and the old vault could not be put back. It is kept as "
           "kluis.lwv.voor-terugzetten.",
           "Terugzetten mislukt en de oude kluis kon niet worden teruggezet. Hij staat in "
           "kluis.lwv.voor-terugzetten."),
      GTK_MESSAGE_ERROR);
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::Do("the folder goes", [this] { rmdir((VaultFile() + ".tmp").c_str()); });
  LogInWith("current pw", 1);
  // Without a safety copy nothing is overwritten, and the vault stays open.
  Robot::Do("a folder stands where the safety copy goes",
            [this] { mkdir((SafetyCopy() + ".tmp").c_str(), 0700); });
  StartRestore(homeDir + "good.lwv", "old pw");
  Robot::AnswerMessage(StoryText::ConfirmRestore(), GTK_MESSAGE_WARNING, GTK_RESPONSE_YES);
  Robot::AnswerMessage(Pick("Restoring failed; the vault has not been changed.",
                            "Terugzetten mislukt; de kluis is niet gewijzigd."),
                       GTK_MESSAGE_ERROR);
  Robot::Do("the vault is unchanged and still open", [this, current] {
    EXPECT_EQ(ReadFile(VaultFile()), current);
    EXPECT_EQ(Robot::ListRows(), std::vector<std::string>{"now"});
    EXPECT_TRUE(Vault::IsVaultOpen());
  });
  Robot::ChooseMenu(App::MenuExit);
  GivenBackup(homeDir + "good.lwv", "old pw", {{"g", "", "", "1"}});
  EXPECT_EQ(RunLockwell(), 0);

  ASSERT_EQ(Messages().size(), 6u);
  EXPECT_EQ(Messages()[1].title, Title());
  EXPECT_EQ(Vault::CheckVaultFile(VaultFile() + ".voor-terugzetten", "current pw"), Vault::Ok);
}

}  // namespace
