// Vault speed as ratios against the floor the machine sets: an unlock against one bare
// crypto_pwhash with the same parameters, a save against sealing and writing the same
// bytes, and what the guard against other writers adds to a save.
// Run: build/bench/lockwell_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "bench/bench_entries.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/file_guard.h"
#include "vault/sodium_calls.h"
#include "vault/vault.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string BenchDir() {
  static std::string dir = [] {
    std::string pattern = "/tmp/lockwell-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || !Vault::LoadSodium()) std::abort();
    return pattern + "/";
  }();
  return dir;
}

// A vault of n entries written with the parameters of a new vault; left open.
std::string CreateBenchVault(int n) {
  const std::string path = BenchDir() + "bench" + std::to_string(n) + ".lwv";
  if (Vault::CreateVault(path, "benchmark password") != Vault::Ok) std::abort();
  Vault::Entries() = MakeEntries(n);
  if (Vault::SaveVaultQuietly() != Vault::Ok) std::abort();
  return path;
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// An unlock is one key derivation plus reading, decrypting and parsing. The derivation
// varies by several per cent from run to run here, more than the rest costs, so the rest
// is timed on its own (a copy of the vault written with the smallest key parameters) and
// set against the mean of bare derivations with the real parameters.
void BM_OpenVault(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string path = CreateBenchVault(n);  // real parameters
  const std::string small = BenchDir() + "small" + std::to_string(n) + ".lwv";
  if (TestVaults::WriteSmallVault(small, "benchmark password", Vault::Entries()) != Vault::Ok) {
    std::abort();
  }
  Vault::CloseVault();

  unsigned char salt[Vault::kSaltSize] = {1};
  unsigned char key[Vault::kKeySize];
  double open = 0, bare = 0, rest = 0;
  int restRuns = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    if (Vault::OpenVault(path, "benchmark password") != Vault::Ok) std::abort();
    const double took = Seconds(start);
    state.SetIterationTime(took);
    open += took;
    state.PauseTiming();
    Vault::CloseVault();
    start = Clock::now();
    if (Vault::Sodium::PwHash(key, sizeof key, "benchmark password", 18, salt, Vault::kNewOpsLimit,
                              Vault::kNewMemLimit) != 0) {
      std::abort();
    }
    bare += Seconds(start);
    for (int i = 0; i < 5; ++i, ++restRuns) {
      start = Clock::now();
      if (Vault::OpenVault(small, "benchmark password") != Vault::Ok) std::abort();
      rest += Seconds(start);
      Vault::CloseVault();
    }
    state.ResumeTiming();
  }
  const double pwhash = bare / state.iterations();
  state.counters["bare_pwhash_ms"] = 1000 * pwhash;
  state.counters["rest_ms"] = 1000 * rest / restRuns;
  state.counters["ratio_to_pwhash"] = (pwhash + rest / restRuns) / pwhash;
  state.counters["direct_ratio"] = open / bare;
}
BENCHMARK(BM_OpenVault)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(EntriesAtTheLimit())
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_SaveVault(benchmark::State& state) {
  CreateBenchVault(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (Vault::SaveVaultQuietly() != Vault::Ok) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * Vault::JsonLength(Vault::Entries()));
  Vault::CloseVault();
}
// With the guard's look at the file on disk, which finds it unchanged.
BENCHMARK(BM_SaveVault)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The guard against other writers on a save. Saves are dominated by fsync, which varies
// a lot here from one moment to the next, so each iteration makes the same save twice, in
// turn: once as the open vault saves (the guard looks at the file on disk first) and once
// without the guard (the same entries sealed and written to the same folder).
void BM_SaveWithAndWithoutGuard(benchmark::State& state) {
  CreateBenchVault(static_cast<int>(state.range(0)));
  const Vault::KeyState keys = TestVaults::SmallKeys("benchmark password");
  const std::string unguarded = BenchDir() + "unguarded.lwv";
  double with = 0, without = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    if (Vault::SaveVaultQuietly() != Vault::Ok) std::abort();
    const double took = Seconds(start);
    with += took;
    state.SetIterationTime(took);
    start = Clock::now();
    if (Vault::SealToFile(unguarded, keys, Vault::Entries()) != Vault::Ok) std::abort();
    without += Seconds(start);
  }
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
  Vault::CloseVault();
  state.counters["with_guard_ms"] = 1000 * with / state.iterations();
  state.counters["without_guard_ms"] = 1000 * without / state.iterations();
  state.counters["ratio"] = with / without;
}
BENCHMARK(BM_SaveWithAndWithoutGuard)
    ->Arg(10000)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The guard's look on its own: stat of the vault file and a comparison.
