// Stories of making a backup: the proposed name, names without extension, overwriting,
// and the vault itself refused.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <ctime>
#include <filesystem>

#include "app/dialog_window.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "tests/support/requester_story.h"

namespace {

using Robot::Messages;
using Robot::Requesters;
using TestFiles::ReadFile;

class BackupStory : public RequesterStory {
 protected:
  void SetUp() override {
    RequesterStory::SetUp();
    UseOwnHome(false);
  }
};

std::string Today() {
  const std::time_t now = std::time(nullptr);
  char date[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", std::localtime(&now));
  return date;
}

std::string Overwrite() {
  return Pick("The file already exists. Overwrite?", "Bestand bestaat al. Overschrijven?");
}

std::string Made(const std::string& name) {
  return Pick("Backup made: ", "Backup gemaakt: ") + name;
}

TEST_F(BackupStory, BackupsUnderTheProposedAndChosenNames) {
  GivenVault("pw", {{"mail", "", "ann", "s3cret"}});
  chmod(VaultFile().c_str(), 0640);
  const std::string proposed = Pick("vault_backup_", "kluis_backup_") + Today() + ".lwv";
  const std::string vault = ReadFile(VaultFile());
  TestFiles::WriteFile(homeDir + "other.bak", "precious");
  // A user's folder at the name + ".tmp" is not in the copy's way.
  mkdir((homeDir + "blocked.lwv.tmp").c_str(), 0700);
  LogInWith("pw", 1);

  Robot::ChooseMenu(App::MenuMakeBackup);
  Robot::ChooseFile(homeDir + proposed);
  Robot::WaitStatus(Made(proposed));
  Robot::ChooseMenu(App::MenuMakeBackup);
  Robot::ChooseFile(homeDir + "mybackup");
  Robot::WaitStatus(Made("mybackup.lwv"));
  // An existing file: No leaves it alone, Yes overwrites it.
  Robot::ChooseMenu(App::MenuMakeBackup);
  Robot::ChooseFile(homeDir + "other.bak");
  Robot::AnswerMessage(Overwrite(), GTK_MESSAGE_OTHER, GTK_RESPONSE_NO);
  Robot::Do("the file is untouched", [this] {
    EXPECT_EQ(ReadFile(homeDir + "other.bak"), "precious");
    EXPECT_EQ(Robot::StatusText(), Made("mybackup.lwv"));
  });
  Robot::ChooseMenu(App::MenuMakeBackup);
  Robot::ChooseFile(homeDir + "other.bak");
  Robot::AnswerMessage(Overwrite(), GTK_MESSAGE_OTHER, GTK_RESPONSE_YES);
  Robot::WaitStatus(Made("other.bak"));
  // The vault itself, in other letters, is refused; a copy that fails is reported.
  Robot::ChooseMenu(App::MenuMakeBackup);
  Robot::ChooseFile(dir.path + "KLUIS.LWV");
  Robot::AnswerMessage(Pick("Choose a different file than the vault itself.",
                            "Kies een ander bestand dan de kluis zelf."),
                       GTK_MESSAGE_WARNING);
  Robot::ChooseMenu(App::MenuMakeBackup);
  Robot::ChooseFile(homeDir + "blocked.lwv");
  Robot::WaitStatus(Made("blocked.lwv"));
  // A disk that fills up (a file size limit, which binds root too) makes the copy fail.
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  Robot::Do("the disk fills up", [limit] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit full{16, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
  });
  Robot::ChooseMenu(App::MenuMakeBackup);
  Robot::ChooseFile(homeDir + "full.lwv");
  Robot::AnswerMessage(Pick("Making the backup failed.", "Backup maken is mislukt."),
                       GTK_MESSAGE_ERROR);
  Robot::Do("there is room again", [limit] { setrlimit(RLIMIT_FSIZE, &limit); });
  Robot::ChooseMenu(App::MenuMakeBackup);
  Robot::CancelFile();
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  for (const std::string& name : {proposed, std::string("mybackup.lwv"), std::string("other.bak"),
                                  std::string("blocked.lwv")}) {
    EXPECT_EQ(ReadFile(homeDir + name), vault) << name;
    EXPECT_EQ(TestFiles::ModeOf(homeDir + name), 0640) << name;
    EXPECT_EQ(TestFiles::Exists(homeDir + name + ".tmp"), name == "blocked.lwv") << name;
  }
  EXPECT_FALSE(TestFiles::Exists(homeDir + "mybackup"));
  EXPECT_EQ(ReadFile(VaultFile()), vault);
  EXPECT_EQ(TestFiles::ModeOf(homeDir + "blocked.lwv.tmp"), 0700);
  EXPECT_FALSE(TestFiles::Exists(homeDir + "full.lwv"));
  for (const auto& file : std::filesystem::directory_iterator(homeDir)) {
    EXPECT_EQ(file.path().filename().string().find(".lockwell-"), std::string::npos);
  }

  const std::string title = Pick("Make backup", "Backup maken");
  ASSERT_EQ(Messages().size(), 4u);
  for (const auto& message : Messages()) EXPECT_EQ(message.title, title);

  ASSERT_EQ(Requesters().size(), 8u);
  EXPECT_EQ(Requesters()[0].title, title);
  EXPECT_TRUE(Requesters()[0].save);
  EXPECT_EQ(Requesters()[0].folder + "/", homeDir);
  EXPECT_EQ(Requesters()[0].name, proposed);
  EXPECT_EQ(Requesters()[0].filters,
            (std::vector<std::string>{Pick("Vault (*.lwv)", "Kluis (*.lwv)"),
                                      Pick("All files (*.*)", "Alle bestanden (*.*)")}));
  EXPECT_EQ(Requesters()[0].selectedFilter, Pick("Vault (*.lwv)", "Kluis (*.lwv)"));
}

}  // namespace
