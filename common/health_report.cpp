#include "common/health_report.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <numeric>

#include "common/breach_list.h"
#include "common/utf8.h"
#include "texts/texts.h"

namespace Common {
namespace {

// The reused names the dialog shows before it ends the list with an ellipsis.
constexpr size_t kNamedReuses = 3;

// Unicode's case mapping of the C.UTF-8 locale, the same whatever language the user runs:
// a Turkish locale would fold I to a dotless ı.
locale_t FoldingLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  return locale;
}

// The code point at text[i], folded; a byte that starts no UTF-8 sequence stands for itself
// (above every code point, so it never equals one).
uint32_t FoldedAt(std::string_view text, size_t& i) {
  const size_t length = SequenceLength(text, i);
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
  if (length == 0) return 0x110000u + static_cast<unsigned char>(text[i++]);
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  uint32_t c = byte(0) & kLeadBits[length];
  for (size_t k = 1; k < length; ++k) c = (c << 6) | (byte(k) & 0x3F);
  i += length;
  const locale_t locale = FoldingLocale();
  if (locale == nullptr) return c < 0x80 ? static_cast<uint32_t>(tolower(static_cast<int>(c))) : c;
  return static_cast<uint32_t>(towlower_l(towupper_l(static_cast<wint_t>(c), locale), locale));
}

void Fill(std::string& text, std::string_view value) {
  if (const size_t at = text.find("{}"); at != std::string::npos) text.replace(at, 2, value);
}

std::string Filled(const char* pattern, std::initializer_list<std::string_view> values) {
  std::string text = pattern;
  for (std::string_view value : values) Fill(text, value);
  return text;
}

// For each entry with a password, the other entries that hold the same one: the indices are
// sorted by password, so equal ones stand together, without copying a password.
std::vector<std::vector<size_t>> Reuses(const std::vector<Vault::Entry>& entries) {
  std::vector<size_t> order(entries.size());
  std::iota(order.begin(), order.end(), 0);
  std::erase_if(order, [&](size_t i) { return entries[i].Wachtwoord.empty(); });
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return entries[a].Wachtwoord < entries[b].Wachtwoord;
  });
  std::vector<std::vector<size_t>> reuses(entries.size());
  for (size_t start = 0, end = 0; start < order.size(); start = end) {
    end = start + 1;
    while (end < order.size() && entries[order[end]].Wachtwoord == entries[order[start]].Wachtwoord)
      ++end;
    std::vector<size_t> group(order.begin() + start, order.begin() + end);
    std::sort(group.begin(), group.end());
    if (group.size() < 2) continue;
    for (size_t i : group) {
      std::ranges::copy_if(group, std::back_inserter(reuses[i]), [i](size_t j) { return j != i; });
    }
  }
  return reuses;
}

// Looks the password up; a problem makes the list unusable for the rest of the report.
void LookUp(const std::string& password, BreachList& list, HealthReport& report,
            EntryHealth& health) {
  if (report.leakCheck != LeakCheck::Made) return;
  Sha1 hash = Sha1Of(password);
  const BreachProblem problem = CountInBreachList(list, hash, health.leaked);
  Vault::WipeMemory(&hash, sizeof hash);
  if (problem == BreachProblem::None) return;
  report.leakCheck = LeakCheck::Unusable;
  report.leakProblem = BreachProblemText(list, problem);
}

EntryHealth Examine(const std::vector<Vault::Entry>& entries, size_t index,
                    std::vector<size_t>& reusedWith, BreachList& list, HealthReport& report) {
  const Vault::Entry& e = entries[index];
  EntryHealth health;
  health.entry = index;
  health.empty = e.Wachtwoord.empty();
  if (health.empty) return health;
  health.reusedWith = std::move(reusedWith);
  const Strength strength = EstimateStrength(e.Wachtwoord, e.Gebruiker, e.Omschrijving);
  health.weak = strength.weak;
  health.guessTime = strength.time;
  health.sameAsUser = EqualFolded(e.Wachtwoord, e.Gebruiker);
  health.sameAsDescription = EqualFolded(e.Wachtwoord, e.Omschrijving);
  LookUp(e.Wachtwoord, list, report, health);
  return health;
}

