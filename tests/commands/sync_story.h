// The setting of the sync stories: the vault in a folder that another computer (the laptop)
// also saves into, as a sync tool brings its versions in.
#pragma once

#include <stdio.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/gui_story.h"
#include "tests/support/test_vaults.h"

namespace SyncFiles {

// Saves list with the key of the vault file at vault, written beside it and renamed to name
// in its folder, as another computer's Lockwell and then a sync tool would; the bytes saved.
inline std::string SaveWithItsKey(const std::string& vault, const std::string& password,
                                  const std::vector<Vault::Entry>& list, const std::string& name) {
  Vault::KeyState keys{};
  std::vector<Vault::Entry> read;
  EXPECT_EQ(Vault::ReadVaultFile(vault, password, keys, read), Vault::Ok) << vault;
  Vault::WipeEntries(read);
  const std::string folder = vault.substr(0, vault.rfind('/') + 1);
  const std::string incoming = folder + ".incoming";
  const Vault::VaultError sealed = Vault::SealToFile(incoming, keys, list);
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
  EXPECT_EQ(sealed, Vault::Ok);
  const std::string bytes = TestFiles::ReadFile(incoming);
  EXPECT_EQ(rename(incoming.c_str(), (folder + name).c_str()), 0);
  return bytes;
}

// What the vault file at path holds, opened with password.
inline std::vector<Vault::Entry> EntriesIn(const std::string& path, const std::string& password) {
  Vault::KeyState keys{};
  std::vector<Vault::Entry> list;
  if (Vault::ReadVaultFile(path, password, keys, list) == Vault::Ok) {
    Vault::WipeAndFree(keys.key, Vault::kKeySize);
  }
  return list;
}

// The text of the question about one copy (Lockwell's own kept copy or a sync tool's), and
// what merging it does ("adds 1 entry and removes 1 entry (Shop)").
inline std::string Question(const std::string& name, const std::string& does,
                            const std::string& doesNl) {
  const bool lockwells = name.find(".extern-") != std::string::npos;
  return name +
         (lockwells ? Pick(" is another version of the vault, kept by Lockwell when it saved over "
                           "it.",
                           " is een andere versie van de kluis, bewaard door Lockwell toen het "
                           "eroverheen opsloeg.")
                    : Pick(" is another version of the vault, kept by a sync tool.",
                           " is een andere versie van de kluis, bewaard door een "
                           "synchronisatieprogramma.")) +
         Pick("\n\nMerging it ", "\n\nSamenvoegen ") + Pick(does.c_str(), doesNl.c_str()) +
         Pick(".\n\nMerge it into the vault?", ".\n\nSamenvoegen met de kluis?");
}

}  // namespace SyncFiles

class SyncStory : public GuiStory {
 protected:
  // The laptop saves list with the vault's own key, as a sync tool then puts it in place at
  // name (the vault's, or a conflict copy's).
  void LaptopSaves(const std::vector<Vault::Entry>& list, const std::string& name = "kluis.lwv") {
    arrived = SyncFiles::SaveWithItsKey(VaultFile(), password, list, name);
  }
  // The laptop's Lockwell saves over a version it never read: its guard keeps that version
  // as a copy first, and the sync tool brings both.
  void LaptopSavesOverUnread(const std::vector<Vault::Entry>& list) {
    TestFiles::WriteFile(dir.path + "kluis.lwv.extern-2026-12-09-101500",
                         TestFiles::ReadFile(VaultFile()));
    LaptopSaves(list);
  }
  // The laptop saves under another master password.
  void LaptopSavesWithPassword(const std::string& other, const std::vector<Vault::Entry>& list,
                               const std::string& name = "kluis.lwv") {
    ASSERT_EQ(TestVaults::WriteSmallVault(dir.path + "incoming", other, list), Vault::Ok);
    ASSERT_EQ(rename((dir.path + "incoming").c_str(), (dir.path + name).c_str()), 0);
  }
  std::vector<Vault::Entry> OnDisk(const std::string& pass) const {
    return SyncFiles::EntriesIn(VaultFile(), pass);
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
