#include "app/dialog_loop.h"

#include "app/main_loop.h"

namespace App {

bool WaitDialogEvent(Event& event) {
  event = WaitEvent();
  ActivityHook(event);
  // A quit asked for while a dialog is open comes from a main window that is gone.
  return LockIsDue() || QuitIsRequested();
}

}  // namespace App
