// Story of a vault file replaced behind Lockwell's back while the user is logged in.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "app/menus.h"
#include "tests/support/gui_story.h"
#include "tests/support/test_vaults.h"

namespace {

using Robot::Messages;

class KeptCopyStory : public GuiStory {};

// Saves as the entry commands do after a change, from the main loop rather than from the
// robot's own step, so that the robot can answer the box the save shows.
gboolean SaveAsACommandWould(gpointer) {
  Vault::Entries().push_back({"added here", "", "", ""});
  Vault::SaveVault();
  return G_SOURCE_REMOVE;
}

std::vector<std::string> KeptFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    const std::string name = file.path().filename();
    if (name.rfind("kluis.lwv.extern-", 0) == 0) names.push_back(name);
  }
  return names;
}

TEST_F(KeptCopyStory, AVaultCopiedOverTheOpenOneIsKeptAndTheUserIsTold) {
  GivenVault("our password", {{"mail", "", "", ""}});
  const std::string laptop = dir.path + "laptop.lwv";
  ASSERT_EQ(TestVaults::WriteSmallVault(laptop, "laptop password",
                                        {{"bank", "", "", ""}, {"shop", "", "", ""}}),
            Vault::Ok);
  LogInWith("our password", 1);
  Robot::Do("the user copies the laptop's vault over kluis.lwv", [&] {
    std::filesystem::copy_file(laptop, VaultFile(),
                               std::filesystem::copy_options::overwrite_existing);
  });
  Robot::Do("a change in Lockwell is saved", [] { g_idle_add(SaveAsACommandWould, nullptr); });
  Robot::AnswerMessage();
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  const std::vector<std::string> kept = KeptFilesIn(dir.path);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_TRUE(std::regex_match(kept[0], std::regex(R"(kluis\.lwv\.extern-\d{4}-\d\d-\d\d-\d{6})")))
      << kept[0];
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].title, "Lockwell");
  EXPECT_EQ(Messages()[0].icon, GTK_MESSAGE_INFO);
  EXPECT_EQ(Messages()[0].text,
            Pick("The vault file was changed by another program while Lockwell had it open. "
                 "That version is kept as ",
                 "Het kluisbestand is door een ander programma gewijzigd terwijl Lockwell het "
                 "open had. Die versie is bewaard als ") +
                kept[0] + Pick("; your changes are saved.", "; uw wijzigingen zijn opgeslagen."));
  // The laptop's version is kept whole and opens with its own password; ours is saved.
  EXPECT_EQ(TestFiles::ReadFile(dir.path + kept[0]), TestFiles::ReadFile(laptop));
  EXPECT_EQ(Vault::CheckVaultFile(dir.path + kept[0], "laptop password"), Vault::Ok);
  ASSERT_EQ(Vault::OpenVault(VaultFile(), "our password"), Vault::Ok);
  EXPECT_EQ(Vault::Entries().size(), 2u);
  Vault::CloseVault();
}

}  // namespace
