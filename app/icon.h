// The application image as pixels.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstddef>

namespace App {

// Decodes PNG bytes with libpng into a new RGBA pixbuf; null when they are not a PNG.
[[nodiscard]] GdkPixbuf* DecodePng(const unsigned char* bytes, size_t size);
// Makes the embedded application image the icon of every window; silent on failure.
void SetDefaultIcon();

}  // namespace App
