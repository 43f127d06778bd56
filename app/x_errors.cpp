#include "app/x_errors.h"

#include <gdk/gdkx.h>

#include <initializer_list>

// Last: this header's macros would clash with other headers.
#include <X11/Xlibint.h>

namespace App {
namespace {

// Xlib asks this before any error handler; False drops the error.
Bool DropError(Display*, XErrorEvent*, xError*) { return False; }

}  // namespace

void IgnoreErrorsOfVanishedWindows() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return;
  for (int code : {BadWindow, BadDrawable}) {
    XESetWireToError(gdk_x11_display_get_xdisplay(display), code, DropError);
  }
}

}  // namespace App
