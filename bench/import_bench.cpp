// Importing a CSV export of 10,000 rows into a new vault, against creating and saving the
// same 10,000 entries without CSV. Both make the vault with the same small Argon2id costs
// and write it once (temporary file, fsync, rename); the import adds reading the file, the
// separator and header, every row through the editor's rules and the duplicate check.
// Saves vary with fsync from moment to moment, so each iteration makes both, in turn.
// Run: build/bench/import_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_entries.h"
#include "cli/csv_export.h"
#include "cli/csv_import.h"
#include "cli/input_file.h"
#include "cli/new_entries.h"
#include "common/entry_merge.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/vault.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWarmUps = 3;
constexpr char kPassword[] = "benchmark password";

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// What import does once the password is known: read, check, keep the rows not present,
// and make the vault holding them.
void ImportIntoNewVault(const std::string& csv, const std::string& vault) {
  Cli::InputFile file;
  if (!Cli::OpenInputFile(csv, file)) std::abort();
  Cli::ImportReport report;
  Cli::ReadImport(Cli::View(file), {}, report);
  Cli::CloseInputFile(file);
  if (report.failure != Cli::ImportFailure::None) std::abort();
  Cli::KeepEntries(report.rows.list, Common::MissingEntries({}, report.rows.list));
  if (Vault::CreateVaultHolding(vault, kPassword, std::move(report.rows.list)) != Vault::Ok) {
    std::abort();
  }
  Vault::CloseVault();
}

// The floor: the entries as typed, appended one by one as the New command does, and the
// vault made holding them.
void CreateAndSave(const std::vector<Vault::Entry>& typed, const std::string& vault) {
  std::vector<Vault::Entry> list;
  for (const Vault::Entry& e : typed) Vault::AppendEntry(list, e);
  if (Vault::CreateVaultHolding(vault, kPassword, std::move(list)) != Vault::Ok) std::abort();
  Vault::CloseVault();
}

void BM_ImportAgainstCreateAndSave(benchmark::State& state) {
  static TestFiles::TempDir dir;
  if (!Vault::LoadSodium()) std::abort();
  Vault::SetNewKeyCostsForTests(TestVaults::kSmallOpsLimit, TestVaults::kSmallMemLimit);
  const std::vector<Vault::Entry> entries = MakeEntries(static_cast<int>(state.range(0)));
  const std::string csv = dir.path + "export.csv";
  std::string text = Cli::ExportCsv(entries);
  TestFiles::WriteFile(csv, text);
  Vault::WipeText(text);
  const std::string imported = dir.path + "imported.lwv", saved = dir.path + "saved.lwv";
  auto importOnce = [&] {
    unlink(imported.c_str());
    const auto start = Clock::now();
    ImportIntoNewVault(csv, imported);
    return Seconds(start);
  };
  auto saveOnce = [&] {
    unlink(saved.c_str());
    const auto start = Clock::now();
    CreateAndSave(entries, saved);
    return Seconds(start);
  };
  for (int i = 0; i < kWarmUps; ++i) importOnce(), saveOnce();
  double importing = 0, saving = 0;
  bool importFirst = true;
  for (auto _ : state) {
    double took;
    if (importFirst) {
      took = importOnce();
      saving += saveOnce();
    } else {
      saving += saveOnce();
      took = importOnce();
    }
    importFirst = !importFirst;  // neither side always follows the other's fsync
    importing += took;
    state.SetIterationTime(took);
  }
  state.counters["import_ms"] = 1000 * importing / state.iterations();
  state.counters["create_and_save_ms"] = 1000 * saving / state.iterations();
  state.counters["ratio"] = importing / saving;
}
BENCHMARK(BM_ImportAgainstCreateAndSave)
    ->Arg(10000)
    ->Iterations(100)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
