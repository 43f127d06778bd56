// Build-time tool: writes the application image scaled to a square size for the icon theme.
//   scale_image IN.png SIZE OUT.png     exit status 0 on success, 1 on failure, 2 on misuse
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdlib>

namespace {

constexpr int kLargestSize = 1024;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const int size = std::atoi(argv[2]);
  if (size < 1 || size > kLargestSize) return 2;
  GError* error = nullptr;
  GdkPixbuf* image = gdk_pixbuf_new_from_file(argv[1], &error);
  if (image == nullptr) {
    g_clear_error(&error);
    return 1;
  }
  // Bilinear averages every source pixel under a target pixel when shrinking, so the dial
  // stays round at 16 pixels instead of breaking up as nearest-neighbour sampling would.
  GdkPixbuf* scaled = gdk_pixbuf_scale_simple(image, size, size, GDK_INTERP_BILINEAR);
  g_object_unref(image);
  if (scaled == nullptr) return 1;
  const bool saved = gdk_pixbuf_save(scaled, argv[3], "png", &error, nullptr);
  g_clear_error(&error);
  g_object_unref(scaled);
  return saved ? 0 : 1;
}
