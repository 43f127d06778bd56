// Stories of the main window: what the details panel shows and enables, the two check
// items, and the layout at different widths.
#include "app/main_window.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include "app/dialog_window.h"
#include "app/entry_list.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "commands/entry_editor.h"
#include "tests/support/gui_story.h"
#include "tests/support/story_checks.h"
#include "tests/support/story_texts.h"

namespace {

using namespace App;

class MainWindowStory : public GuiStory {};

struct Expect {
  bool up, down, open, copyUser, copyPassword;
  std::string url, user, password;
};

void ExpectDetails(const Expect& e, int row) {
  EXPECT_EQ(SelectedIndex(), row);
  EXPECT_EQ(Robot::Enabled(UpButton), e.up) << row;
  EXPECT_EQ(Robot::Enabled(DownButton), e.down) << row;
  EXPECT_EQ(Robot::Enabled(OpenButton), e.open) << row;
  EXPECT_EQ(Robot::Enabled(CopyUserButton), e.copyUser) << row;
  EXPECT_EQ(Robot::Enabled(CopyPasswordButton), e.copyPassword) << row;
  EXPECT_EQ(Robot::FieldText(UrlField), e.url) << row;
  EXPECT_EQ(Robot::FieldText(UserField), e.user) << row;
  EXPECT_EQ(Robot::FieldText(PasswordField), e.password) << row;
  EXPECT_TRUE(Robot::MenuEnabled(MenuEdit));
  EXPECT_TRUE(Robot::MenuEnabled(MenuDelete));
}

TEST_F(MainWindowStory, DetailsAndEnabledControlsFollowTheSelection) {
  const std::string mask = "●●●●●●●●●●";
  GivenVault("pw", {{"full", "https://a.example", "ann", "abc"},
                    {"no password", "", "bob", ""},
                    {"no user", "https://c.example", "", std::string(40, 'x')}});
  Robot::Do("logged out, everything that needs a vault is disabled", [] {
    for (MainControl control :
         {UpButton, DownButton, OpenButton, CopyUserButton, CopyPasswordButton, EntryList}) {
      EXPECT_FALSE(Robot::Enabled(control)) << control;
    }
    for (int item : {MenuMakeBackup, MenuRestoreBackup, MenuNew, MenuEdit, MenuDelete,
                     MenuChangeMasterPassword}) {
      EXPECT_FALSE(Robot::MenuEnabled(item)) << item;
    }
    for (int item : {MenuExit, MenuShowPasswords, MenuAlwaysOnTop, MenuChooseBrowser, MenuAbout}) {
      EXPECT_TRUE(Robot::MenuEnabled(item)) << item;
    }
  });
  LogInWith("pw", 3);
  Robot::Do("first entry", [=] {
    ExpectDetails({false, true, true, true, true, "https://a.example", "ann", mask}, 0);
  });
  Robot::ClickRow(1);
  Robot::Pause(100);
  Robot::Do("an empty password shows empty, its Copy disabled", [=] {
    ExpectDetails({true, true, false, true, false, "", "bob", ""}, 1);
  });
  Robot::PressKey(GDK_KEY_Down);  // the arrow keys move the selection too
  Robot::Pause(100);
  Robot::Do("last entry: 40 characters show as the same ten circles", [=] {
    ExpectDetails({true, false, true, false, true, "https://c.example", "", mask}, 2);
  });
  Robot::ChooseMenu(MenuShowPasswords);
  Robot::Pause(100);
  Robot::Do("show passwords shows the password at once", [] {
    EXPECT_EQ(Robot::FieldText(PasswordField), std::string(40, 'x'));
    EXPECT_TRUE(MenuCheck(MenuShowPasswords));
    EXPECT_TRUE(
        gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(MenuItemWidget(MenuShowPasswords))));
  });
  Robot::ChooseMenu(MenuShowPasswords);
  Robot::Pause(100);
  Robot::Do("and hides it again", [=] { EXPECT_EQ(Robot::FieldText(PasswordField), mask); });
  // Typing in the list searches the descriptions.
  Robot::ClickRow(0);
  Robot::PressKey(GDK_KEY_n);
  Robot::Pause(300);
  Robot::Do("the first description starting with n is selected and shown", [] {
    EXPECT_EQ(SelectedIndex(), 1);
    EXPECT_EQ(Robot::FieldText(UserField), "bob");
  });
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

TEST_F(MainWindowStory, AlwaysOnTopIsWrittenAtOnce) {
  GivenVault("pw", {});
  TestFiles::WriteFile(SettingsFile(), "; my comment\nGenLengte = 33\n");
  LogInWith("pw", 0);
  Robot::ChooseMenu(MenuAlwaysOnTop);
  Robot::Pause(100);
  Robot::Do("the settings file is rewritten, the comment gone", [this] {
    EXPECT_TRUE(MenuCheck(MenuAlwaysOnTop));
    const std::string text = TestFiles::ReadFile(SettingsFile());
    EXPECT_NE(text.find("AltijdBoven = 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("GenLengte = 33\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("comment"), std::string::npos) << text;
  });
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  // The next run starts on top, with the mark set.
  Robot::Reset();
  LogInWith("pw", 0);
  Robot::Do("kept above from the start", [] {
    EXPECT_TRUE(MenuCheck(MenuAlwaysOnTop));
    EXPECT_TRUE(
        gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(MenuItemWidget(MenuAlwaysOnTop))));
  });
  Robot::ChooseMenu(MenuAlwaysOnTop);
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_NE(TestFiles::ReadFile(SettingsFile()).find("AltijdBoven = 0\n"), std::string::npos);
}

// The keys act on the selection as their menu rows do, and like them do nothing without one.
TEST_F(MainWindowStory, KeysActOnlyWhereTheirMenuRowsCould) {
  GivenVault("pw", {{"a", "", "", "x"}});
  LogInWith("pw", 1);
  for (guint key : {GDK_KEY_Return, GDK_KEY_KP_Enter}) {
    Robot::PressKey(key);
    Robot::WaitWindow(Pick("Edit password", "Wijzig wachtwoord"));
    Robot::PressKey(GDK_KEY_Escape);
  }
  Robot::PressKey(GDK_KEY_Delete);
  Robot::AnswerMessage(StoryText::DeleteQuestion("a"), GTK_MESSAGE_WARNING, GTK_RESPONSE_YES);
  Robot::WaitStatus(Pick("Deleted (0 passwords)", "Verwijderd (0 wachtwoorden)"));
  for (guint key : {GDK_KEY_Return, GDK_KEY_KP_Enter, GDK_KEY_Delete}) Robot::PressKey(key);
  Robot::Pause(100);
  Robot::Do("no selection: no editor, no question", [] {
    EXPECT_EQ(DialogWindowWidget(), nullptr);
    EXPECT_EQ(Robot::Messages().size(), 1u);
  });
  Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
  Robot::WaitWindow(Pick("New password", "Nieuw wachtwoord"));
  Robot::PressKey(GDK_KEY_Escape);
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

// A focused button takes Return and Space as its click; Return edits only from the list or
// another control that is no button. In the editor a focused Cancel takes Return too.
TEST_F(MainWindowStory, AFocusedButtonTakesReturnAndSpace) {
  GivenVault("pw", {{"mail", "", "ann", "s3cret"}});
  LogInWith("pw", 1);
  struct Row {
    MainControl button;
    guint key;
    const char* copied;
  };
  const Row rows[] = {{CopyUserButton, GDK_KEY_Return, "ann"},
                      {CopyPasswordButton, GDK_KEY_space, "s3cret"},
                      {CopyUserButton, GDK_KEY_KP_Enter, "ann"},
                      {CopyPasswordButton, GDK_KEY_Return, "s3cret"}};
  for (const Row& row : rows) {
    Robot::Focus(row.button);
    Robot::PressKey(row.key);
    Robot::Step(
        std::string("the clipboard holds ") + row.copied,
        [row] { return Robot::ClipboardText() == row.copied; },
        [] { EXPECT_EQ(DialogWindowWidget(), nullptr); });
  }
  Robot::Focus(UserField);
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitWindow(Pick("Edit password", "Wijzig wachtwoord"));
  Robot::Type(Commands::DescriptionField, "changed");
  Robot::Focus(Commands::EntryCancelButton);
  Robot::PressKey(GDK_KEY_Return);
  Robot::Step(
      "Cancel closed the editor", [] { return DialogWindowWidget() == nullptr; },
      [] { EXPECT_EQ(Robot::ListRows(), std::vector<std::string>{"mail"}); });
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

// A megabyte description is drawn shortened in the list, and kept whole on disk through an
// edit that leaves it alone.
TEST_F(MainWindowStory, AMegabyteDescriptionIsShortenedInTheListOnly) {
  std::string huge(1 << 20, ' ');
  for (size_t i = 0; i < huge.size(); ++i) huge[i] = static_cast<char>('a' + i % 26);
  GivenVault("pw", {{"short", "", "", ""}, {huge, "https://x.example", "", ""}});
  LogInWith("pw", 2);
  Robot::Do("the list shows the head of it", [&huge] {
    EXPECT_EQ(Robot::ListRows(),
              (std::vector<std::string>{"short", huge.substr(0, 1000) + "\u2026"}));
  });
  Robot::ClickRow(1);
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitWindow(Pick("Edit password", "Wijzig wachtwoord"));
  Robot::Click(Commands::EntryOkButton);
  Robot::Step(
      "the editor closes", [] { return DialogWindowWidget() == nullptr; },
      [] { EXPECT_EQ(Robot::FieldText(UrlField), "https://x.example"); });
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Vault::OpenVault(VaultFile(), "pw"), Vault::Ok);
  EXPECT_EQ(Vault::Entries().at(1).Omschrijving, huge);
  Vault::CloseVault();
}

struct Box {
  int x, y, width, height;
  bool operator==(const Box&) const = default;
};

Box BoxOf(GtkWidget* widget) {
  GtkWidget* placed = widget;
  if (GTK_IS_TREE_VIEW(widget)) placed = gtk_widget_get_parent(widget);
  Box box{};
  gtk_container_child_get(GTK_CONTAINER(gtk_widget_get_parent(placed)), placed, "x", &box.x, "y",
                          &box.y, nullptr);
  gtk_widget_get_size_request(placed, &box.width, &box.height);
  return box;
}

TEST_F(MainWindowStory, LayoutFollowsTheWindowWidth) {
  GivenVault("pw", {});
  LogInWith("pw", 0);
  Robot::Do("at 680 pixels", [] {
    EXPECT_EQ(BoxOf(ControlWidget(EntryList)).width, 306);
    EXPECT_EQ(BoxOf(ControlWidget(DetailsFrame)), (Box{326, 5, 344, 140}));
    EXPECT_EQ(BoxOf(ControlWidget(UrlField)), (Box{426, 30, 144, 24}));
    // What the toolkit really gives every control is what the layout asked for, so no
    // control grows over its neighbour (a text field's own minimum width, for one).
    for (int control = 0; control < kMainControlCount; ++control) {
      GtkWidget* widget = ControlWidget(control);
      if (control == EntryList) widget = gtk_widget_get_parent(widget);
      EXPECT_TRUE(StoryCheck::GetsItsBox(widget)) << control;
    }
    EXPECT_EQ(BoxOf(ControlWidget(CopyPasswordButton)), (Box{580, 99, 80, 26}));
    EXPECT_EQ(BoxOf(ControlWidget(PasswordLabel)), (Box{336, 103, 90, 20}));
    const Box up = BoxOf(ControlWidget(UpButton));
    EXPECT_EQ(up.width, 150);
    // H - 38 + 28: ten pixels stay free under the buttons.
    EXPECT_EQ(up.y + up.height + 10,
              gtk_widget_get_allocated_height(gtk_widget_get_parent(ControlWidget(UpButton))));
    gtk_window_resize(GTK_WINDOW(MainWindowWidget()), 1000, 380);
  });
  Robot::Step(
      "the window is 1000 wide", [] { return BoxOf(ControlWidget(DetailsFrame)).x == 470; },
      [] {
        int width = 0, height = 0;
        gtk_window_get_size(GTK_WINDOW(MainWindowWidget()), &width, &height);
        EXPECT_EQ(width, 1000);
        EXPECT_EQ(BoxOf(ControlWidget(EntryList)).width, 450);
        EXPECT_EQ(BoxOf(ControlWidget(DetailsFrame)).width, 520);
        for (int field : {UrlField, UserField, PasswordField}) {
          EXPECT_EQ(BoxOf(ControlWidget(field)).width, 320);
        }
        const Box up = BoxOf(ControlWidget(UpButton)), down = BoxOf(ControlWidget(DownButton));
        EXPECT_EQ(up.width, 222);
        EXPECT_EQ(down.x, 238);
        EXPECT_EQ(up.y, down.y);
        EXPECT_EQ(BoxOf(ControlWidget(EntryList)).height + 56, up.y + 38);
      });
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

// The list scrolls sideways to the end of a description wider than itself, and only then.
TEST_F(MainWindowStory, ALongDescriptionCanBeScrolledIntoView) {
  const std::string tail = " and this is where it ends";
  const std::string longText =
      "A description far wider than the list" + std::string(60, '.') + tail;
  for (bool wide : {true, false}) {
    Robot::Reset();
    GivenVault("pw", {{"short", "", "", ""}, {wide ? longText : "also short", "", "", ""}});
    LogInWith("pw", 2);
    Robot::ClickRow(1);
    Robot::Do("scroll to the right end", [] {
      GtkWidget* scroller = gtk_widget_get_parent(ControlWidget(EntryList));
      GtkAdjustment* h = gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(scroller));
      gtk_adjustment_set_value(h, gtk_adjustment_get_upper(h) - gtk_adjustment_get_page_size(h));
    });
    Robot::Pause(100);
    Robot::Do("the whole text is within reach, and no scroll bar without need", [&] {
      GtkWidget* list = ControlWidget(EntryList);
      GtkWidget* scroller = gtk_widget_get_parent(list);
      GtkAdjustment* h = gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(scroller));
      PangoLayout* layout = gtk_widget_create_pango_layout(list, longText.c_str());
      int textWidth = 0;
      pango_layout_get_pixel_size(layout, &textWidth, nullptr);
      g_object_unref(layout);
      GdkRectangle visible{};
      gtk_tree_view_get_visible_rect(GTK_TREE_VIEW(list), &visible);
      const bool scrollable = gtk_adjustment_get_upper(h) > gtk_adjustment_get_page_size(h);
      EXPECT_EQ(scrollable, wide);
      if (wide) {
        EXPECT_GE(visible.x + visible.width, textWidth);
      }
    });
    Robot::ChooseMenu(MenuExit);
    EXPECT_EQ(RunLockwell(), 0);
  }
}

TEST_F(MainWindowStory, AccessibleNamesAndDescriptions) {
  GivenVault("pw", {});
  LogInWith("pw", 0);
  Robot::Do("fields are labelled by their labels, the Copy buttons described", [] {
    for (auto [field, label] :
         {std::pair{UrlField, "URL:"}, std::pair{UserField, Pick("User:", "Gebruiker:")},
          std::pair{PasswordField, Pick("Password:", "Wachtwoord:")}}) {
      EXPECT_EQ(StoryCheck::LabelledBy(field), std::vector<std::string>{label});
    }
    const char* user =
        atk_object_get_description(gtk_widget_get_accessible(ControlWidget(CopyUserButton)));
    const char* password =
        atk_object_get_description(gtk_widget_get_accessible(ControlWidget(CopyPasswordButton)));
    ASSERT_NE(user, nullptr);
    ASSERT_NE(password, nullptr);
    EXPECT_STRNE(user, password);
  });
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

// Dark pixels the X server shows in status field 0 right now.
int DarkPixelsInStatus() {
  GtkWidget* label = StatusFieldWidget(0);
  GtkAllocation box;
  gtk_widget_get_allocation(label, &box);
  int x = 0, y = 0;
  gtk_widget_translate_coordinates(label, MainWindowWidget(), 0, 0, &x, &y);
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(gtk_widget_get_window(MainWindowWidget()), x, y,
                                               box.width, box.height);
  int dark = 0;
  const guchar* pixels = gdk_pixbuf_get_pixels(shot);
  const int stride = gdk_pixbuf_get_rowstride(shot), channels = gdk_pixbuf_get_n_channels(shot);
  for (int row = 0; row < box.height; ++row) {
    for (int column = 0; column < box.width; ++column) {
      const guchar* p = pixels + row * stride + column * channels;
      if (p[0] + p[1] + p[2] < 3 * 100) ++dark;
    }
  }
  g_object_unref(shot);
  return dark;
}

TEST_F(MainWindowStory, AStatusTextIsOnScreenBeforeTheWindowBlocks) {
  GivenVault("pw", {});
  LogInWith("pw", 0);
  Robot::Do("paint an empty status", [] {
    SetStatusText("");
    PaintNow();
    EXPECT_EQ(DarkPixelsInStatus(), 0);
  });
  Robot::Do("a text that is only set is not yet on the screen", [] {
    SetStatusText("Opening vault...");
    EXPECT_EQ(DarkPixelsInStatus(), 0);
    PaintNow();  // what the login does before the key derivation blocks
    EXPECT_GT(DarkPixelsInStatus(), 20);
  });
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

TEST_F(MainWindowStory, MenusShowTheirTextsAndShortcutHints) {
  GivenVault("pw", {});
  LogInWith("pw", 0);
  Robot::Do("labels and hints", [] {
    struct Item {
      int number;
      const char* label;
      guint key;
      GdkModifierType mods;
    };
    const Item items[] = {
        {MenuMakeBackup, Pick("Make backup...", "Backup maken..."), 0, GdkModifierType(0)},
        {MenuExit, Pick("Exit", "Sluiten"), 0, GdkModifierType(0)},
        {MenuNew, Pick("New", "Nieuw"), GDK_KEY_n, GDK_CONTROL_MASK},
        {MenuEdit, Pick("Edit", "Wijzig"), 0, GdkModifierType(0)},  // "Enter" is no key name
        {MenuDelete, Pick("Delete", "Verwijder"), GDK_KEY_Delete, GdkModifierType(0)},
        {MenuShowPasswords, Pick("Show passwords!", "Wachtwoorden tonen!"), 0, GdkModifierType(0)},
        {MenuAbout, Pick("About...", "Over..."), 0, GdkModifierType(0)},
    };
    for (const Item& item : items) {
      GtkWidget* label = gtk_bin_get_child(GTK_BIN(MenuItemWidget(item.number)));
      EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), item.label);
      guint key = 0;
      GdkModifierType mods = GdkModifierType(0);
      gtk_accel_label_get_accel(GTK_ACCEL_LABEL(label), &key, &mods);
      EXPECT_EQ(key, item.key) << item.label;
      EXPECT_EQ(mods, item.mods) << item.label;
    }
    EXPECT_TRUE(GTK_IS_CHECK_MENU_ITEM(MenuItemWidget(MenuAlwaysOnTop)));
  });
  // The window's keys reach the loop whatever has the focus (here the list): each is
  // activity, so the idle countdown starts again.
  for (guint key : {GDK_KEY_Return, GDK_KEY_KP_Enter, GDK_KEY_Delete}) {
    Robot::Do("focus in the list", [] { gtk_widget_grab_focus(ControlWidget(EntryList)); });
    Robot::MoveClock(20000);
    StoryCheck::WaitCountdown("the countdown runs", 40);
    Robot::PressKey(key);
    StoryCheck::WaitCountdown("the shortcut counted as activity", 60);
  }
  Robot::MoveClock(20000);
  StoryCheck::WaitCountdown("the countdown runs", 40);
  Robot::PressKey(GDK_KEY_n, GDK_CONTROL_MASK);
  StoryCheck::WaitCountdown("Ctrl+N too", 60);
  Robot::WaitWindow(Pick("New password", "Nieuw wachtwoord"));  // it opens the editor
  Robot::PressKey(GDK_KEY_Escape);
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

TEST_F(MainWindowStory, WhileLoggedInNoCoreFileAndNoDebuggerCanReadTheKey) {
  GivenVault("pw", {{"mail", "", "ann", "s3cret"}});
  LogInWith("pw", 1);
  Robot::Do("the process is not dumpable and may write no core", [] {
    EXPECT_EQ(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
    rlimit core{};
    ASSERT_EQ(getrlimit(RLIMIT_CORE, &core), 0);
    EXPECT_EQ(core.rlim_cur, 0u);
    EXPECT_EQ(core.rlim_max, 0u);
  });
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

}  // namespace
