// The story of finding an entry as one types: by any of the three shown fields, whatever
// the letter case and accents, stepping through the matches, and editing the one found.
#include "app/entry_search.h"

#include <gtest/gtest.h>

#include "app/entry_list.h"
#include "app/menus.h"
#include "commands/dialog_controls.h"
#include "tests/support/gui_story.h"
#include "tests/support/story_texts.h"

namespace {

using namespace App;

class EntrySearchStory : public GuiStory {};

std::string Matches(int count) {
  if (count == 0) return Pick("No matches", "Geen treffers");
  if (count == 1) return Pick("1 match", "1 treffer");
  return std::to_string(count) + Pick(" matches", " treffers");
}

// Types into the list (the first key opens the search) or, by Ctrl+F, into an empty search.
void Search(const std::string& typed, bool byShortcut = false) {
  Robot::PressKey(GDK_KEY_Escape);  // an open search closes; on the list it does nothing
  if (byShortcut) Robot::PressKey(GDK_KEY_f, GDK_CONTROL_MASK);
  Robot::TypeKeys(EntryList, typed);
  Robot::Pause(100);
}

void ExpectFound(const std::string& what, int row, const std::string& user, int count) {
  Robot::Do(what, [=] {
    EXPECT_EQ(SelectedIndex(), row) << what;
    EXPECT_EQ(Robot::FieldText(UserField), user) << what;
    EXPECT_EQ(Robot::StatusText(), Matches(count)) << what;
  });
}

TEST_F(EntrySearchStory, FindsByAnyShownFieldStepsThroughMatchesAndEditsTheOneFound) {
  GivenVault("pw", {{"Work - Mail", "https://mail.example.org", "ann.smith", "p1"},
                    {"Work - GitHub", "https://github.com", "octo", "p2"},
                    {"Work - \xC3\x89"
                     "cole",
                     "https://intranet.example.fr", "marie", "p3"},
                    {"Work - Savings", "https://bank.example", "ANN", "p4"},
                    {"Work - M\xC3\xBCnchen wiki", "https://wiki.example.de", "hans", "p5"}});
  LogInWith("pw", 5);
  Search("octo");
  ExpectFound("a user name fragment", 1, "octo", 1);
  Search("bank", true);
  ExpectFound("a web address fragment, by Ctrl+F", 3, "ANN", 1);
  Search("ecole");
  ExpectFound("an accented word typed without its accent", 2, "marie", 1);
  Search("MUNCHEN");
  ExpectFound("in another letter case", 4, "hans", 1);
  Search("wiki hans");
  ExpectFound("two words in different fields", 4, "hans", 1);
  Search("work - s");
  ExpectFound("a description that starts so comes first", 3, "ANN", 5);
  Search("zzz");
  ExpectFound("nothing", -1, "", 0);
  Robot::PressKey(GDK_KEY_Escape);
  Robot::Pause(100);
  Robot::Do("closed: the status bar shows what it showed before",
            [] { EXPECT_EQ(Robot::StatusText(), StoryText::LoggedIn(5)); });

  Search("ann");
  ExpectFound("two user names, whatever their case", 0, "ann.smith", 2);
  for (const auto& [key, row, user] : {std::tuple{GDK_KEY_Down, 3, "ANN"},
                                       {GDK_KEY_Down, 0, "ann.smith"},
                                       {GDK_KEY_Up, 3, "ANN"},
                                       {GDK_KEY_Up, 0, "ann.smith"},
                                       {GDK_KEY_Up, 3, "ANN"}}) {
    Robot::PressKey(key);
    Robot::Pause(100);
    ExpectFound("Down and Up step through the matches", row, user, 2);
  }
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitWindow(Pick("Edit password", "Wijzig wachtwoord"));
  Robot::Do("Return edits the entry found",
            [] { EXPECT_EQ(Robot::FieldText(Commands::DescriptionField), "Work - Savings"); });
  Robot::Click(Commands::EntryCancelButton);
  Robot::ChooseMenu(MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
}

}  // namespace
