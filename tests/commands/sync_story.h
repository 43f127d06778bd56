// The setting of the sync stories: the vault in a folder that another computer (the laptop)
// also saves into, as a sync tool brings its versions in.
#pragma once

#include <stdio.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/gui_story.h"
#include "tests/support/test_vaults.h"

class SyncStory : public GuiStory {
 protected:
  // The laptop saves list with the vault's own key, as a sync tool then puts it in place at
  // name (the vault's, or a conflict copy's).
  void LaptopSaves(const std::vector<Vault::Entry>& list, const std::string& name = "kluis.lwv") {
    Vault::KeyState keys{};
    std::vector<Vault::Entry> read;
    ASSERT_EQ(Vault::ReadVaultFile(VaultFile(), password, keys, read), Vault::Ok);
    Vault::WipeEntries(read);
    const Vault::VaultError sealed = Vault::SealToFile(dir.path + "incoming", keys, list);
    Vault::WipeAndFree(keys.key, Vault::kKeySize);
    ASSERT_EQ(sealed, Vault::Ok);
    arrived = TestFiles::ReadFile(dir.path + "incoming");
    ASSERT_EQ(rename((dir.path + "incoming").c_str(), (dir.path + name).c_str()), 0);
  }
  // The laptop saves under another master password.
  void LaptopSavesWithPassword(const std::string& other, const std::vector<Vault::Entry>& list,
                               const std::string& name = "kluis.lwv") {
    ASSERT_EQ(TestVaults::WriteSmallVault(dir.path + "incoming", other, list), Vault::Ok);
    ASSERT_EQ(rename((dir.path + "incoming").c_str(), (dir.path + name).c_str()), 0);
  }
  // What the vault file holds, opened with pass.
  std::vector<Vault::Entry> OnDisk(const std::string& pass) const {
    Vault::KeyState keys{};
    std::vector<Vault::Entry> list;
    if (Vault::ReadVaultFile(VaultFile(), pass, keys, list) == Vault::Ok) {
      Vault::WipeAndFree(keys.key, Vault::kKeySize);
    }
    return list;
  }
  bool NoCopyKept() const {
    for (const auto& file : std::filesystem::directory_iterator(dir.path)) {
      if (file.path().filename().string().find(".extern-") != std::string::npos) return false;
    }
    return true;
  }
  static std::string Updated(const std::string& english, const std::string& dutch) {
    return std::string(
               Pick("Updated from another computer", "Bijgewerkt vanaf een andere computer")) +
           Pick(english.c_str(), dutch.c_str());
  }

  const std::string password = "our password";
  std::string arrived;  // the laptop's last save
  const Vault::Entry mail{"Mail", "", "ann", "old"}, bank{"Bank", "", "", "b"},
      shop{"Shop", "", "", "s"};
};
