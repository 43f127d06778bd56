// The password health report of 10,000 entries: against a sorted breach list of 1 GB in the
// page cache, and without a leak check; and how much resident memory the breach list costs.
// The list is generated (random hashes) into a temporary folder and read once before timing.
// Run: build/bench/health_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_entries.h"
#include "common/health_report.h"
#include "tests/support/breach_files.h"
#include "tests/support/test_files.h"
#include "vault/vault.h"

namespace {

constexpr int kEntries = 10000;
constexpr uint64_t kBreachBytes = uint64_t{1} << 30;
constexpr uint64_t kBytesPerLine = 47;  // 40 hex digits, ":", a count of up to 4 digits, LF
constexpr int kWarmUps = 3;

// Reads the file through once, so that it is in the page cache.
void ReadThrough(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  static char buffer[1 << 20];
  while (read(fd, buffer, sizeof buffer) > 0) {
  }
  close(fd);
}

const std::string& BreachFile() {
  static TestFiles::TempDir dir;
  static const std::string path = [] {
    const std::string file = dir.path + "breaches.txt";
    BreachFiles::WriteBreachFile(file, kBreachBytes / kBytesPerLine,
                                 {BreachFiles::kPassword1Hash + std::string(":12345")});
    ReadThrough(file);
    return file;
  }();
  return path;
}

std::vector<Vault::Entry> Vault10000() {
  if (!Vault::LoadSodium()) std::abort();
  std::vector<Vault::Entry> entries = MakeEntries(kEntries);
  entries[kEntries / 2].Wachtwoord = "password1";  // one leaked, one reused pair
  entries[kEntries / 3].Wachtwoord = entries[kEntries / 4].Wachtwoord;
  return entries;
}

// Resident memory of the process, in KiB.
long ResidentKb() {
  long pages = 0, resident = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr || std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) std::abort();
  std::fclose(statm);
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void Report(const std::vector<Vault::Entry>& entries, const std::string& breaches,
            size_t& findings) {
  Common::HealthReport report;
  if (!Common::MakeHealthReport(entries, breaches, report)) std::abort();
  if (!breaches.empty() && report.leakCheck != Common::LeakCheck::Made) std::abort();
  findings = report.findings.size();
}

void BM_HealthReport(benchmark::State& state) {
  const bool withBreaches = state.range(0) != 0;
  const std::vector<Vault::Entry> entries = Vault10000();
  const std::string breaches = withBreaches ? BreachFile() : "";
  size_t findings = 0;
  for (int i = 0; i < kWarmUps; ++i) Report(entries, breaches, findings);
  for (auto _ : state) Report(entries, breaches, findings);
  state.counters["findings"] = static_cast<double>(findings);
}
BENCHMARK(BM_HealthReport)->ArgName("breach_list")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// What the report with the 1 GB list holds in resident memory beyond the one without it.
void BM_BreachListResidentMemory(benchmark::State& state) {
  const std::vector<Vault::Entry> entries = Vault10000();
  const std::string& breaches = BreachFile();
  size_t findings = 0;
  for (int i = 0; i < kWarmUps; ++i) Report(entries, "", findings);
  long growth = 0;
  for (auto _ : state) {
    const long before = ResidentKb();
    Report(entries, breaches, findings);
    growth = std::max(growth, ResidentKb() - before);
  }
  state.counters["resident_growth_kb"] = static_cast<double>(growth);
}
BENCHMARK(BM_BreachListResidentMemory)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
