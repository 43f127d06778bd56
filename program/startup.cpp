#include "program/startup.h"

#include <X11/Xlib.h>
#include <gtk/gtk.h>
#include <pango/pangocairo.h>

#include <clocale>
#include <cstdlib>

#include "app/events.h"
#include "app/icon.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/x_errors.h"
#include "commands/login.h"
#include "common/hardening.h"
#include "common/instance_lock.h"
#include "common/paths.h"
#include "common/settings.h"
#include "features/clipboard.h"
#include "program/command_line.h"
#include "program/connections.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Program {
namespace {

constexpr char kGlSwitch[] = "GDK_GL";

void ShowSaveError(const std::string& message) {
  App::ShowMessageBox(Texts::kText.programTitle, message, App::MessageIcon::Error,
                      App::MessageButtons::Ok);
}

void ShowKeptCopy(const std::string& message) {
  App::ShowMessageBox(Texts::kText.programTitle, message, App::MessageIcon::Information,
                      App::MessageButtons::Ok);
}

void SetLocale() {
  setlocale(LC_ALL, "");
  setlocale(LC_NUMERIC, "C");  // numbers are always read and written with "."
}

// GTK 3 probes OpenGL while it opens the display, loading the GL driver libraries. Nothing
// here draws with GL, and the probe only decides which visuals GL could use, so it is
// skipped; GTK reads the switch in gtk_init alone, so it is taken away again before any
// program is started. A user's own choice stands.
void InitToolkitWithoutGl(int& argc, char**& argv) {
  const bool ownChoice = std::getenv(kGlSwitch) != nullptr;
  if (!ownChoice) setenv(kGlSwitch, "disable", 1);
  gtk_init(&argc, &argv);
  if (!ownChoice) unsetenv(kGlSwitch);
}

// Pango reads the font configuration on a thread of its own once its font map exists; made
// here, that runs beside the toolkit's start-up instead of holding up the first text field.
void StartFontSetup() { (void)pango_cairo_font_map_get_default(); }

// The last steps of every run.
int End(int status) {
  Features::HandOverClipboard();
  App::DestroyWindows();
  App::ClearEvents();
  Common::UnlockConfigDir();
  return status;
}

}  // namespace

int RunProgram(int argc, char** argv) {
  // Before a display is needed, a directory made or a lock taken.
  if (const InfoRequest request = InfoRequestFor(argc, argv); request != InfoRequest::Nothing) {
    return PrintInfo(request);
  }
  // Before anything secret exists; a failure leaves the process as usable as before.
  (void)HardenProcess();
  SetLocale();
  setenv("GDK_BACKEND", "x11", 1);
  XInitThreads();
  StartFontSetup();
  InitToolkitWithoutGl(argc, argv);
  App::IgnoreErrorsOfVanishedWindows();
  SetLocale();  // gtk_init sets every category from the environment again
  // Behind GTK's own options, such as --display, the first argument left counts.
  if (const InfoRequest request = InfoRequestFor(argc, argv); request != InfoRequest::Nothing) {
    return PrintInfo(request);
  }

  if (!Vault::LoadSodium()) {
    App::ShowMessageBox(Texts::kText.programTitle, Texts::kText.sodiumMissing,
                        App::MessageIcon::Error, App::MessageButtons::Ok);
    return End(1);
  }
  Vault::SetSaveErrorReporter(ShowSaveError);
  Vault::SetKeptCopyReporter(ShowKeptCopy);

  Common::SetConfigDir(Common::ConfigDirFor(argc, argv, std::getenv("HOME")));
  Common::EnsureConfigDir();
  // A second Lockwell would save over what this one saves; it stops before reading a file.
  if (!Common::LockConfigDir(Common::ConfigDir())) {
    App::ShowWarning(Texts::kText.programTitle, Texts::kText.alreadyRunning);
    return End(1);
  }
  Common::LoadSettings();
  App::SetDefaultIcon();
  App::CreateMainWindow();
  ConnectMainWindow();
  LogOut();
  if (!Commands::LogIn()) return End(0);  // the settings are not written

  App::MainLoop();
  Vault::CloseVault();
  Features::SettlePendingCopy();
  Common::SaveSettings();
  return End(0);
}

}  // namespace Program
