// Stories of copying a user name or password and of the clipboard being cleared again.
#include "features/clipboard.h"

#include <gtest/gtest.h>

#include "app/dialog_window.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "commands/password_dialog.h"
#include "tests/support/gui_story.h"
#include "tests/support/story_texts.h"

// Last: Xlib's macros (None, Status...) would clash with the names above.
#include <X11/Xlib.h>

namespace {

class ClipboardStory : public GuiStory {};

const char* Copied() {
  return Pick("Copied - clipboard will be cleared in 15 s",
              "Gekopieerd - klembord wordt over 15 s gewist");
}
const char* Cleared() { return Pick("Clipboard cleared", "Klembord gewist"); }

// Another X client that takes the clipboard and then never answers a request for it.
struct SilentOwner {
  Display* display = XOpenDisplay(nullptr);
  Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  Atom clipboard = XInternAtom(display, "CLIPBOARD", False);

  void Take() {
    XSetSelectionOwner(display, clipboard, window, CurrentTime);
    XSync(display, False);
  }
  bool Owns() { return XGetSelectionOwner(display, clipboard) == window; }
  ~SilentOwner() { XCloseDisplay(display); }
};

TEST_F(ClipboardStory, ClearedAfter15SecondsOnlyWhileItStillHoldsTheCopy) {
  GivenVault("pw", {{"mail", "", "ann", "s3cret"}});
  LogInWith("pw", 1);
  Robot::Click(App::CopyPasswordButton);
  Robot::WaitStatus(Copied());
  Robot::Do("the whole password is on the clipboard, though it is masked on screen", [] {
    EXPECT_EQ(Robot::ClipboardText(), "s3cret");
    EXPECT_EQ(Robot::FieldText(App::PasswordField), "●●●●●●●●●●");
  });
  Robot::MoveClock(14000);
  Robot::Pause(600);  // more than two ticks of the 250 ms timer
  Robot::Do("14 s after the copy it is still pending", [] {
    EXPECT_EQ(Robot::ClipboardText(), "s3cret");
    EXPECT_EQ(Robot::StatusText(), Copied());
  });
  Robot::MoveClock(1000);
  Robot::WaitStatus(Cleared());
  Robot::Do("the clipboard is empty", [] {
    EXPECT_EQ(Robot::ClipboardText(), "");
    EXPECT_EQ(Features::ClearAt(), 0);
  });

  // Something else copied meanwhile is not the program's to remove.
  Robot::Click(App::CopyUserButton);
  Robot::WaitStatus(Copied());
  Robot::Do("another program copies a text", [] {
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "S3CRET", -1);
  });
  Robot::MoveClock(16000);
  Robot::Step(
      "the copy falls due", [] { return Features::ClearAt() == 0; },
      [] {
        EXPECT_EQ(Robot::ClipboardText(), "S3CRET");
        EXPECT_EQ(Robot::StatusText(), Copied());
      });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

TEST_F(ClipboardStory, LoggingOutAndQuittingClearTheClipboardAtOnce) {
  GivenVault("pw", {{"mail", "", "ann", "s3cret"}});
  LogInWith("pw", 1);
  Robot::Click(App::CopyPasswordButton);
  Robot::WaitStatus(Copied());
  Robot::MoveClock(61000);  // the idle lock
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::Do("the password left the clipboard before the login was asked", [] {
    EXPECT_EQ(Robot::ClipboardText(), "");
    EXPECT_EQ(Robot::StatusText(), StoryText::LoggedOut());
  });
  Robot::Type(Commands::MasterPasswordField, "pw");
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitStatus(StoryText::LoggedIn(1));
  Robot::Click(App::CopyUserButton);
  Robot::WaitStatus(Copied());
  Robot::CloseWindow("Lockwell");
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(Robot::ClipboardText(), "");
}

TEST_F(ClipboardStory, AnOwnerThatNeverAnswersIsAnotherProgram) {
  GivenVault("pw", {{"mail", "", "ann", "s3cret"}});
  LogInWith("pw", 1);
  SilentOwner owner;
  Robot::Click(App::CopyPasswordButton);
  Robot::WaitStatus(Copied());
  Robot::Do("another program takes the clipboard and stops answering", [&] { owner.Take(); });
  Robot::MoveClock(15000);
  Robot::Step(
      "the copy is settled while the owner keeps silent", [] { return Features::ClearAt() == 0; },
      [&] {
        EXPECT_TRUE(owner.Owns());  // nothing was cleared
        EXPECT_EQ(Robot::StatusText(), Copied());
      });
  Robot::MoveClock(46000);  // the countdown ran on: the idle lock still comes
  LogInWith("pw", 1);
  // Quitting with a copy pending asks the silent owner once more, and still ends.
  Robot::Click(App::CopyUserButton);
  Robot::WaitStatus(Copied());
  Robot::Do("the silent program takes the clipboard again", [&] { owner.Take(); });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_TRUE(owner.Owns());
}

TEST_F(ClipboardStory, TheCopyOffersTheTextAndThePasswordManagerHint) {
  GivenVault("pw", {{"mail", "", "ann", "s3cret"}});
  LogInWith("pw", 1);
  Robot::Click(App::CopyPasswordButton);
  Robot::WaitStatus(Copied());
  Robot::Do("the targets are the text ones and the hint", [] {
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    GtkSelectionData* hint = gtk_clipboard_wait_for_contents(
        clipboard, gdk_atom_intern_static_string("x-kde-passwordManagerHint"));
    ASSERT_NE(hint, nullptr);
    gint length = 0;
    const guchar* data = gtk_selection_data_get_data_with_length(hint, &length);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), length), "secret");
    gtk_selection_data_free(hint);
    EXPECT_TRUE(gtk_clipboard_wait_is_text_available(clipboard));
  });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

}  // namespace
