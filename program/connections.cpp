// Every menu row, control and window event of the main window, and the command it calls.
// An empty row (a frame, a field, a label) does nothing.
#include "program/connections.h"

#include "app/entry_list.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "commands/change_password.h"
#include "commands/entry_editor.h"
#include "commands/entry_order.h"
#include "commands/login.h"
#include "commands/password_dialog.h"
#include "common/settings.h"
#include "features/about.h"
#include "features/backup.h"
#include "features/browser.h"
#include "features/clipboard.h"
#include "features/restore.h"
#include "resources/app_image.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Program {
namespace {

using App::Event;
using App::EventKind;

void ToggleShowPasswords() {
  App::SetShowPasswords(!App::PasswordsShown());
  App::RefreshDetails();
}

void ToggleAlwaysOnTop() {
  App::Settings& settings = App::CurrentSettings();
  settings.AltijdBoven = settings.AltijdBoven != 0 ? 0 : 1;
  App::SetMenuCheck(App::MenuAlwaysOnTop, settings.AltijdBoven != 0);
  App::ApplyKeepAbove();
  App::SaveSettings();
}

// The clipboard and the browser get the text the window shows: a lone surrogate has no
// UTF-8 form, so U+FFFD stands in for it there too.
void CopySelected(std::string Vault::Entry::*field) {
  const int i = App::SelectedIndex();
  if (i < 0) return;
  std::string shown = Vault::ShownText(Vault::Entries()[i].*field);
  Features::CopyToClipboard(shown);
  Vault::WipeText(shown);
}

void OpenSelectedAddress() {
  const int i = App::SelectedIndex();
  if (i >= 0) Features::OpenWebAddress(Vault::ShownText(Vault::Entries()[i].Url));
}

// Restoring asks for the backup's password through the login's own dialog.
void RestoreBackup() { Features::RestoreBackup(Commands::AskMasterPassword); }

void ShowAbout() {
  Features::ShowAboutWindow(App::MainWindowWidget(), "Lockwell 1.0", Resources::AppImagePng,
                            Resources::AppImagePngSize);
}

void MoveUp() { Commands::MoveSelectedEntry(-1); }
void MoveDown() { Commands::MoveSelectedEntry(+1); }

void CopyUser() { CopySelected(&Vault::Entry::Gebruiker); }
void CopyPassword() { CopySelected(&Vault::Entry::Wachtwoord); }

using Command = void (*)();

// Menu rows, by menu event number.
constexpr Command kMenuCommands[App::kMenuItemCount] = {
    Features::MakeBackup,                   // 0 make backup
    RestoreBackup,                          // 1 restore backup
    App::RequestQuit,                       // 2 exit
    Commands::AddEntry,                     // 3 new entry
    Commands::EditSelectedEntry,            // 4 edit entry
    Commands::DeleteSelectedEntry,          // 5 delete entry
    ToggleShowPasswords,                    // 6 show passwords
    ToggleAlwaysOnTop,                      // 7 always on top
    Features::ChooseBrowser,                // 8 choose browser
    Commands::ChangeMasterPasswordCommand,  // 9 change master password
    ShowAbout,                              // 10 about
};

// Controls of the main window, by control number; the list has its own row below.
constexpr Command kControlCommands[App::kMainControlCount] = {
    nullptr,              // 0 entry list: see DispatchList
    MoveUp,               // 1 up
    MoveDown,             // 2 down
    nullptr,              // 3 details frame
    nullptr,              // 4 web address field
    OpenSelectedAddress,  // 5 open
    nullptr,              // 6 user field
    CopyUser,             // 7 copy user name
    nullptr,              // 8 password field
    CopyPassword,         // 9 copy password
    nullptr,              // 10, 11, 12 labels
    nullptr,
    nullptr,
};

void DispatchList(const Event& event) {
  if (event.type == App::kLeftDoubleClick) {
    Commands::EditSelectedEntry();
  } else {
    App::RefreshDetails();
  }
}

void Run(Command command) {
  if (command != nullptr) command();
}

}  // namespace

void Dispatch(const Event& event) {
  if (event.window != App::kMainWindow) return;
  switch (event.kind) {
    case EventKind::Menu:
      if (event.object >= 0 && event.object < App::kMenuItemCount) {
        Run(kMenuCommands[event.object]);
      }
      break;
    case EventKind::Close:
      App::RequestQuit();
      break;
    case EventKind::Size:
      App::LayoutMainWindow();
      break;
    case EventKind::Control:
      if (event.object == App::EntryList) {
        DispatchList(event);
      } else if (event.object >= 0 && event.object < App::kMainControlCount) {
        Run(kControlCommands[event.object]);
      }
      break;
    default:
      break;
  }
}

void LogOut() { Commands::LogOut(Features::SettlePendingCopy); }

bool Relogin() {
  LogOut();
  return Commands::LogIn();
}

void Tick(int64_t nowMs) { Features::SettleDueCopy(nowMs); }

}  // namespace Program
