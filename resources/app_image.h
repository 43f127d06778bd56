// The application image: a 256 x 256 RGBA PNG, embedded at build time from app_image.png
// (drawn by draw_app_image.py).
#pragma once

#include <cstddef>

namespace Resources {

extern const unsigned char AppImagePng[];
extern const size_t AppImagePngSize;

}  // namespace Resources