void BM_GuardLook(benchmark::State& state) {
  const std::string path = CreateBenchVault(10000);
  for (auto _ : state) {
    if (Vault::GuardBeforeWrite(path) != Vault::Ok) std::abort();
  }
  Vault::CloseVault();
}
BENCHMARK(BM_GuardLook)->Unit(benchmark::kMicrosecond);

int64_t gFakeSeconds = 1772878500;
int64_t NextSecond() { return gFakeSeconds++; }

void RemoveKeptCopies() {
  for (const auto& file : std::filesystem::directory_iterator(BenchDir())) {
    if (file.path().filename().string().find(".extern-") != std::string::npos) {
      std::filesystem::remove(file.path());
    }
  }
}

// A save that finds the file replaced (by the same bytes, as a new file) and keeps a copy
// of it first.
void BM_SaveKeepingACopy(benchmark::State& state) {
  const std::string path = CreateBenchVault(static_cast<int>(state.range(0)));
  Vault::SetKeptCopyClock(NextSecond);  // a name of its own for every kept copy
  const std::string bytes = TestFiles::ReadFile(path);
  const std::string incoming = BenchDir() + "incoming.lwv";
  for (auto _ : state) {
    state.PauseTiming();
    // Another program puts the same bytes in place as a new file.
    TestFiles::WriteFile(incoming, bytes);
    if (std::rename(incoming.c_str(), path.c_str()) != 0) std::abort();
    state.ResumeTiming();
    if (Vault::SaveVaultQuietly() != Vault::Ok) std::abort();
    state.PauseTiming();
    RemoveKeptCopies();
    state.ResumeTiming();
  }
  Vault::SetKeptCopyClock(nullptr);
  Vault::CloseVault();
}
BENCHMARK(BM_SaveKeepingACopy)->Arg(10000)->Unit(benchmark::kMillisecond);

// The floor of a save: the same payload bytes, already composed, sealed and written.
void BM_SealAndWriteBytes(benchmark::State& state) {
  const std::vector<Vault::Entry> list = MakeEntries(static_cast<int>(state.range(0)));
  const std::string payload = Vault::EntriesToJson(list);
  const bool sync = state.range(1) != 0;
  unsigned char key[Vault::kKeySize] = {7};
  std::vector<unsigned char> image(payload.size() + Vault::kMinFileSize);
  const std::string path = BenchDir() + "floor.lwv";
  for (auto _ : state) {
    Vault::Sodium::RandomBytes(image.data() + Vault::kNonceOffset, Vault::kNonceSize);
    Vault::Sodium::Seal(image.data() + Vault::kHeaderSize,
                        reinterpret_cast<const unsigned char*>(payload.data()), payload.size(),
                        image.data(), Vault::kHeaderSize, image.data() + Vault::kNonceOffset, key);
    if (sync) {
      if (Vault::WriteVaultBytes(path, image.data(), image.size()) != Vault::Ok) std::abort();
    } else {  // the same steps without fsync, to show what the flush to disk costs
      const std::string temporary = path + ".tmp";
      const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (fd < 0 || write(fd, image.data(), image.size()) != static_cast<ssize_t>(image.size())) {
        std::abort();
      }
      close(fd);
      rename(temporary.c_str(), path.c_str());
    }
  }
  state.SetBytesProcessed(state.iterations() * payload.size());
}
BENCHMARK(BM_SealAndWriteBytes)
    ->ArgNames({"entries", "fsync"})
    ->ArgsProduct({{1000, 10000, 100000}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

void BM_ComposePayload(benchmark::State& state) {
  const std::vector<Vault::Entry> list = MakeEntries(static_cast<int>(state.range(0)));
  size_t bytes = 0;
  for (auto _ : state) {
    std::string text = Vault::EntriesToJson(list);
    bytes += text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_ComposePayload)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(EntriesAtTheLimit())
    ->Unit(benchmark::kMillisecond);

void BM_ParsePayload(benchmark::State& state) {
  const std::string text = Vault::EntriesToJson(MakeEntries(static_cast<int>(state.range(0))));
  std::vector<Vault::Entry> list;
  for (auto _ : state) {
    if (!Vault::JsonToEntries(text, list)) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ParsePayload)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(EntriesAtTheLimit())
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
