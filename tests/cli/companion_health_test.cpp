// The companion's health report of a vault, in both editions: one line per entry with a
// finding and the summary; leaks from the breach list given or chosen in the window.
#include <gtest/gtest.h>

#include "tests/cli/companion_story.h"
#include "tests/support/breach_files.h"

namespace {

using namespace CompanionStory;

TEST_F(Companion, HealthTellsEachPasswordThatNeedsAttention) {
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "pw",
                                        {{"Mail", "", "ann", "Sunflower1987"},
                                         {"Shop", "", "ann", "Sunflower1987"},
                                         {"Bank", "", "bob", "password1"},
                                         {"Forum", "", "Carol", "cAROL"},
                                         {"Wiki", "", "", ""},
                                         {"Strong", "", "erin", "x7#Kq9!vL2@mZ4$wR8^t"}}),
            Vault::Ok);
  const std::string breaches = scratch.path + "breaches.txt";
  BreachFiles::WriteBreachFile(breaches, 20000,
                               {BreachFiles::kPassword1Hash + std::string(":12345")});
  Outcome r = En({"health", "--breaches", breaches}, "pw\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Mail (ann): reused with 1 other entry; weak (guessed in minutes)\n"
            "Shop (ann): reused with 1 other entry; weak (guessed in minutes)\n"
            "Bank (bob): weak (guessed in seconds); leaked (seen 12,345 times)\n"
            "Forum (Carol): weak (guessed in seconds); same as the user name\n"
            "Wiki: empty\n"
            "5 of 6 passwords need attention\n");
  // The window's choice, when none is given.
  WriteFile(dir + "instellingen.ini", "\xEF\xBB\xBF\nGelekteWachtwoorden = " + breaches + "\n");
  r = Nl({"health"}, "pw\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Mail (ann): hergebruikt in 1 ander item; zwak (geraden in minuten)\n"
            "Shop (ann): hergebruikt in 1 ander item; zwak (geraden in minuten)\n"
            "Bank (bob): zwak (geraden in seconden); gelekt (12.345 keer gezien)\n"
            "Forum (Carol): zwak (geraden in seconden); gelijk aan de gebruikersnaam\n"
            "Wiki: leeg\n"
            "5 van 6 wachtwoorden vragen aandacht\n");
  EXPECT_EQ(r.err, "");
  // A list that cannot be used is told on standard error; the rest of the report is made.
  r = En({"health", "--breaches", scratch.path + "gone.txt"}, "pw\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find(scratch.path + "gone.txt: There is no such file or folder. No password "
                                      "was checked for leaks.\n"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(r.out.starts_with("Mail (ann): reused")) << r.out;
  EXPECT_NE(r.out.find("Bank (bob): weak (guessed in seconds)\n"), std::string::npos) << r.out;
  // Without a breach list the report says that it looked for no leak.
  WriteFile(dir + "instellingen.ini", "");
  r = Nl({"health"}, "pw\n");
  EXPECT_TRUE(
      r.out.ends_with("5 van 6 wachtwoorden vragen aandacht\nEr is geen lijst van gelekte "
                      "wachtwoorden gekozen, dus geen wachtwoord is op lekken "
                      "gecontroleerd.\n"))
      << r.out;
}

}  // namespace
