// The setting of a GUI story: a private X server, a fresh configuration directory, and the
// real program run in this process while the robot plays the user.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/support/robot.h"
#include "tests/support/test_files.h"
#include "texts/texts.h"
#include "vault/vault.h"

// The text of the edition this test program is linked with.
inline const char* Pick(const char* english, const char* dutch) {
  return std::string_view(Texts::kText.language) == "nl" ? dutch : english;
}

class GuiStory : public ::testing::Test {
 protected:
  void SetUp() override;
  // Runs the program with the story's directory as its argument; returns the exit status.
  int RunLockwell();
  // A vault another session left behind (small key parameters, so logging in is quick).
  void GivenVault(const std::string& password, const std::vector<Vault::Entry>& entries);
  // Logs in through the dialog and waits until the list shows.
  void LogInWith(const std::string& password, size_t entries);

  std::string VaultFile() const { return dir.path + "kluis.lwv"; }
  std::string SettingsFile() const { return dir.path + "instellingen.ini"; }

  TestFiles::TempDir dir;
  TestFiles::TempDir state;  // the user's state folder ($XDG_STATE_HOME) of this story
};
