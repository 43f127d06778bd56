// Writes the demo vault shown in the screenshots: made-up entries under the master password
// given, sealed with small key-derivation parameters so logging in takes no time.
//   write_demo_vault DIRECTORY PASSWORD [nl]   (nl: Dutch descriptions)
// Exit status 0 on success, 1 on failure.
#include <string>
#include <vector>

#include "tests/support/test_vaults.h"
#include "vault/vault.h"

namespace {

const std::vector<Vault::Entry> kDemoEntries = {
    {"Bank", "https://bank.example.com/", "ann.devries", "x7!Tq9#mLw2$Rb"},
    {"E-mail", "https://mail.example.org/", "ann@example.org", "Velvet-Harbour-42"},
    {"Library", "https://library.example.net/account", "A1024871", "kR4v8pZs"},
    {"Photo album", "https://photos.example.com/", "anndv", "Blue.Kite.Morning.7"},
    {"Tax office", "https://tax.example.gov/", "123456782", "h&3Lq!0sWe9z"},
    {"Webshop", "https://shop.example.com/", "ann.devries@example.org", "N0rth-Sea-Pebbles"},
};

// The same entries as a Dutch user would name them.
const char* const kDutchDescriptions[] = {"Bank",      "E-mail",          "Bibliotheek",
                                          "Fotoalbum", "Belastingdienst", "Webwinkel"};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4 || !Vault::LoadSodium()) return 1;
  std::vector<Vault::Entry> entries = kDemoEntries;
  if (argc == 4 && std::string(argv[3]) == "nl") {
    for (size_t i = 0; i < entries.size(); ++i) entries[i].Omschrijving = kDutchDescriptions[i];
  }
  std::string dir = argv[1];
  if (dir.empty() || dir.back() != '/') dir += '/';
  return TestVaults::WriteSmallVault(dir + "kluis.lwv", argv[2], entries) == Vault::Ok ? 0 : 1;
}
