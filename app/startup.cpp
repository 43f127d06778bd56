#include "app/startup.h"

#include <X11/Xlib.h>
#include <gtk/gtk.h>

#include <clocale>
#include <cstdlib>

#include "app/entry_list.h"
#include "app/events.h"
#include "app/icon.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "app/settings.h"
#include "commands/login.h"
#include "features/clipboard.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace App {
namespace {

void ShowSaveError(const std::string& message) {
  ShowMessageBox("Lockwell", message, MessageIcon::Error, MessageButtons::Ok);
}

// The last steps of every run.
int End(int status) {
  Features::HandOverClipboard();
  DestroyWindows();
  ClearEvents();
  return status;
}

}  // namespace

int RunProgram(int argc, char** argv) {
  setlocale(LC_ALL, "");
  setlocale(LC_NUMERIC, "C");  // numbers are always read and written with "."

  setenv("GDK_BACKEND", "x11", 1);
  XInitThreads();
  gtk_init(&argc, &argv);

  Vault::WipeEntries(Vault::Entries());
  CurrentSettings() = DefaultSettings();
  ResetMainLoop();
  ShowPasswords = false;
  ClearEvents();

  if (!Vault::LoadSodium()) {
    ShowMessageBox("Lockwell", Texts::kText.sodiumMissing, MessageIcon::Error, MessageButtons::Ok);
    return End(1);
  }
  Vault::SetSaveErrorReporter(ShowSaveError);

  SetConfigDir(ConfigDirFor(argc, argv, std::getenv("HOME")));
  EnsureConfigDir();
  LoadSettings();
  SetDefaultIcon();
  CreateMainWindow();
  Commands::LogOut();
  if (!Commands::LogIn()) return End(0);  // the settings are not written

  MainLoop();
  Vault::CloseVault();
  Features::SettlePendingCopy();
  SaveSettings();
  return End(0);
}

}  // namespace App
