// Merging two versions of a large list: three-way against their common base, and a union.
// Run: build/bench/merge_bench
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_entries.h"
#include "common/entry_merge.h"

namespace {

constexpr int kWarmUps = 2;

struct Versions {
  std::vector<Vault::Entry> base, ours, theirs;
};

// Each side edits about 1% of the entries in its own places: passwords changed, entries
// added and deleted, and (theirs) a few moved to the top.
Versions MakeVersions(int count) {
  Versions v;
  v.base = MakeEntries(count);
  for (int i = 0; i < count; ++i) {
    Vault::Entry mine = v.base[static_cast<size_t>(i)], other = mine;
    if (i % 150 == 1) mine.Wachtwoord += "-ours";
    if (i % 170 == 2) other.Wachtwoord += "-theirs";
    if (i % 190 == 3) other.Url += "/new";
    if (i % 300 != 7) v.ours.push_back(mine);
    if (i % 310 != 9) v.theirs.push_back(other);
    if (i % 250 == 5) v.ours.push_back(MakeEntry(count + i));
    if (i % 270 == 6) v.theirs.push_back(MakeEntry(2 * count + i));
  }
  for (int k = 0; k < 20; ++k) {
    const size_t from = v.theirs.size() / 2 + static_cast<size_t>(k) * 37;
    Vault::Entry moved = v.theirs[from];
    v.theirs.erase(v.theirs.begin() + static_cast<long>(from));
    v.theirs.insert(v.theirs.begin(), moved);
  }
  return v;
}

void BM_MergeThreeWay(benchmark::State& state) {
  const Versions v = MakeVersions(static_cast<int>(state.range(0)));
  std::vector<Vault::Entry> merged;
  Common::MergeReport report;
  for (int i = 0; i < kWarmUps; ++i)
    Common::MergeThreeWay(v.base, v.ours, v.theirs, merged, report);
  for (auto _ : state) {
    Common::MergeThreeWay(v.base, v.ours, v.theirs, merged, report);
    benchmark::DoNotOptimize(merged.data());
  }
  state.counters["merged"] = static_cast<double>(merged.size());
  state.counters["twins"] = static_cast<double>(report.twins.size());
  Vault::WipeEntries(merged);
}
BENCHMARK(BM_MergeThreeWay)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MergeUnion(benchmark::State& state) {
  const Versions v = MakeVersions(static_cast<int>(state.range(0)));
  std::vector<Vault::Entry> merged;
  Common::MergeReport report;
  for (int i = 0; i < kWarmUps; ++i) Common::MergeUnion(v.ours, v.theirs, merged, report);
  for (auto _ : state) {
    Common::MergeUnion(v.ours, v.theirs, merged, report);
    benchmark::DoNotOptimize(merged.data());
  }
  state.counters["twins"] = static_cast<double>(report.twins.size());
  Vault::WipeEntries(merged);
}
BENCHMARK(BM_MergeUnion)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
