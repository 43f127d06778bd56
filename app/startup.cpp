#include "app/startup.h"

#include <X11/Xlib.h>
#include <gtk/gtk.h>

#include <clocale>
#include <cstdlib>

#include "app/message_box.h"
#include "app/paths.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace App {

int RunProgram(int argc, char** argv) {
  setlocale(LC_ALL, "");
  setlocale(LC_NUMERIC, "C");  // numbers are always read and written with "."

  setenv("GDK_BACKEND", "x11", 1);
  XInitThreads();
  gtk_init(&argc, &argv);

  Vault::Entries().clear();

  if (!Vault::LoadSodium()) {
    ShowMessageBox("Lockwell", Texts::kText.sodiumMissing, MessageIcon::Error, MessageButtons::Ok);
    return 1;
  }

  SetConfigDir(ConfigDirFor(argc, argv, std::getenv("HOME")));
  EnsureConfigDir();
  return 0;
}

}  // namespace App
