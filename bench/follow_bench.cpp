// Following another computer's save of a large vault with the held key: the new version read
// without key derivation, merged three-way with the window's list, and the list filled again
// until GTK has nothing left to do. Against it, the read alone.
// Run: build/bench/follow_bench
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <stdio.h>

#include <cstdlib>

#include "app/entry_list.h"
#include "app/main_window.h"
#include "bench/bench_entries.h"
#include "commands/follow_vault.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "tests/support/xvfb.h"
#include "vault/vault.h"

namespace {

constexpr int kWarmUps = 3;

// A vault of n entries open in the window, and the other computer's writer with its key.
struct Setting {
  explicit Setting(int n) : list(MakeEntries(n)) {
    static const bool ready = [] {
      if (!TestDisplay::Start() || !Vault::LoadSodium()) std::abort();
      gtk_init(nullptr, nullptr);
      App::CreateMainWindow();
      return true;
    }();
    (void)ready;
    std::vector<Vault::Entry> read;
    if (TestVaults::WriteSmallVault(path, "pw", list) != Vault::Ok ||
        Vault::OpenVault(path, "pw") != Vault::Ok ||
        Vault::ReadVaultFile(path, "pw", keys, read) != Vault::Ok) {
      std::abort();
    }
    Vault::WipeEntries(read);
    App::FillEntryList(0);
  }
  ~Setting() {
    Vault::WipeAndFree(keys.key, Vault::kKeySize);
    Vault::CloseVault();
    App::ClearEntryList();
    Vault::WipeEntries(list);
  }
  // The other computer changes one password and its version is renamed over the vault.
  void Arrive() {
    list[static_cast<size_t>(round) % list.size()].Wachtwoord = "changed " + std::to_string(round);
    ++round;
    if (Vault::SealToFile(dir.path + "incoming", keys, list) != Vault::Ok ||
        rename((dir.path + "incoming").c_str(), path.c_str()) != 0) {
      std::abort();
    }
  }

  TestFiles::TempDir dir;
  const std::string path = dir.path + "kluis.lwv";
  std::vector<Vault::Entry> list;
  Vault::KeyState keys{};
  int round = 0;
};

void Follow() {
  Commands::FollowVaultFile();
  while (gtk_events_pending()) gtk_main_iteration();
  if (Vault::VaultFileChanged()) std::abort();  // not brought in
}

void BM_FollowVersion(benchmark::State& state) {
  Setting setting(static_cast<int>(state.range(0)));
  for (int i = 0; i < kWarmUps; ++i) setting.Arrive(), Follow();
  for (auto _ : state) {
    state.PauseTiming();
    setting.Arrive();
    state.ResumeTiming();
    Follow();
  }
}
BENCHMARK(BM_FollowVersion)->Arg(10000)->Unit(benchmark::kMillisecond);

// The floor: reading the same version with the held key, nothing merged or shown.
void BM_ReadWithHeldKey(benchmark::State& state) {
  Setting setting(static_cast<int>(state.range(0)));
  setting.Arrive();
  const auto readOnce = [&] {
    std::vector<Vault::Entry> theirs;
    Vault::FileIdentity seen;
    bool otherKey = false;
    if (Vault::ReadWithHeldKey(setting.path, theirs, seen, otherKey) != Vault::Ok) std::abort();
    Vault::WipeEntries(theirs);
  };
  for (int i = 0; i < kWarmUps; ++i) readOnce();
  for (auto _ : state) readOnce();
}
BENCHMARK(BM_ReadWithHeldKey)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
