// Stories of the About window: its texts in each edition, the four ways to close it, and
// the main window and the clipboard's deadline held while it is open.
#include "features/about.h"

#include <gtest/gtest.h>

#include "app/dialog_window.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "features/clipboard.h"
#include "tests/support/gui_story.h"
#include "tests/support/story_checks.h"

namespace {

class AboutStory : public GuiStory {};

std::string Title() { return Pick("About", "Over"); }
std::string CloseLabel() { return Pick("Close", "Sluiten"); }

bool MainWindowEnabled() { return gtk_widget_is_sensitive(App::MainWindowWidget()); }

// Opens the window from the menu and checks what it shows.
void OpenAbout() {
  Robot::ChooseMenu(App::MenuAbout);
  Robot::WaitWindow(Title());
  Robot::Do("the About window over the disabled main window", [] {
    EXPECT_FALSE(MainWindowEnabled());
    int width = 0, height = 0;
    gtk_window_get_size(Robot::FindWindow(Title()), &width, &height);
    EXPECT_EQ(width, 600);
    EXPECT_EQ(height, 300);
    EXPECT_FALSE(gtk_window_get_resizable(Robot::FindWindow(Title())));
  });
}

void ExpectClosed(const std::string& how) {
  Robot::Step(
      "the About window closed by " + how, [] { return Robot::FindWindow(Title()) == nullptr; },
      [how] { EXPECT_TRUE(MainWindowEnabled()) << how; });
}

TEST(AboutBuildLine, VersionWithTwoDigitMinor) {
  EXPECT_EQ(Features::BuildLine("GCC", 12, 2), "GCC 12.02 (Linux-x64)");
  EXPECT_EQ(Features::BuildLine("GCC", 13, 10), "GCC 13.10 (Linux-x64)");
  EXPECT_EQ(Features::BuildLine("Clang", 16, 0), "Clang 16.00 (Linux-x64)");
#if defined(__GNUC__) && !defined(__clang__)
  EXPECT_EQ(Features::CompilerBuildLine().rfind("GCC " + std::to_string(__GNUC__) + ".", 0), 0u);
#endif
}

TEST_F(AboutStory, ClosedInFourWaysWhileTheClipboardWaits) {
  GivenVault("pw", {{"mail", "", "ann", "s3cret"}});
  LogInWith("pw", 1);
  Robot::Click(App::CopyPasswordButton);
  OpenAbout();
  Robot::Do("the edition's texts", [] {
    const std::vector<std::string> labels = Robot::LabelsIn(Title());
    ASSERT_EQ(labels.size(), 5u);
    EXPECT_EQ(labels[0], "Lockwell 1.0");
    EXPECT_EQ(labels[1], "Encryption: libsodium");  // the same words in both editions
    EXPECT_EQ(labels[2], "Interface: GTK 3");
    EXPECT_EQ(labels[3], Pick("Created using:", "Gemaakt met:"));
    EXPECT_EQ(labels[4], Features::CompilerBuildLine());
    const std::vector<GtkWidget*> controls =
        StoryCheck::PlacedControls(GTK_WIDGET(Robot::FindWindow(Title())));
    ASSERT_TRUE(GTK_IS_IMAGE(controls.at(0)));  // the logo comes first
    EXPECT_EQ(gtk_widget_get_allocated_width(controls[0]), 256);
  });
  Robot::Do("centred over the main window", [] {
    GdkRectangle main{}, about{};
    gdk_window_get_frame_extents(gtk_widget_get_window(App::MainWindowWidget()), &main);
    gdk_window_get_frame_extents(gtk_widget_get_window(GTK_WIDGET(Robot::FindWindow(Title()))),
                                 &about);
    EXPECT_EQ(about.x, main.x + main.width / 2 - 300);
    EXPECT_EQ(about.y, main.y + main.height / 2 - 150);
  });
  // The copy falls due while the window is open: nothing happens until it closes.
  Robot::MoveClock(16000);
  Robot::Pause(600);
  Robot::Do("the copy is still pending", [] {
    EXPECT_EQ(Robot::ClipboardText(), "s3cret");
    EXPECT_NE(Features::ClearAt(), 0);
  });
  Robot::PressKeyIn(Title(), GDK_KEY_Escape);
  ExpectClosed("Escape");
  Robot::WaitStatus(Pick("Clipboard cleared", "Klembord gewist"));
  Robot::Do("cleared after the window closed", [] { EXPECT_EQ(Robot::ClipboardText(), ""); });

  OpenAbout();
  Robot::PressKeyIn(Title(), GDK_KEY_Return);
  ExpectClosed("Return");
  OpenAbout();
  Robot::CloseWindow(Title());
  ExpectClosed("the title bar");
  OpenAbout();
  Robot::ClickButtonIn(Title(), CloseLabel());
  ExpectClosed("the Close button");
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  // Without a logo the window is the same, without the picture.
  Robot::Reset();
  Robot::WaitWindow(Title());
  Robot::Do("no picture", [] {
    const std::vector<GtkWidget*> controls =
        StoryCheck::PlacedControls(GTK_WIDGET(Robot::FindWindow(Title())));
    for (GtkWidget* control : controls) EXPECT_FALSE(GTK_IS_IMAGE(control));
    EXPECT_EQ(controls.size(), 6u);  // five labels and the button
    EXPECT_EQ(Robot::LabelsIn(Title())[0], "Heading");
  });
  Robot::ClickButtonIn(Title(), CloseLabel());
  Features::ShowAboutWindow(nullptr, "Heading", nullptr, 0);
  EXPECT_TRUE(Robot::Done());
}

}  // namespace
