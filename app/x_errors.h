// Keeps the program running when another program destroys one of its windows.
#pragma once

namespace App {

// Drops the X errors that only say a window or drawable is gone. Another program may
// destroy a window (xdotool windowclose) while GDK still sends it requests; GDK would end
// the program on such an error, also when it arrives inside one of GDK's own error traps.
// The window's destroy handling takes care of the loss. Call after gtk_init.
void IgnoreErrorsOfVanishedWindows();

}  // namespace App
