// health: the password health report, one line per entry with a finding, then the summary.
#include <unistd.h>

#include <cerrno>

#include "cli/commands.h"
#include "cli/output.h"
#include "common/health_report.h"
#include "common/settings.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Cli {

int HealthCommand(const Context& context) {
  if (const int status = OpenVaultAsking(context); status != kDone) return status;
  std::string breaches = context.arguments.breaches;
  if (!context.arguments.breachesGiven) {
    Common::LoadSettings();  // the window's choice
    breaches = Common::CurrentSettings().GelekteWachtwoorden;
  }
  const std::vector<Vault::Entry>& entries = Vault::Entries();
  Common::HealthReport report;
  (void)Common::MakeHealthReport(entries, breaches, report);
  if (report.leakCheck == Common::LeakCheck::Unusable) {
    PrintError(Printable(Common::LeakCheckText(report)));
  }
  std::string lines;
  for (const Common::EntryHealth& health : report.findings) {
    const Vault::Entry& e = entries[health.entry];
    lines += Printable(e.Omschrijving);
    if (!e.Gebruiker.empty()) lines += " (" + Printable(e.Gebruiker) + ")";
    lines += ": " + Common::FindingsText(health) + "\n";
  }
  lines += Common::SummaryText(report) + "\n";
  if (report.leakCheck == Common::LeakCheck::NoList) lines += Common::LeakCheckText(report) + "\n";
  return WriteAll(STDOUT_FILENO, lines) ? kDone : OutputFailure(errno);
}

}  // namespace Cli
