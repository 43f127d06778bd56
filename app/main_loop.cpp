#include "app/main_loop.h"

#include <gtk/gtk.h>

#include "app/clock.h"
#include "app/entry_list.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "commands/change_password.h"
#include "commands/entry_editor.h"
#include "commands/entry_order.h"
#include "commands/login.h"
#include "features/clipboard.h"
#include "vault/vault.h"

namespace App {

bool QuitRequested = false;
bool LockRequested = false;
int64_t LastShownRemaining = -1;

namespace {

int64_t gLastActivityMs = 0;
int gPointerX = 0, gPointerY = 0;

void ToggleShowPasswords() {
  ShowPasswords = !ShowPasswords;
  SetMenuCheck(MenuShowPasswords, ShowPasswords);
  RefreshDetails();
}

void ToggleAlwaysOnTop() {
  Settings& settings = CurrentSettings();
  settings.AltijdBoven = settings.AltijdBoven != 0 ? 0 : 1;
  SetMenuCheck(MenuAlwaysOnTop, settings.AltijdBoven != 0);
  ApplyKeepAbove();
  SaveSettings();
}

void Quit() { QuitRequested = true; }

void CopySelected(std::string Vault::Entry::*field) {
  const int i = SelectedIndex();
  if (i >= 0) Features::CopyToClipboard(Vault::Entries()[i].*field);
}

// Menu rows; a null row is a command that arrives with a later part of the program.
using Command = void (*)();
constexpr Command kMenuCommands[kMenuItemCount] = {
    nullptr,                                // 0 make backup
    nullptr,                                // 1 restore backup
    Quit,                                   // 2 exit
    Commands::AddEntry,                     // 3
    Commands::EditSelectedEntry,            // 4
    Commands::DeleteSelectedEntry,          // 5
    ToggleShowPasswords,                    // 6
    ToggleAlwaysOnTop,                      // 7
    nullptr,                                // 8 choose browser
    Commands::ChangeMasterPasswordCommand,  // 9
    nullptr,                                // 10 about
};

void DispatchControl(const Event& event) {
  switch (event.object) {
    case EntryList:
      if (event.type == kLeftDoubleClick) {
        Commands::EditSelectedEntry();
      } else {
        RefreshDetails();
      }
      break;
    case UpButton:
      Commands::MoveSelectedEntry(-1);
      break;
    case DownButton:
      Commands::MoveSelectedEntry(+1);
      break;
    case CopyUserButton:
      CopySelected(&Vault::Entry::Gebruiker);
      break;
    case CopyPasswordButton:
      CopySelected(&Vault::Entry::Wachtwoord);
      break;
    default:
      break;  // open arrives with its command
  }
}

void Dispatch(const Event& event) {
  switch (event.kind) {
    case EventKind::Menu:
      if (event.window == kMainWindow && event.object >= 0 && event.object < kMenuItemCount &&
          kMenuCommands[event.object] != nullptr) {
        kMenuCommands[event.object]();
      }
      break;
    case EventKind::Close:
      if (event.window == kMainWindow) QuitRequested = true;
      break;
    case EventKind::Size:
      if (event.window == kMainWindow) LayoutMainWindow();
      break;
    case EventKind::Control:
      if (event.window == kMainWindow) DispatchControl(event);
      break;
    default:
      break;
  }
}

bool ProgramHasFocus() {
  GtkWidget* windows[] = {MainWindowWidget(), DialogWindowWidget()};
  for (GtkWidget* window : windows) {
    if (window != nullptr && gtk_window_has_toplevel_focus(GTK_WINDOW(window))) return true;
  }
  return false;
}

bool PointerPosition(int* x, int* y) {
  GdkDisplay* display = gdk_display_get_default();
  GdkSeat* seat = display != nullptr ? gdk_display_get_default_seat(display) : nullptr;
  GdkDevice* pointer = seat != nullptr ? gdk_seat_get_pointer(seat) : nullptr;
  if (pointer == nullptr) return false;
  gdk_device_get_position(pointer, nullptr, x, y);
  return true;
}

}  // namespace

void ResetMainLoop() {
  QuitRequested = false;
  LockRequested = false;
  LastShownRemaining = -1;
  gLastActivityMs = 0;
  gPointerX = gPointerY = 0;
}

void NoteActivity() { gLastActivityMs = NowMs(); }

void ActivityHook(const Event& event) {
  switch (event.kind) {
    case EventKind::Menu:
    case EventKind::Close:
    case EventKind::Control:
    case EventKind::Move:
    case EventKind::Size:
    case EventKind::BackgroundClick:
      NoteActivity();
      break;
    case EventKind::Timer:
      if (event.object == kIdleTimerNumber) IdleTick();
      break;
    case EventKind::Other:
      break;  // pointer movement is noticed by IdleTick
  }
}

void IdleTick() {
  const int64_t now = NowMs();
  if (Features::ClearAt() != 0 && now >= Features::ClearAt()) Features::SettlePendingCopy();
  if (!Vault::IsVaultOpen()) return;
  int x = 0, y = 0;
  if (PointerPosition(&x, &y)) {
    if (ProgramHasFocus() && (x != gPointerX || y != gPointerY)) NoteActivity();
    gPointerX = x;
    gPointerY = y;
  }
  const int64_t idle = (NowMs() - gLastActivityMs) / 1000;
  int64_t remaining = kIdleSeconds - idle;
  if (remaining <= 0) {
    remaining = 0;
    LockRequested = true;
  }
  ShowIdleCountdown(remaining);
}

void ShowIdleCountdown(int64_t seconds) {
  if (seconds == LastShownRemaining) return;
  LastShownRemaining = seconds;
  double fraction = static_cast<double>(seconds) / kIdleSeconds;
  fraction = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
  ShowCountdown(fraction, seconds > 0 ? std::to_string(seconds) + " s" : "");
}

void MainLoop() {
  while (!QuitRequested) {
    const Event event = WaitEvent();
    ActivityHook(event);
    Dispatch(event);
    if (LockRequested && !QuitRequested) {
      Commands::LogOut();
      if (!Commands::LogIn()) QuitRequested = true;
    }
  }
}

}  // namespace App