bool HasFinding(const EntryHealth& h) {
  return h.empty || !h.reusedWith.empty() || h.weak || h.sameAsUser || h.sameAsDescription ||
         h.leaked > 0;
}

std::string ReuseText(const EntryHealth& health, const std::vector<Vault::Entry>* entries) {
  const Texts::Table& t = Texts::kText;
  const size_t others = health.reusedWith.size();
  std::string text = Filled(t.healthReused[others == 1 ? 0 : 1], {std::to_string(others)});
  if (entries == nullptr) return text;
  std::string names;
  for (size_t k = 0; k < others && k <= kNamedReuses; ++k) {
    if (!names.empty()) names += ", ";
    names += k < kNamedReuses ? (*entries)[health.reusedWith[k]].Omschrijving : "\u2026";
  }
  return Filled(t.healthReusedNames, {text, names});
}

}  // namespace

bool EqualFolded(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (FoldedAt(a, i) != FoldedAt(b, j)) return false;
  }
  return i == a.size() && j == b.size();
}

bool MakeHealthReport(const std::vector<Vault::Entry>& entries, const std::string& breachPath,
                      HealthReport& report, HealthProgress progress, void* data) {
  report = HealthReport();
  report.passwords = entries.size();
  BreachList list;
  if (!breachPath.empty()) {
    const BreachProblem problem = OpenBreachList(breachPath, list);
    report.leakCheck = problem == BreachProblem::None ? LeakCheck::Made : LeakCheck::Unusable;
    report.leakProblem = BreachProblemText(list, problem);
  }
  std::vector<std::vector<size_t>> reuses = Reuses(entries);
  bool finished = true;
  for (size_t i = 0; i < entries.size() && finished; ++i) {
    EntryHealth health = Examine(entries, i, reuses[i], list, report);
    if (HasFinding(health)) report.findings.push_back(std::move(health));
    if (progress != nullptr) finished = progress(i + 1, entries.size(), data);
  }
  CloseBreachList(list);
  // Counts found before the list turned out unusable cannot be trusted either.
  if (report.leakCheck == LeakCheck::Unusable) {
    for (EntryHealth& h : report.findings) h.leaked = 0;
    std::erase_if(report.findings, [](const EntryHealth& h) { return !HasFinding(h); });
  }
  return finished;
}

std::string FindingsText(const EntryHealth& h, const std::vector<Vault::Entry>* entries) {
  const Texts::Table& t = Texts::kText;
  std::vector<std::string> parts;
  if (h.empty) parts.emplace_back(t.healthEmpty);
  if (!h.reusedWith.empty()) parts.push_back(ReuseText(h, entries));
  if (h.weak) {
    parts.push_back(Filled(t.healthWeak, {t.healthGuessTimes[static_cast<size_t>(h.guessTime)]}));
  }
  if (h.sameAsUser) parts.emplace_back(t.healthSameAsUser);
  if (h.sameAsDescription) parts.emplace_back(t.healthSameAsDescription);
  if (h.leaked > 0) {
    parts.push_back(Filled(t.healthLeaked[h.leaked == 1 ? 0 : 1], {GroupThousands(h.leaked)}));
  }
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : t.healthSeparator) + part;
  return text;
}

std::string SummaryText(const HealthReport& report) {
  return Filled(Texts::kText.healthSummary,
                {std::to_string(report.findings.size()), std::to_string(report.passwords)});
}

std::string LeakCheckText(const HealthReport& report) {
  switch (report.leakCheck) {
    case LeakCheck::Made:
      return "";
    case LeakCheck::NoList:
      return Texts::kText.healthNoBreachList;
    case LeakCheck::Unusable:
      return report.leakProblem + Texts::kText.healthBreachListUnusable;
  }
  return "";
}

std::string GroupThousands(uint64_t number) {
  const std::string digits = std::to_string(number);
  std::string text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += Texts::kText.thousandsSeparator;
    text += digits[i];
  }
  return text;
}

}  // namespace Common
