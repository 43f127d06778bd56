// The story of a session that leaves no secret behind: log in to a vault whose passwords
// are long unique markers, copy one and let the copy be cleared, let the idle lock fall due,
// then read every readable region of this very process for the markers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "app/controls.h"
#include "app/menus.h"
#include "commands/password_dialog.h"
#include "tests/support/gui_story.h"
#include "tests/support/story_texts.h"
#include "tests/support/test_vaults.h"

namespace {

constexpr size_t kMarkerLength = 48;
// Short enough to live inside a std::string itself, so that it moves with the entry list.
constexpr size_t kShortMarkerLength = 15;
constexpr unsigned char kMask = 0x5A;
constexpr size_t kEntries = 12;

// A marker is kept only masked, so that the test's own copy is never what the scan finds.
struct Marker {
  std::string what;
  std::string masked;
};

// Writes a fresh marker into text (which the caller wipes) and returns its masked copy.
Marker MakeMarker(const std::string& what, std::mt19937_64& random, std::string& text,
                  size_t length = kMarkerLength) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  text.assign(length, ' ');
  Marker marker{what, std::string(length, ' ')};
  for (size_t i = 0; i < length; ++i) {
    text[i] = kLetters[random() % (sizeof kLetters - 1)];
    marker.masked[i] = static_cast<char>(text[i] ^ kMask);
  }
  return marker;
}

struct Region {
  uintptr_t start, end;
  std::string name;
};

std::vector<Region> ReadableRegions() {
  std::vector<Region> regions;
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    std::istringstream fields(line);
    std::string range, perms, offset, device, inode, name;
    fields >> range >> perms >> offset >> device >> inode;
    std::getline(fields >> std::ws, name);
    if (perms[0] != 'r' || name == "[vvar]" || name == "[vsyscall]") continue;
    const size_t dash = range.find('-');
    regions.push_back({std::stoull(range.substr(0, dash), nullptr, 16),
                       std::stoull(range.substr(dash + 1), nullptr, 16), name});
  }
  return regions;
}

// The part of a marker the scan looks for: its second half. A text emptied with clear() in
// place of a wipe loses only its first byte, so a whole marker is not all a scan must find.
std::string_view Sought(const Marker& marker) {
  return std::string_view(marker.masked).substr(marker.masked.size() / 2);
}

// Every place in readable memory that holds one of the markers, or what is left of one
// without its first bytes, as "what in region".
std::vector<std::string> FindMarkers(const std::vector<Marker>& markers) {
  constexpr size_t kChunk = 1 << 20;
  const size_t overlap = kMarkerLength - 1;
  // Outside the heap, and skipped, so that what it copies is never counted twice.
  auto* buffer = static_cast<unsigned char*>(
      mmap(nullptr, kChunk + overlap, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  const auto bufferStart = reinterpret_cast<uintptr_t>(buffer);
  const int mem = open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
  std::vector<std::string> found;
  for (const Region& region : ReadableRegions()) {
    if (region.start <= bufferStart && bufferStart < region.end) continue;
    for (uintptr_t at = region.start; at < region.end; at += kChunk) {
      const size_t want = std::min<uintptr_t>(kChunk + overlap, region.end - at);
      const ssize_t got = pread(mem, buffer, want, static_cast<off_t>(at));
      if (got <= 0) continue;
      for (const Marker& marker : markers) {
        const std::string_view sought = Sought(marker);
        const unsigned char first = static_cast<unsigned char>(sought[0]) ^ kMask;
        for (size_t i = 0; i < static_cast<size_t>(got); ++i) {
          if (buffer[i] != first) continue;
          const size_t length = sought.size();
          if (i + length > static_cast<size_t>(got)) continue;
          size_t k = 1;
          while (k < length && (buffer[i + k] ^ kMask) == static_cast<unsigned char>(sought[k])) {
            ++k;
          }
          if (k == length && (i < kChunk || at + kChunk >= region.end)) {
            char where[64];
            std::snprintf(where, sizeof where, " at %#lx in ", static_cast<unsigned long>(at + i));
            found.push_back(marker.what + where + (region.name.empty() ? "[anon]" : region.name));
          }
        }
      }
    }
  }
  close(mem);
  munmap(buffer, kChunk + overlap);
  return found;
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
