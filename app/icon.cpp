#include "app/icon.h"

#include <gtk/gtk.h>
#include <png.h>

#include <cstdlib>
#include <cstring>

#include "resources/app_image.h"

namespace App {
namespace {

void FreePixels(guchar* pixels, gpointer) { std::free(pixels); }

}  // namespace

GdkPixbuf* DecodePng(const unsigned char* bytes, size_t size) {
  if (bytes == nullptr || size == 0) return nullptr;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes, size)) return nullptr;
  image.format = PNG_FORMAT_RGBA;
  const size_t stride = PNG_IMAGE_ROW_STRIDE(image);
  auto* pixels = static_cast<guchar*>(std::malloc(PNG_IMAGE_BUFFER_SIZE(image, stride)));
  if (pixels == nullptr || !png_image_finish_read(&image, nullptr, pixels, 0, nullptr)) {
    png_image_free(&image);
    std::free(pixels);
    return nullptr;
  }
  return gdk_pixbuf_new_from_data(pixels, GDK_COLORSPACE_RGB, TRUE, 8,
                                  static_cast<int>(image.width), static_cast<int>(image.height),
                                  static_cast<int>(stride), FreePixels, nullptr);
}

void SetDefaultIcon() {
  GdkPixbuf* icon = DecodePng(Resources::AppImagePng, Resources::AppImagePngSize);
  if (icon == nullptr) return;
  gtk_window_set_default_icon(icon);
  g_object_unref(icon);
}

}  // namespace App
