// Vault speed as ratios against the floor the machine sets: an unlock against one bare
// crypto_pwhash with the same parameters, a save against sealing and writing the same
// bytes. Run: build/bench/lockwell_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/bench_entries.h"
#include "tests/support/test_vaults.h"
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
  if (Vault::SealAndWrite() != Vault::Ok) std::abort();
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
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_SaveVault(benchmark::State& state) {
  CreateBenchVault(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (Vault::SealAndWrite() != Vault::Ok) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * Vault::JsonLength(Vault::Entries()));
  Vault::CloseVault();
}
BENCHMARK(BM_SaveVault)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

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
      if (Vault::WriteFileReplacing(path, image.data(), image.size()) != Vault::Ok) std::abort();
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
BENCHMARK(BM_ComposePayload)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ParsePayload(benchmark::State& state) {
  const std::string text = Vault::EntriesToJson(MakeEntries(static_cast<int>(state.range(0))));
  std::vector<Vault::Entry> list;
  for (auto _ : state) {
    if (!Vault::JsonToEntries(text, list)) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ParsePayload)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
