// The password health report that the window's dialog and the companion's health share:
// for each entry, its password's findings (empty, reused, weak, the same as its user name or
// description, seen in the user's breach list).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/password_strength.h"
#include "vault/vault.h"

namespace Common {

// The findings of one entry's password; only entries with at least one are reported.
struct EntryHealth {
  size_t entry = 0;  // its index in the list
  bool empty = false;
  std::vector<size_t> reusedWith;  // the other entries with the same password, in list order
  bool weak = false;
  GuessTime guessTime = GuessTime::Longer;
  bool sameAsUser = false;
  bool sameAsDescription = false;
  uint64_t leaked = 0;  // times the breach list saw it; 0: not found or not checked
};

enum class LeakCheck { Made, NoList, Unusable };

struct HealthReport {
  std::vector<EntryHealth> findings;  // in list order
  size_t passwords = 0;               // all entries, with findings or not
  LeakCheck leakCheck = LeakCheck::NoList;
  std::string leakProblem;  // "file: reason" when the breach list could not be used
};

// Told after each entry how many are done; false stops the check.
using HealthProgress = bool (*)(size_t done, size_t total, void* data);

// The report of the list, looking passwords up in the breach list at breachPath (none when
// empty). An unusable breach list leaves every leak out and says why; the rest is made all
// the same. False when progress stopped it (the report is then incomplete).
[[nodiscard]] bool MakeHealthReport(const std::vector<Vault::Entry>& entries,
                                    const std::string& breachPath, HealthReport& report,
                                    HealthProgress progress = nullptr, void* data = nullptr);

// The findings in the edition's words, joined by "; ". With entries, a reuse names the
// other entries' descriptions.
[[nodiscard]] std::string FindingsText(const EntryHealth& health,
                                       const std::vector<Vault::Entry>* entries = nullptr);
// "N of M passwords need attention".
[[nodiscard]] std::string SummaryText(const HealthReport& report);
// Why no leak was looked for, or "" when the check was made.
[[nodiscard]] std::string LeakCheckText(const HealthReport& report);
// A number with its thousands grouped as the edition's language does (12,345 / 12.345).
[[nodiscard]] std::string GroupThousands(uint64_t number);
// Whether two texts are equal after case folding; bytes that are not UTF-8 compare as they
// are. Secret: neither text is copied.
[[nodiscard]] bool EqualFolded(std::string_view a, std::string_view b);

}  // namespace Common
