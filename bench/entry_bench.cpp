// An edit and save in a large vault against the floor of sealing and writing the same bytes,
// and the password generator. Run: build/bench/entry_bench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "bench/bench_entries.h"
#include "common/password_generator.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/sodium_calls.h"
#include "vault/vault.h"

namespace {

constexpr int kWarmUps = 3;

std::string BenchDir() {
  static TestFiles::TempDir dir;
  if (!Vault::LoadSodium()) std::abort();
  return dir.path;
}

// What EditSelectedEntry does after OK: the fields into the entry, then the whole vault
// sealed and written.
void EditAndSave(int i, int round) {
  Vault::Entry& entry = Vault::Entries()[static_cast<size_t>(i)];
  entry.Omschrijving = "Edited " + std::to_string(round);
  entry.Wachtwoord = "Xq7!rT2#pL9$" + std::to_string(round);
  if (Vault::SaveVaultQuietly() != Vault::Ok) std::abort();
}

void BM_EditAndSave(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string path = BenchDir() + "edit.lwv";
  if (TestVaults::WriteSmallVault(path, "pw", MakeEntries(n)) != Vault::Ok ||
      Vault::OpenVault(path, "pw") != Vault::Ok) {
    std::abort();
  }
  int round = 0;
  for (int i = 0; i < kWarmUps; ++i) EditAndSave(n / 2, round++);
  for (auto _ : state) EditAndSave(n / 2, round++);
  state.SetBytesProcessed(state.iterations() * Vault::JsonLength(Vault::Entries()));
  Vault::CloseVault();
}
BENCHMARK(BM_EditAndSave)->Arg(10000)->Unit(benchmark::kMillisecond);

// The floor: the same payload, already composed, sealed and written through the same
// temporary file, fsync and rename.
void BM_SealAndWriteFloor(benchmark::State& state) {
  const std::string payload = Vault::EntriesToJson(MakeEntries(static_cast<int>(state.range(0))));
  unsigned char key[Vault::kKeySize] = {7};
  std::vector<unsigned char> image(payload.size() + Vault::kMinFileSize);
  const std::string path = BenchDir() + "floor.lwv";
  auto sealAndWrite = [&] {
    Vault::Sodium::RandomBytes(image.data() + Vault::kNonceOffset, Vault::kNonceSize);
    Vault::Sodium::Seal(image.data() + Vault::kHeaderSize,
                        reinterpret_cast<const unsigned char*>(payload.data()), payload.size(),
                        image.data(), Vault::kHeaderSize, image.data() + Vault::kNonceOffset, key);
    if (Vault::WriteVaultBytes(path, image.data(), image.size()) != Vault::Ok) std::abort();
  };
  for (int i = 0; i < kWarmUps; ++i) sealAndWrite();
  for (auto _ : state) sealAndWrite();
  state.SetBytesProcessed(state.iterations() * payload.size());
}
BENCHMARK(BM_SealAndWriteFloor)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same two, interleaved in one run so that both see the same disk and load; the
// counter ratio_to_floor is the edit and save against sealing and writing its bytes.
void BM_EditAndSaveAgainstFloor(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string path = BenchDir() + "edit.lwv";
  if (TestVaults::WriteSmallVault(path, "pw", MakeEntries(n)) != Vault::Ok ||
      Vault::OpenVault(path, "pw") != Vault::Ok) {
    std::abort();
  }
  unsigned char key[Vault::kKeySize] = {7};
  const std::string floorPath = BenchDir() + "floor.lwv";
  int round = 0;
  for (int i = 0; i < kWarmUps; ++i) EditAndSave(n / 2, round++);
  double edit = 0, floor = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    EditAndSave(n / 2, round++);
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(took);
    edit += took;
    state.PauseTiming();
    const std::string payload = Vault::EntriesToJson(Vault::Entries());
    std::vector<unsigned char> image(payload.size() + Vault::kMinFileSize);
    start = std::chrono::steady_clock::now();
    Vault::Sodium::RandomBytes(image.data() + Vault::kNonceOffset, Vault::kNonceSize);
    Vault::Sodium::Seal(image.data() + Vault::kHeaderSize,
                        reinterpret_cast<const unsigned char*>(payload.data()), payload.size(),
                        image.data(), Vault::kHeaderSize, image.data() + Vault::kNonceOffset, key);
    if (Vault::WriteVaultBytes(floorPath, image.data(), image.size()) != Vault::Ok) {
      std::abort();
    }
    floor += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.ResumeTiming();
  }
  state.counters["floor_ms"] = 1000 * floor / state.iterations();
  state.counters["ratio_to_floor"] = edit / floor;
  Vault::CloseVault();
}
BENCHMARK(BM_EditAndSaveAgainstFloor)
    ->Arg(10000)
    ->Arg(EntriesAtTheLimit())
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_GeneratePassword(benchmark::State& state) {
  BenchDir();  // loads libsodium
  const int length = static_cast<int>(state.range(0));
  for (int i = 0; i < kWarmUps; ++i) {
    std::string warm = Common::GeneratePassword(length, true, true, true, true);
    Vault::WipeText(warm);
  }
  for (auto _ : state) {
    std::string password = Common::GeneratePassword(length, true, true, true, true);
    benchmark::DoNotOptimize(password.data());
    Vault::WipeText(password);
  }
}
BENCHMARK(BM_GeneratePassword)->Arg(20)->Arg(128)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
