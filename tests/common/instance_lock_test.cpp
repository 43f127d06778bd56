// Story of a second Lockwell on a configuration folder that one already uses.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/menus.h"
#include "common/settings.h"
#include "tests/support/gui_story.h"

namespace {

using Robot::Messages;

class InstanceLockStory : public GuiStory {};

TEST_F(InstanceLockStory, ASecondLockwellStopsBeforeTouchingAFileAndTheNextStartWorks) {
  GivenVault("our password", {{"mail", "", "", ""}});
  TestFiles::WriteFile(SettingsFile(), "AltijdBoven=1\r\n");
  const std::string vault = TestFiles::ReadFile(VaultFile());
  // The Lockwell that was there first holds the folder.
  const int first = open(dir.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(first, 0);
  ASSERT_EQ(flock(first, LOCK_EX | LOCK_NB), 0);

  Robot::AnswerMessage(
      Pick("Lockwell is already running with this vault.", "Lockwell draait al met deze kluis."),
      GTK_MESSAGE_WARNING);
  EXPECT_EQ(RunLockwell(), 1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].title, "Lockwell");
  EXPECT_EQ(Common::CurrentSettings().AltijdBoven, 0) << "the settings were read";
  EXPECT_EQ(TestFiles::ReadFile(SettingsFile()), "AltijdBoven=1\r\n");
  EXPECT_EQ(TestFiles::ReadFile(VaultFile()), vault);

  // The first one ends; now Lockwell starts as usual and holds the folder itself.
  close(first);
  Robot::Reset();
  LogInWith("our password", 1);
  Robot::Do("the folder is taken while Lockwell runs", [&] {
    const int other = open(dir.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);
    close(other);
  });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Common::CurrentSettings().AltijdBoven, 1);
  // And lets go of it at the end.
  const int after = open(dir.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  EXPECT_EQ(flock(after, LOCK_EX | LOCK_NB), 0);
  close(after);
}

}  // namespace
