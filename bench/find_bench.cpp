// Finding entries at 100,000: each keystroke of a 12-character search typed into the real
// window (the match in the last entry), building the folded copies against the unlock's own
// work, and the companion's list with and without words.
// Run: build/bench/find_bench
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>

#include "app/controls.h"
#include "app/entry_list.h"
#include "app/events.h"
#include "app/main_window.h"
#include "bench/bench_entries.h"
#include "common/entry_find.h"
#include "program/connections.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "tests/support/xvfb.h"
#include "vault/vault.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kEntries = 100000;
constexpr char kTyped[] = "zebra crossi";  // 12 characters; only the last entry holds them

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<Vault::Entry> SearchedEntries() {
  std::vector<Vault::Entry> list = MakeEntries(kEntries - 1);
  list.push_back({"Zebra Crossing", "https://crossing.example", "zed", "pw"});
  return list;
}

const std::string& Dir() {
  static const std::string dir = [] {
    std::string pattern = "/tmp/lockwell-find-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || !Vault::LoadSodium()) std::abort();
    return pattern + "/";
  }();
  return dir;
}

// A key pressed in the window, delivered as the X server's would be.
void SendKey(GtkWidget* window, guint keyval) {
  GdkDisplay* display = gtk_widget_get_display(window);
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
  event->key.time = GDK_CURRENT_TIME;
  event->key.keyval = keyval;
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys,
                                        &count) &&
      count > 0) {
    event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
  }
  g_free(keys);
  gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

// Runs GTK and the program's dispatch until everything a key caused is done.
void Settle() {
  while (gtk_events_pending()) gtk_main_iteration();
  const App::Event done{App::EventKind::Timer, App::kMainWindow, -1, 0};
  App::PostEvent(done);
  for (App::Event e = App::WaitEvent(); !(e == done); e = App::WaitEvent()) Program::Dispatch(e);
  while (gtk_events_pending()) gtk_main_iteration();
}

double TypeSearch(GtkWidget* window, double* total) {
  gtk_widget_grab_focus(App::ControlWidget(App::EntryList));
  double worst = 0;
  for (const char c : std::string(kTyped)) {
    const auto start = Clock::now();
    SendKey(window, gdk_unicode_to_keyval(static_cast<guint32>(c)));
    Settle();
    const double took = Seconds(start);
    worst = std::max(worst, took);
    *total += took;
  }
  if (App::SelectedIndex() != kEntries - 1) std::abort();
  SendKey(window, GDK_KEY_Escape);
  Settle();
  return worst;
}

void BM_KeystrokesInTheWindow(benchmark::State& state) {
  if (!TestDisplay::Start()) std::abort();
  gtk_init(nullptr, nullptr);
  App::CreateMainWindow();
  Program::ConnectMainWindow();
  const std::string path = Dir() + "window.lwv";
  if (TestVaults::WriteSmallVault(path, "pw", SearchedEntries()) != Vault::Ok ||
      Vault::OpenVault(path, "pw") != Vault::Ok) {
    std::abort();
  }
  App::FillEntryList(0);
  Settle();
  GtkWidget* window = App::MainWindowWidget();
  double worst = 0, total = 0, ignored = 0;
  TypeSearch(window, &ignored);  // warming up: the popup is made, the fold cache filled
  for (auto _ : state) {
    const double once = TypeSearch(window, &total);
    worst = std::max(worst, once);
    state.SetIterationTime(once);
  }
  state.counters["worst_keystroke_ms"] = 1000 * worst;
  state.counters["mean_keystroke_ms"] = 1000 * total / (state.iterations() * 12.0);
  Vault::CloseVault();
  App::ClearEntryList();
}
BENCHMARK(BM_KeystrokesInTheWindow)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// The rule's share of a keystroke: the matches and the row to select, typing on.
void BM_KeystrokesInTheRule(benchmark::State& state) {
  Common::FoldedEntries folded;
  Common::BuildFoldedEntries(SearchedEntries(), folded);
  double worst = 0;
  for (auto _ : state) {
    Common::SearchQuery earlier;
    std::vector<int> matches;
    double slowest = 0;
    for (size_t n = 1; n <= std::string(kTyped).size(); ++n) {
      const auto start = Clock::now();
      Common::SearchQuery query = Common::MakeSearchQuery(std::string(kTyped).substr(0, n));
      matches = Common::NarrowMatches(folded, query, earlier, matches);
      int target = Common::FirstDescriptionStart(folded, query, matches);
      if (target < 0 && !matches.empty()) target = matches.front();
      benchmark::DoNotOptimize(target);
      earlier = std::move(query);
      slowest = std::max(slowest, Seconds(start));
    }
    worst = std::max(worst, slowest);
    state.SetIterationTime(slowest);
  }
  Common::WipeFoldedEntries(folded);
  state.counters["worst_keystroke_ms"] = 1000 * worst;
}
BENCHMARK(BM_KeystrokesInTheRule)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

