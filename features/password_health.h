// The password health check of the open vault, and the choice of the breach list it uses.
#pragma once

#include "app/controls.h"

namespace Features {

// The check's dialog controls, numbered after the command dialogs' (13 to 26).
enum HealthControl {
  HealthList = 27,
  HealthProgressBar = 28,
  HealthCancelButton = 29,
  HealthCloseButton = 30,
};

// Checks every password of the open vault and shows the entries with findings; a row chosen
// there is selected in the main window. A progress bar with Cancel shows a long check.
void CheckPasswords();
// Asks whether to choose a breach list or check without one; saves the choice.
void ChooseBreachList();

}  // namespace Features
