#include "app/dialog_loop.h"

#include "app/main_loop.h"

namespace App {

bool WaitDialogEvent(Event& event) {
  event = WaitEvent();
  ActivityHook(event);
  return LockIsDue();
}

}  // namespace App
