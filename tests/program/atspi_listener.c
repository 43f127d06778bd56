/* A listener on the accessibility bus, as a screen reader is: with one registered, the
 * toolkit sends every label's text over the bus. */
#include <atspi/atspi.h>

static void Heard(AtspiEvent* event, void* data) {
  (void)data;
  g_boxed_free(ATSPI_TYPE_EVENT, event);
}

int main(void) {
  if (atspi_init() < 0) return 1;
  AtspiEventListener* listener = atspi_event_listener_new(Heard, NULL, NULL);
  atspi_event_listener_register(listener, "object:", NULL);
  atspi_event_listener_register(listener, "window:", NULL);
  atspi_event_main();
  return 0;
}
