// The setting of stories that use file requesters.
#pragma once

#include <cstdlib>

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
};
