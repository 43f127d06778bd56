// Every event of the main window, one row each: the command it calls and when it can be
// used. Menu rows and controls are enabled by their rule; a key or click whose rule does not
// hold does nothing. A row without a command is counted as activity by the loop and no more.
#include "program/connections.h"

#include <algorithm>
#include <array>

#include "app/entry_list.h"
#include "app/entry_search.h"
#include "app/key_table.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "commands/change_password.h"
#include "commands/entry_editor.h"
#include "commands/entry_order.h"
#include "commands/follow_vault.h"
#include "commands/login.h"
#include "commands/password_dialog.h"
#include "commands/unsaved_changes.h"
#include "commands/vault_copies.h"
#include "features/about.h"
#include "features/backup.h"
#include "features/browser.h"
#include "features/clipboard.h"
#include "features/password_health.h"
#include "features/restore.h"
#include "resources/app_image.h"
#include "texts/texts.h"

namespace Program {
namespace {

using App::EnableRule;
using App::Event;
using App::EventKind;
using Command = void (*)();

// Restoring asks for the backup's password through the login's own dialog.
void RestoreBackup() { Features::RestoreBackup(Commands::AskMasterPassword); }

// Exit and the close button: a change the vault file could not take is tried once more, and
// the user may go back rather than lose it. A window another program destroyed leaves no
// way back; the end of the run tries the save then.
void Quit() {
  if (App::MainWindowWidget() == nullptr || Commands::MayLeave()) App::RequestQuit();
}

void ShowAbout() {
  Features::ShowAboutWindow(App::MainWindowWidget(), "Lockwell 1.0", Resources::AppImagePng,
                            Resources::AppImagePngSize);
}

// The main window's keys, by key event number.
enum MainKey { KeyNew, KeyEdit, KeyEditKeypad, KeyDelete, KeyFind, kMainKeyCount };

struct Connection {
  Event event;
  Command command = nullptr;
  EnableRule enable = EnableRule::Anytime;
  App::Key key{};     // on key rows: the key that posts the event
  int menuHint = -1;  // on key rows: the menu item that shows the key as its hint
};

constexpr Event Menu(int number) { return {EventKind::Menu, App::kMainWindow, number, 0}; }
constexpr Event Control(int number, int type = App::kClicked) {
  return {EventKind::Control, App::kMainWindow, number, type};
}
constexpr Event Key(int number) { return {EventKind::Key, App::kMainWindow, number, 0}; }
constexpr Event Window(EventKind kind, int type = 0) {
  return {kind, App::kMainWindow, kind == EventKind::Timer ? App::kIdleTimerNumber : 0, type};
}

constexpr Connection kConnections[] = {
    // File menu
    {.event = Menu(App::MenuMakeBackup),
     .command = Features::MakeBackup,
     .enable = EnableRule::VaultOpen},
    {.event = Menu(App::MenuRestoreBackup),
     .command = RestoreBackup,
     .enable = EnableRule::VaultOpen},
    {.event = Menu(App::MenuExit), .command = Quit},
    // Edit menu and its keys
    {.event = Menu(App::MenuNew), .command = Commands::AddEntry, .enable = EnableRule::VaultOpen},
    {.event = Key(KeyNew),
     .command = Commands::AddEntry,
     .enable = EnableRule::VaultOpen,
     .key = {GDK_KEY_n, GDK_CONTROL_MASK},
     .menuHint = App::MenuNew},
    {.event = Menu(App::MenuEdit),
     .command = Commands::EditSelectedEntry,
     .enable = EnableRule::Selection},
    {.event = Key(KeyEdit),
     .command = Commands::EditSelectedEntry,
     .enable = EnableRule::Selection,
     .key = {GDK_KEY_Return}},
    {.event = Key(KeyEditKeypad),
     .command = Commands::EditSelectedEntry,
     .enable = EnableRule::Selection,
     .key = {GDK_KEY_KP_Enter}},
    {.event = Menu(App::MenuDelete),
     .command = Commands::DeleteSelectedEntry,
     .enable = EnableRule::Selection},
    {.event = Key(KeyDelete),
     .command = Commands::DeleteSelectedEntry,
     .enable = EnableRule::Selection,
     .key = {GDK_KEY_Delete},
     .menuHint = App::MenuDelete},
    {.event = Menu(App::MenuCheckPasswords),
     .command = Features::CheckPasswords,
     .enable = EnableRule::VaultOpen},
    // Settings menu
    {.event = Menu(App::MenuShowPasswords), .command = App::ToggleShowPasswords},
    {.event = Menu(App::MenuAlwaysOnTop), .command = App::ToggleAlwaysOnTop},
    {.event = Menu(App::MenuChooseBrowser), .command = Features::ChooseBrowser},
    {.event = Menu(App::MenuBreachList), .command = Features::ChooseBreachList},
    {.event = Menu(App::MenuChangeMasterPassword),
     .command = Commands::ChangeMasterPasswordCommand,
     .enable = EnableRule::VaultOpen},
    {.event = Menu(App::MenuAbout), .command = ShowAbout},
    // The list: a click or a change of selection shows the entry, a double click edits it.
    {.event = Control(App::EntryList),
     .command = App::RefreshDetails,
     .enable = EnableRule::VaultOpen},
    {.event = Control(App::EntryList, App::kRightClick),
     .command = App::RefreshDetails,
     .enable = EnableRule::VaultOpen},
    {.event = Control(App::EntryList, App::kLeftDoubleClick),
     .command = Commands::EditSelectedEntry,
     .enable = EnableRule::VaultOpen},
    {.event = Control(App::EntryList, App::kRightDoubleClick),
     .command = App::RefreshDetails,
     .enable = EnableRule::VaultOpen},
    // The list's search popup, opened by typing in the list or by Ctrl+F.
    {.event = Key(KeyFind),
     .command = App::StartSearch,
     .enable = EnableRule::VaultOpen,
     .key = {GDK_KEY_f, GDK_CONTROL_MASK}},
    {.event = Control(App::EntryList, App::kSearchChanged),
     .command = App::ShowSearchCount,
     .enable = EnableRule::VaultOpen},
    {.event = Control(App::EntryList, App::kSearchNext),
     .command = App::SearchNext,
     .enable = EnableRule::VaultOpen},
    {.event = Control(App::EntryList, App::kSearchPrevious),
     .command = App::SearchPrevious,
     .enable = EnableRule::VaultOpen},
    {.event = Control(App::EntryList, App::kSearchConfirm),
     .command = Commands::EditSelectedEntry,
     .enable = EnableRule::VaultOpen},
    {.event = Control(App::EntryList, App::kSearchClosed),
     .command = App::EndSearch,
     .enable = EnableRule::VaultOpen},
    // Buttons
    {.event = Control(App::UpButton),
     .command = Commands::MoveSelectedUp,
     .enable = EnableRule::RowAbove},
    {.event = Control(App::DownButton),
     .command = Commands::MoveSelectedDown,
     .enable = EnableRule::RowBelow},
    {.event = Control(App::OpenButton),
     .command = Features::OpenSelectedAddress,
     .enable = EnableRule::SelectionHasAddress},
    {.event = Control(App::CopyUserButton),
     .command = Features::CopySelectedUser,
     .enable = EnableRule::SelectionHasUser},
    {.event = Control(App::CopyPasswordButton),
     .command = Features::CopySelectedPassword,
     .enable = EnableRule::SelectionHasPassword},
    // The window itself
    {.event = Window(EventKind::Close), .command = Quit},
    {.event = Window(EventKind::Size), .command = App::LayoutMainWindow},
    {.event = Window(EventKind::Move)},
    {.event = Window(EventKind::Typing)},  // any key: activity
    {.event = Window(EventKind::BackgroundClick)},
    {.event = Window(EventKind::BackgroundClick, App::kLeftDoubleClick)},
    {.event = Window(EventKind::Timer)},  // the loop's idle countdown
};

constexpr int RowsFor(const Event& event) {
  return static_cast<int>(std::ranges::count(kConnections, event, &Connection::event));
}

constexpr bool EveryEventHasOneRow() {
  for (const Connection& row : kConnections) {
    if (RowsFor(row.event) != 1) return false;
  }
  for (int n = 0; n < App::kMenuItemCount; ++n) {
    if (RowsFor(Menu(n)) != 1) return false;
  }
  for (int n = 0; n < kMainKeyCount; ++n) {
    if (RowsFor(Key(n)) != 1) return false;
  }
  return true;
}
static_assert(EveryEventHasOneRow(), "every main-window event needs exactly one row");

// RefreshDetails enables a control by the rule of its rows, so they must agree; and a key is
// bound exactly where the row is a key row.
constexpr bool RowsAgree() {
  for (const Connection& a : kConnections) {
    if ((a.event.kind == EventKind::Key) != (a.key.code != 0)) return false;
    if (a.menuHint >= 0 && a.event.kind != EventKind::Key) return false;
    for (const Connection& b : kConnections) {
      const bool sameControl = a.event.kind == EventKind::Control &&
                               b.event.kind == EventKind::Control &&
                               a.event.object == b.event.object;
      if (sameControl && a.enable != b.enable) return false;
    }
  }
  return true;
}
static_assert(RowsAgree(), "rows of one control share a rule; only key rows carry keys");

constexpr size_t kMenuHintCount = static_cast<size_t>(
    std::ranges::count_if(kConnections, [](const Connection& row) { return row.menuHint >= 0; }));

// The keys the menu shows beside its items.
constexpr auto kMenuHints = [] {
  std::array<App::MenuHint, kMenuHintCount> hints{};
  size_t n = 0;
  for (const Connection& row : kConnections) {
    if (row.menuHint >= 0) hints[n++] = {row.menuHint, row.key};
  }
  return hints;
}();

constexpr auto kKeyRows = [] {
  std::array<App::KeyRow, kMainKeyCount> keys{};
  for (const Connection& row : kConnections) {
    if (row.event.kind == EventKind::Key)
      keys[static_cast<size_t>(row.event.object)] = {row.event, row.key};
  }
  return keys;
}();

const Connection* RowFor(const Event& event) {
  const auto* row = std::ranges::find(kConnections, event, &Connection::event);
  return row == std::end(kConnections) ? nullptr : row;
}

EnableRule RuleOf(const Event& event) {
  const Connection* row = RowFor(event);
  return row != nullptr ? row->enable : EnableRule::Anytime;
}

}  // namespace

void ConnectMainWindow() {
  App::SetLoopHandlers({.dispatch = Dispatch, .relogin = Relogin, .tick = Tick});
  App::SetEnableRules(RuleOf);
  App::InstallKeys(App::MainWindowWidget(), kKeyRows);
  App::ShowMenuHints(kMenuHints);
}

void Dispatch(const Event& event) {
  const Connection* row = RowFor(event);
  if (row != nullptr && row->command != nullptr && App::RuleHolds(row->enable)) row->command();
}

void LogOut() { Commands::LogOut(Features::SettlePendingCopy); }

// The lock comes on time even when the last change cannot be saved; the login after it says
// that the change is lost.
bool Relogin() {
  const bool saved = Commands::SaveBeforeLock();
  LogOut();
  if (!Commands::LogIn()) return false;
  if (!saved) App::SetStatusText(Texts::kText.statusLastChangeLost);
  return true;
}

void Tick(int64_t nowMs) {
  Features::SettleDueCopy(nowMs);
  // Another computer's save first, so that a conflict copy is weighed against it.
  Commands::FollowVaultFile();
  Commands::OfferVaultCopies();
}

}  // namespace Program
