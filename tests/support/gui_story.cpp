#include "tests/support/gui_story.h"

#include <X11/Xlib.h>

#include "app/entry_list.h"
#include "app/events.h"
#include "app/main_loop.h"
#include "commands/password_dialog.h"
#include "common/settings.h"
#include "program/startup.h"
#include "tests/support/test_vaults.h"
#include "tests/support/xvfb.h"

void GuiStory::SetUp() {
  ASSERT_TRUE(TestDisplay::Start()) << "Xvfb could not be started";
  ASSERT_TRUE(Vault::LoadSodium());
  ASSERT_EQ(setenv("XDG_STATE_HOME", state.path.c_str(), 1), 0);
  Robot::Reset();
  // The pointer rests where the idle watch starts counting from, so only the story moves it.
  if (Display* display = XOpenDisplay(TestDisplay::Name().c_str())) {
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, 0, 0);
    XCloseDisplay(display);
  }
}

namespace {

// A real run starts in a fresh process; a story runs the program again in this one, so
// what the last run left is put back first.
void ResetProgram() {
  Vault::WipeEntries(Vault::Entries());
  Common::ResetSettings();
  App::ResetMainLoop();
  App::SetShowPasswords(false);
  App::ClearEvents();
}

}  // namespace

int GuiStory::RunLockwell() {
  ResetProgram();
  std::string program = "lockwell", directory = dir.path;
  char* argv[] = {program.data(), directory.data(), nullptr};
  const int status = Program::RunProgram(2, argv);
  EXPECT_TRUE(Robot::Done()) << "the program ended before the story did";
  return status;
}

void GuiStory::GivenVault(const std::string& password, const std::vector<Vault::Entry>& entries) {
  ASSERT_EQ(TestVaults::WriteSmallVault(VaultFile(), password, entries), Vault::Ok);
}

void GuiStory::LogInWith(const std::string& password, size_t entries) {
  Robot::WaitWindow(Pick("Log in", "Inloggen"));
  Robot::Type(Commands::MasterPasswordField, password);
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitStatus(Pick("Logged in - ", "Ingelogd - ") + std::to_string(entries) +
                    Pick(" password(s)", " wachtwoord(en)"));
}
