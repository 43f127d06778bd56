// The About window: logo, name and version, credits and the build line.
#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <string>

namespace Features {

// The About window's Close button and the menu event of its Escape and Return keys.
constexpr int AboutCloseButton = 90;
constexpr int kAboutCloseKey = 12;

// "GCC 12.02 (Linux-x64)": the tool, its major version, its minor one in two digits.
[[nodiscard]] std::string BuildLine(const std::string& tool, int major, int minor);
// The build line of the compiler this program was built with.
[[nodiscard]] std::string CompilerBuildLine();

// Shows the window over the disabled parent until it is closed. An empty or undecodable
// logo leaves the picture out.
void ShowAboutWindow(GtkWidget* parent, const std::string& heading, const unsigned char* logo,
                     size_t logoSize);

}  // namespace Features
