// Saves a rectangle of the X screen as a PNG, for the screenshots of the documentation.
//   capture_screen OUT.png [X Y WIDTH HEIGHT]   (the whole screen without a rectangle)
// Exit status 0 on success, 1 on failure, 2 on misuse.
#include <gdk/gdk.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2 && argc != 6) return 2;
  gdk_set_allowed_backends("x11");
  if (!gdk_init_check(&argc, &argv)) return 1;
  GdkWindow* root = gdk_get_default_root_window();
  int x = 0, y = 0;
  int width = gdk_window_get_width(root), height = gdk_window_get_height(root);
  if (argc == 6) {
    x = std::atoi(argv[2]);
    y = std::atoi(argv[3]);
    width = std::atoi(argv[4]);
    height = std::atoi(argv[5]);
    if (width < 1 || height < 1) return 2;
  }
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, x, y, width, height);
  if (shot == nullptr) return 1;
  GError* error = nullptr;
  const bool saved = gdk_pixbuf_save(shot, argv[1], "png", &error, nullptr);
  g_clear_error(&error);
  g_object_unref(shot);
  return saved ? 0 : 1;
}
