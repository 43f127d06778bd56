// FillEntryList with many entries, until GTK has nothing left to do; and the start-up's
// lock on the configuration folder. Run: build/bench/gui_bench
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include "app/dialog_window.h"
#include "app/entry_list.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "bench/bench_entries.h"
#include "common/instance_lock.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "tests/support/xvfb.h"
#include "vault/vault.h"

namespace {

void BM_FillEntryList(benchmark::State& state) {
  static bool ready = [] {
    if (!TestDisplay::Start() || !Vault::LoadSodium()) std::abort();
    gtk_init(nullptr, nullptr);
    App::CreateMainWindow();
    return true;
  }();
  (void)ready;
  TestFiles::TempDir dir;
  if (TestVaults::WriteSmallVault(dir.path + "v.lwv", "pw",
                                  MakeEntries(static_cast<int>(state.range(0)))) != Vault::Ok ||
      Vault::OpenVault(dir.path + "v.lwv", "pw") != Vault::Ok) {
    std::abort();
  }
  for (auto _ : state) {
    App::FillEntryList(0);
    while (gtk_events_pending()) gtk_main_iteration();
  }
  Vault::CloseVault();
  App::ClearEntryList();
}
BENCHMARK(BM_FillEntryList)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(EntriesAtTheLimit())
    ->Unit(benchmark::kMillisecond);

// Taken once per run, at start-up; a save never pays for it.
void BM_LockConfigDir(benchmark::State& state) {
  TestFiles::TempDir dir;
  for (auto _ : state) {
    if (!Common::LockConfigDir(dir.path)) std::abort();
    Common::UnlockConfigDir();
  }
}
BENCHMARK(BM_LockConfigDir)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
