// The story of a session that leaves no secret behind: log in to a vault whose passwords
// are long unique markers, copy one and let the copy be cleared, let the idle lock fall due,
// then read every readable region of this very process for the markers.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/controls.h"
#include "app/menus.h"
#include "commands/password_dialog.h"
#include "tests/support/gui_story.h"
#include "tests/support/memory_scan.h"
#include "tests/support/story_texts.h"
#include "tests/support/test_vaults.h"

namespace {

constexpr size_t kMarkerLength = 48;
// Short enough to live inside a std::string itself, so that it moves with the entry list.
constexpr size_t kShortMarkerLength = 15;
constexpr size_t kEntries = 12;

using MemoryScan::FindMarkers;
using MemoryScan::Marker;

// Writes a fresh marker into text (which the caller wipes) and returns it.
Marker MakeMarker(const std::string& what, std::mt19937_64& random, std::string& text,
                  size_t length = kMarkerLength) {
  MemoryScan::FillRandomLetters(random, text, length);
  return MemoryScan::MarkerOf(what, text);
}

class NoSecretLeftStory : public GuiStory {
 protected:
  void SetUp() override {
#ifdef LOCKWELL_SANITIZED
    GTEST_SKIP() << "the sanitizers' free keeps freed blocks unwiped in quarantine";
#endif
    GuiStory::SetUp();
  }

  // A vault of entries with marker passwords, every other one short enough to live inside
  // its string; the master password is a marker too.
  void GivenMarkerVault() {
    std::mt19937_64 random(std::random_device{}());
    std::vector<Vault::Entry> entries(kEntries);
    for (size_t i = 0; i < entries.size(); ++i) {
      entries[i].Omschrijving = "entry " + std::to_string(i);
      markers.push_back(MakeMarker("password " + std::to_string(i), random, entries[i].Wachtwoord,
                                   i % 2 == 0 ? kShortMarkerLength : kMarkerLength));
    }
    markers.push_back(MakeMarker("master password", random, master));
    GivenVault(master, entries);
    Vault::WipeEntries(entries);
  }

  // Logs in, copies the first password, lets the copy be cleared and the idle lock fall due.
  void LogInCopyAndWaitForTheLock(bool showPasswords) {
    LogInWith(master, kEntries);
    Vault::WipeText(master);  // the robot's step holds its own copy until it has typed it
    Robot::Do("while logged in, the scan finds every entry password", [this] {
      const std::vector<std::string> found = FindMarkers(markers);
      for (size_t i = 0; i < kEntries; ++i) {
        const std::string what = "password " + std::to_string(i) + " at ";
        EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const std::string& place) {
          return place.rfind(what, 0) == 0;
        })) << what;
      }
    });
    if (showPasswords) Robot::ChooseMenu(App::MenuShowPasswords);
    Robot::Click(App::CopyPasswordButton);
    Robot::WaitStatus(Pick("Copied - clipboard will be cleared in 15 s",
                           "Gekopieerd - klembord wordt over 15 s gewist"));
    Robot::MoveClock(15000);
    Robot::WaitStatus(Pick("Clipboard cleared", "Klembord gewist"));
    Robot::MoveClock(61000);
    Robot::WaitWindow(StoryText::LogInTitle());
    Robot::Pause(600);
  }

  std::string master;
  std::vector<Marker> markers;
};

TEST_F(NoSecretLeftStory, AfterTheIdleLockNoPasswordIsAnywhereInTheProcess) {
  GivenMarkerVault();
  LogInCopyAndWaitForTheLock(false);
  Robot::Do("read all of the process's memory", [this] {
    for (const std::string& place : FindMarkers(markers)) ADD_FAILURE() << place;
  });
  Robot::PressKey(GDK_KEY_Escape);  // giving up the login ends the program
  EXPECT_EQ(RunLockwell(), 0);
}

// Shown passwords are laid out as text by Pango; what remains of that is reported here.
TEST_F(NoSecretLeftStory, WithPasswordsShownTooNothingIsLeft) {
  GivenMarkerVault();
  LogInCopyAndWaitForTheLock(true);
  Robot::Do("read all of the process's memory", [this] {
    for (const std::string& place : FindMarkers(markers)) ADD_FAILURE() << place;
  });
  Robot::PressKey(GDK_KEY_Escape);
  EXPECT_EQ(RunLockwell(), 0);
}

}  // namespace