// The folded copies against what an unlock does besides the key derivation (reading,
// decrypting and parsing, timed on a vault with the smallest key parameters as the vault
// benchmark does).
void BM_BuildFoldedCopies(benchmark::State& state) {
  const std::string path = Dir() + "small.lwv";
  if (TestVaults::WriteSmallVault(path, "pw", MakeEntries(kEntries)) != Vault::Ok) std::abort();
  double rest = 0;
  for (int i = 0; i < 6; ++i) {  // the first run only warms up
    const auto start = Clock::now();
    if (Vault::OpenVault(path, "pw") != Vault::Ok) std::abort();
    if (i > 0) rest += Seconds(start) / 5;
    if (i < 5) Vault::CloseVault();
  }
  Common::FoldedEntries folded;
  Common::BuildFoldedEntries(Vault::Entries(), folded);  // warming up
  double build = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    Common::BuildFoldedEntries(Vault::Entries(), folded);
    const double took = Seconds(start);
    build += took;
    state.SetIterationTime(took);
  }
  Common::WipeFoldedEntries(folded);
  Vault::CloseVault();
  state.counters["unlock_rest_ms"] = 1000 * rest;
  state.counters["build_ms"] = 1000 * build / state.iterations();
  state.counters["share_of_rest"] = build / state.iterations() / rest;
}
BENCHMARK(BM_BuildFoldedCopies)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

double RunList(const std::string& dir, const std::vector<std::string>& words) {
  int in[2];
  if (pipe(in) != 0) std::abort();
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], STDIN_FILENO);
    close(in[1]);
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(127);
    std::vector<const char*> argv{LOCKWELL_CLI, "--dir", dir.c_str(), "list"};
    for (const std::string& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);
    execv(LOCKWELL_CLI, const_cast<char**>(argv.data()));
    _exit(127);
  }
  close(in[0]);
  (void)!write(in[1], "pw\n", 3);
  close(in[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
  return Seconds(start);
}

// The companion's list of 100,000 entries, in turns with words and without; range(0): the
// vault's key parameters are a new vault's (1) or the smallest (0), which shows the rule's
// own cost beside reading and printing.
void BM_ListWithWords(benchmark::State& state) {
  const bool real = state.range(0) != 0;
  const std::string dir = Dir() + (real ? "real/" : "smallest/");
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) std::abort();
  const std::vector<Vault::Entry> list = SearchedEntries();
  if (real) {
    if (Vault::CreateVaultHolding(dir + "kluis.lwv", "pw", std::vector(list)) != Vault::Ok)
      std::abort();
    Vault::CloseVault();
  } else if (TestVaults::WriteSmallVault(dir + "kluis.lwv", "pw", list) != Vault::Ok) {
    std::abort();
  }
  RunList(dir, {"zebra"});  // warming up: the files in the page cache
  double plain = 0, searched = 0;
  for (auto _ : state) {
    plain += RunList(dir, {});
    const double took = RunList(dir, {"zebra", "crossi"});
    searched += took;
    state.SetIterationTime(took);
  }
  state.counters["list_ms"] = 1000 * plain / state.iterations();
  state.counters["list_text_ms"] = 1000 * searched / state.iterations();
  state.counters["ratio"] = searched / plain;
}
BENCHMARK(BM_ListWithWords)
    ->Arg(1)
    ->Arg(0)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
