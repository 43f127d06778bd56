// Stories of other programs' files beside the vault while the user is logged in: a vault
// file replaced behind Lockwell's back is kept, and restoring it brings it back; a FIFO
// left at the temporary name fails the save without holding off the idle lock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "app/menus.h"
#include "commands/entry_editor.h"
#include "commands/password_dialog.h"
#include "tests/support/requester_story.h"
#include "tests/support/story_texts.h"
#include "tests/support/test_vaults.h"

namespace {

using Robot::Messages;

class KeptCopyStory : public RequesterStory {};

std::vector<std::string> KeptFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    const std::string name = file.path().filename();
    if (name.rfind("kluis.lwv.extern-", 0) == 0) names.push_back(name);
  }
  return names;
}

// The moment the kept copy's name is taken from, and that name as the user sees it.
constexpr int64_t kThen = 1767225600;
int64_t Then() { return kThen; }
std::string KeptName() {
  const time_t then = kThen;
  tm local{};
  localtime_r(&then, &local);
  char stamp[32];
  strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
  return std::string("kluis.lwv.extern-") + stamp;
}

TEST_F(KeptCopyStory, AVaultCopiedOverTheOpenOneIsKeptAndCanBeRestored) {
  GivenVault("our password", {{"mail", "", "", ""}});
  const std::string laptop = dir.path + "laptop.lwv";
  ASSERT_EQ(TestVaults::WriteSmallVault(laptop, "laptop password",
                                        {{"bank", "", "", ""}, {"shop", "", "", ""}}),
            Vault::Ok);
  Vault::SetKeptCopyClock(Then);
  LogInWith("our password", 1);
  Robot::Do("the user copies the laptop's vault over kluis.lwv", [&] {
    std::filesystem::copy_file(laptop, VaultFile(),
                               std::filesystem::copy_options::overwrite_existing);
  });
  // It needs the laptop's password to be brought in; the user does not give it.
  Robot::WaitWindow(Pick("Vault changed elsewhere", "Kluis elders gewijzigd"));
  Robot::PressKey(GDK_KEY_Escape);
  Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
  Robot::WaitWindow(Pick("New password", "Nieuw wachtwoord"));
  Robot::Type(Commands::DescriptionField, "added here");
  Robot::PressKey(GDK_KEY_Return);
  Robot::AnswerMessage(
      Pick("The vault file was changed by another program while Lockwell had it open. "
           "That version is kept as ",
           "Het kluisbestand is door een ander programma gewijzigd terwijl Lockwell het "
           "open had. Die versie is bewaard als ") +
          KeptName() + Pick("; your changes are saved.", "; uw wijzigingen zijn opgeslagen.") +
          StoryText::KeptCopyNextStep(),
      GTK_MESSAGE_INFO);
  Robot::WaitStatus(
      Pick("Added: added here (2 passwords)", "Toegevoegd: added here (2 wachtwoorden)"));
  Robot::Do("the laptop's version is kept whole; ours is saved", [&] {
    EXPECT_EQ(KeptFilesIn(dir.path), std::vector<std::string>{KeptName()});
    EXPECT_EQ(TestFiles::ReadFile(dir.path + KeptName()), TestFiles::ReadFile(laptop));
    EXPECT_EQ(Vault::CheckVaultFile(dir.path + KeptName(), "laptop password"), Vault::Ok);
    EXPECT_EQ(Vault::CheckVaultFile(VaultFile(), "our password"), Vault::Ok);
  });
  // Restoring the kept copy brings the laptop's version back.
  Robot::ChooseMenu(App::MenuRestoreBackup);
  Robot::ChooseFile(dir.path + KeptName());
  Robot::WaitWindow(Pick("Restore backup", "Backup terugzetten"));
  Robot::Type(Commands::MasterPasswordField, "laptop password");
  Robot::PressKey(GDK_KEY_Return);
  Robot::AnswerMessage(StoryText::ConfirmRestore(), GTK_MESSAGE_WARNING, GTK_RESPONSE_YES);
  Robot::AnswerMessage(StoryText::Restored(), GTK_MESSAGE_INFO);
  Robot::WaitStatus(
      Pick("Backup restored - 2 password(s)", "Backup teruggezet - 2 wachtwoord(en)"));
  Robot::Do("the laptop's entries are shown", [] {
    EXPECT_EQ(Robot::ListRows(), (std::vector<std::string>{"bank", "shop"}));
  });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  Vault::SetKeptCopyClock(nullptr);

  // A restore replaces the vault on purpose: no second kept copy.
  EXPECT_EQ(KeptFilesIn(dir.path).size(), 1u);
  ASSERT_EQ(Messages().size(), 3u);
  EXPECT_EQ(Messages()[0].title, "Lockwell");
  EXPECT_EQ(Vault::CheckVaultFile(VaultFile(), "laptop password"), Vault::Ok);
}

TEST_F(KeptCopyStory, AFifoAtTheTemporaryNameFailsTheSaveButNotTheIdleLock) {
  GivenVault("our password", {{"mail", "", "", ""}});
  const std::string before = TestFiles::ReadFile(VaultFile()), fifo = VaultFile() + ".tmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // another program waits there
  LogInWith("our password", 1);
  Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
  Robot::WaitWindow(Pick("New password", "Nieuw wachtwoord"));
  Robot::Type(Commands::DescriptionField, "added here");
  Robot::PressKey(GDK_KEY_Return);
  Robot::AnswerMessage(StoryText::SavingFailed(), GTK_MESSAGE_ERROR);
  Robot::MoveClock(61000);
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::Do("the lock took the vault off the screen",
            [] { EXPECT_TRUE(Robot::ListRows().empty() && !Vault::IsVaultOpen()); });
  Robot::PressKey(GDK_KEY_Escape);
  EXPECT_EQ(RunLockwell(), 0);

  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(TestFiles::ReadFile(VaultFile()), before);
  struct stat info {};
  EXPECT_TRUE(lstat(fifo.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
  char byte;
  EXPECT_LE(read(reader, &byte, 1), 0) << "the vault went into the FIFO";
  close(reader);
}

}  // namespace
