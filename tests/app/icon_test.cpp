// The application image built into the program, and the decoder that reads it.
#include "app/icon.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/app_image.h"

namespace {

TEST(ApplicationImage, Is256By256RgbaAndDecodes) {
  // The PNG's own header: 8-bit RGBA, not interlaced, with the pHYs chunk after IHDR.
  const std::string png(reinterpret_cast<const char*>(Resources::AppImagePng),
                        Resources::AppImagePngSize);
  ASSERT_GT(png.size(), 64u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(png[24], 8);  // bits per channel
  EXPECT_EQ(png[25], 6);  // RGBA
  EXPECT_EQ(png[28], 0);  // not interlaced
  EXPECT_EQ(png.substr(37, 4), "pHYs");
  EXPECT_NE(png.find("IEND"), std::string::npos);

  GdkPixbuf* image = App::DecodePng(Resources::AppImagePng, Resources::AppImagePngSize);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(image), 256);
  EXPECT_EQ(gdk_pixbuf_get_height(image), 256);
  EXPECT_TRUE(gdk_pixbuf_get_has_alpha(image));
  // Transparent in the corner, opaque in the middle of the lock's body.
  const guchar* pixels = gdk_pixbuf_get_pixels(image);
  const int stride = gdk_pixbuf_get_rowstride(image);
  EXPECT_LT(pixels[8 * stride + 8 * 4 + 3], 40);
  const guchar* body = pixels + 200 * stride + 70 * 4;
  EXPECT_EQ(body[3], 255);
  EXPECT_GT(body[2], body[0]);  // blue
  g_object_unref(image);

  const unsigned char garbage[] = "not a png at all";
  EXPECT_EQ(App::DecodePng(garbage, sizeof garbage), nullptr);
  EXPECT_EQ(App::DecodePng(Resources::AppImagePng, 100), nullptr);  // cut short
  EXPECT_EQ(App::DecodePng(nullptr, 0), nullptr);
}

}  // namespace
