#include "app/main_loop.h"

#include <gtk/gtk.h>

#include "app/clock.h"
#include "app/dialog_window.h"
#include "app/main_window.h"
#include "app/status_bar.h"
#include "vault/vault.h"

namespace App {
namespace {

bool gQuitRequested = false;
bool gLockRequested = false;
int64_t gLastShownRemaining = -1;  // -1: nothing shown yet
int64_t gLastActivityMs = 0;
int gPointerX = 0, gPointerY = 0;
LoopHandlers gHandlers{};

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

void SetLoopHandlers(const LoopHandlers& handlers) { gHandlers = handlers; }

void ResetMainLoop() {
  gQuitRequested = false;
  gLockRequested = false;
  gLastShownRemaining = -1;
  gLastActivityMs = 0;
  gPointerX = gPointerY = 0;
}

void RequestQuit() { gQuitRequested = true; }
bool QuitIsRequested() { return gQuitRequested; }
void RequestLock() { gLockRequested = true; }
bool LockIsDue() { return gLockRequested; }
void ClearLockRequest() { gLockRequested = false; }

void NoteActivity() { gLastActivityMs = NowMs(); }

void ActivityHook(const Event& event) {
  switch (event.kind) {
    case EventKind::Menu:
    case EventKind::Close:
    case EventKind::Control:
    case EventKind::Move:
    case EventKind::Size:
    case EventKind::BackgroundClick:
    case EventKind::Key:
    case EventKind::Typing:
      NoteActivity();
      break;
    case EventKind::Timer:
      if (event.object == kIdleTimerNumber) IdleTick();
      break;
  }
}

void IdleTick() {
  const int64_t now = NowMs();
  if (gHandlers.tick != nullptr) gHandlers.tick(now);
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
    RequestLock();
  }
  ShowIdleCountdown(remaining);
}

void ShowIdleCountdown(int64_t seconds) {
  if (seconds == gLastShownRemaining) return;
  gLastShownRemaining = seconds;
  double fraction = static_cast<double>(seconds) / kIdleSeconds;
  fraction = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
  ShowCountdown(fraction, seconds > 0 ? std::to_string(seconds) + " s" : "");
}

void RestartIdleCountdown() {
  NoteActivity();
  gLastShownRemaining = -1;
  ShowIdleCountdown(kIdleSeconds);
}

void MainLoop() {
  while (!gQuitRequested) {
    const Event event = WaitEvent();
    ActivityHook(event);
    if (gHandlers.dispatch != nullptr) gHandlers.dispatch(event);
    if (gLockRequested && !gQuitRequested) {
      if (gHandlers.relogin == nullptr || !gHandlers.relogin()) gQuitRequested = true;
    }
  }
}

}  // namespace App
