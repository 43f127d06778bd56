// Start-up and memory of the real program under a private X server.
//  - BM_MainWindowMapped: from exec to the main window mapped (for the breakdown).
//  - BM_StartUp: from exec to the login dialog mapped on screen, against a bare GTK
//    program that shows one window (counter ratio_to_bare_window).
//  - BM_ResidentAfterLogin: resident memory of lockwell-en logged in to a vault of 10,000
//    entries, and of one near the format's 64 MiB, created with the real key parameters.
// Run: build/bench/startup_bench
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

#include "bench/bench_entries.h"
#include "tests/support/test_files.h"
#include "tests/support/xvfb.h"
#include "vault/vault.h"

namespace {

using Clock = std::chrono::steady_clock;

pid_t Launch(const char* program, const std::string& argument, bool withoutGl) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (withoutGl) setenv("GDK_GL", "disable", 1);
    execl(program, program, argument.empty() ? nullptr : argument.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

void Stop(pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// Seconds from exec until a top-level window with this title is mapped.
double SecondsUntilMapped(Display* display, const char* program, const std::string& argument,
                          const std::string& title, pid_t* started, bool withoutGl = false) {
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, True);
  const auto start = Clock::now();
  *started = Launch(program, argument, withoutGl);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != MapNotify) continue;
    char* name = nullptr;
    const bool match =
        XFetchName(display, event.xmap.window, &name) && name != nullptr && title == name;
    if (name != nullptr) XFree(name);
    if (match) return std::chrono::duration<double>(Clock::now() - start).count();
  }
}

Display* OpenDisplay() {
  if (!TestDisplay::Start()) std::abort();
  Display* display = XOpenDisplay(TestDisplay::Name().c_str());
  if (display == nullptr) std::abort();
  return display;
}

void BM_StartUp(benchmark::State& state) {
  Display* display = OpenDisplay();
  double lockwell = 0, bare = 0, bareWithoutGl = 0;
  for (auto _ : state) {
    TestFiles::TempDir dir;
    pid_t pid = 0;
    const double took = SecondsUntilMapped(display, LOCKWELL_PROGRAM, dir.path, "New vault", &pid);
    state.SetIterationTime(took);
    lockwell += took;
    Stop(pid);
    state.PauseTiming();
    bare += SecondsUntilMapped(display, BARE_WINDOW, "", "Bare", &pid);
    Stop(pid);
    bareWithoutGl += SecondsUntilMapped(display, BARE_WINDOW, "", "Bare", &pid, true);
    Stop(pid);
    state.ResumeTiming();
  }
  state.counters["bare_window_ms"] = 1000 * bare / state.iterations();
  state.counters["ratio_to_bare_window"] = lockwell / bare;
  // Lockwell skips GTK's OpenGL probe; against a bare window that skips it as well, the
  // ratio shows what the program's own window, dialog and fonts cost.
  state.counters["bare_window_without_gl_ms"] = 1000 * bareWithoutGl / state.iterations();
  state.counters["ratio_to_bare_window_without_gl"] = lockwell / bareWithoutGl;
  XCloseDisplay(display);
}
void BM_MainWindowMapped(benchmark::State& state) {
  Display* display = OpenDisplay();
  for (auto _ : state) {
    TestFiles::TempDir dir;
    pid_t pid = 0;
    state.SetIterationTime(
        SecondsUntilMapped(display, LOCKWELL_PROGRAM, dir.path, "Lockwell", &pid));
    Stop(pid);
  }
  XCloseDisplay(display);
}
BENCHMARK(BM_MainWindowMapped)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUp)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

long ResidentKiB(pid_t pid, const std::string& field = "VmRSS:") {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + field.size(), nullptr, 10);
  }
  return -1;
}

// Clock ticks the process has run, user and system.
long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  long user = 0, system = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) user = std::strtol(field.c_str(), nullptr, 10);
    if (i == 15) system = std::strtol(field.c_str(), nullptr, 10);
  }
  return user + system;
}

// Returns once the process has used no processor time for half a second.
void WaitUntilIdle(pid_t pid) {
  for (long before = -1, now = CpuTicks(pid); now != before; before = now, now = CpuTicks(pid)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
}

void BM_ResidentAfterLogin(benchmark::State& state) {
  Display* display = OpenDisplay();
  TestFiles::TempDir dir;
  if (!Vault::LoadSodium() ||
      Vault::CreateVault(dir.path + "kluis.lwv", "benchmark password") != Vault::Ok) {
    std::abort();
  }
  Vault::Entries() = MakeEntries(static_cast<int>(state.range(0)));
  Vault::SaveVault();
  const double payloadMiB = Vault::JsonLength(Vault::Entries()) / (1024.0 * 1024.0);
  Vault::CloseVault();
  // What the window toolkit alone keeps resident, for the memory the vault may add to it.
  // Lockwell loads no OpenGL driver, so its budget takes the bare window without one.
  auto bareResidentMiB = [display](bool withoutGl) {
    pid_t barePid = 0;
    SecondsUntilMapped(display, BARE_WINDOW, "", "Bare", &barePid, withoutGl);
    WaitUntilIdle(barePid);
    const double mib = ResidentKiB(barePid) / 1024.0;
    Stop(barePid);
    return mib;
  };
  const double bareMiB = bareResidentMiB(false);
  const double bareWithoutGlMiB = bareResidentMiB(true);
  long kib = 0, peakKib = 0;
  for (auto _ : state) {
    pid_t pid = 0;
    SecondsUntilMapped(display, LOCKWELL_PROGRAM, dir.path, "Log in", &pid);
    const int typed = std::system(
        ("DISPLAY=" + TestDisplay::Name() +
         " sh -c 'w=$(xdotool search --sync --onlyvisible --name \"^Log in$\" | head -n1);"
         " xdotool windowfocus --sync $w; xdotool type \"benchmark password\";"
         " xdotool key Return'")
            .c_str());
    if (typed != 0) state.SkipWithError("xdotool could not type the password");
    // Logged in once the dialog is gone; then let the list settle.
    while (std::system(("DISPLAY=" + TestDisplay::Name() +
                        " xdotool search --onlyvisible --name '^Log in$' >/dev/null")
                           .c_str()) == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // The dialog goes before the key is derived: logged in once the program is idle.
    WaitUntilIdle(pid);
    kib = ResidentKiB(pid);
    peakKib = ResidentKiB(pid, "VmHWM:");
    Stop(pid);
  }
  state.counters["resident_MiB"] = kib / 1024.0;
  // The peak holds the key derivation's memory (256 MiB for a new vault).
  state.counters["peak_resident_MiB"] = peakKib / 1024.0;
  state.counters["payload_MiB"] = payloadMiB;
  state.counters["bare_window_MiB"] = bareMiB;
  state.counters["bare_window_without_gl_MiB"] = bareWithoutGlMiB;
  // Resident memory against three times the payload plus a bare window's.
  state.counters["ratio_to_budget"] = kib / 1024.0 / (3 * payloadMiB + bareWithoutGlMiB);
  XCloseDisplay(display);
}
BENCHMARK(BM_ResidentAfterLogin)
    ->Arg(10000)
    ->Arg(EntriesAtTheLimit())
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
