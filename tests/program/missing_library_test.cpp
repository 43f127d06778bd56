// Run with a libsodium.so.26 that lacks a function in LD_LIBRARY_PATH (see CMakeLists):
// the program shows its one message and ends with status 1, touching no files.
#include <gtest/gtest.h>

#include <string_view>

#include "program/startup.h"
#include "tests/support/robot.h"
#include "tests/support/test_files.h"
#include "tests/support/xvfb.h"
#include "texts/texts.h"

namespace {

TEST(MissingLibrary, OneErrorMessageThenStatus1) {
  ASSERT_TRUE(TestDisplay::Start());
  TestFiles::TempDir dir;
  const std::string config = dir.path + "config";
  Robot::Reset();
  Robot::Do("the only window is the message box", [] {
    int visible = 0;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w != nullptr; w = w->next) {
      if (gtk_widget_get_visible(GTK_WIDGET(w->data))) ++visible;
    }
    g_list_free(windows);
    EXPECT_EQ(visible, 1);
  });
  Robot::AnswerMessage(
      std::string_view(Texts::kText.language) == "nl"
          ? "libsodium is niet gevonden.\nInstalleer het pakket libsodium23 of libsodium26."
          : "libsodium was not found.\nInstall the package libsodium23 or libsodium26.",
      GTK_MESSAGE_ERROR);
  std::string program = "lockwell", argument = config;
  char* argv[] = {program.data(), argument.data(), nullptr};
  EXPECT_EQ(Program::RunProgram(2, argv), 1);
  ASSERT_EQ(Robot::Messages().size(), 1u);
  EXPECT_EQ(Robot::Messages()[0].title, "Lockwell");
  EXPECT_FALSE(TestFiles::Exists(config));
}

}  // namespace
