// The setting of stories that use file requesters.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "tests/support/gui_story.h"

class RequesterStory : public GuiStory {
 protected:
  void SetUp() override {
    GuiStory::SetUp();
    // The file requester would start a session bus on the test display; GLib ends the
    // process with SIGTERM when that bus goes away with the display at exit.
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 0);
    // Nor may it keep its own settings in the user's desktop database.
    setenv("GSETTINGS_BACKEND", "memory", 1);
  }
  void TearDown() override {
    if (homeDir.empty()) return;
    if (savedHome.empty()) {
      unsetenv("HOME");
    } else {
      setenv("HOME", savedHome.c_str(), 1);
    }
  }

  // HOME becomes a folder of the story's own (homeDir, ending in "/"), given to the program
  // with or without its last "/".
  void UseOwnHome(bool trailingSlash) {
    const char* home = std::getenv("HOME");
    savedHome = home != nullptr ? home : "";
    homeDir = dir.path + "home/";
    mkdir(homeDir.c_str(), 0700);
    setenv("HOME", (trailingSlash ? homeDir : dir.path + "home").c_str(), 1);
  }

  std::string savedHome, homeDir;
};
