// Kills the crash harness with SIGKILL at random moments while it saves and changes the
// master password; after every kill the vault opens with exactly one of the two passwords
// and holds exactly one of the two contents, and a left-over temporary file never stops the
// next run from saving. LOCKWELL_CRASH_KILLS sets the number of kills (default 100).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "tests/support/test_files.h"
#include "tests/vault/crash_contents.h"
#include "tests/vault/vault_fixture.h"
#include "vault/vault.h"

namespace {

constexpr const char* kPasswordA = "crash password A";
constexpr const char* kPasswordB = "crash password B";

pid_t StartHarness(const std::string& dir) {
  const pid_t pid = fork();
  if (pid == 0) {
    execl(LOCKWELL_CRASH_HARNESS, LOCKWELL_CRASH_HARNESS, dir.c_str(), kPasswordA, kPasswordB,
          static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

ino_t InodeOf(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

int Kills() {
  const char* count = std::getenv("LOCKWELL_CRASH_KILLS");
  return count != nullptr ? std::atoi(count) : 100;
}

class CrashDuringSave : public VaultFixture {};

TEST_F(CrashDuringSave, EveryKillLeavesOneWholeVault) {
  TestFiles::TempDir dir;
  const std::string path = dir.path + "kluis.lwv";
  std::mt19937 random(std::random_device{}());
  // The first run creates the vault; later ones open what the killed one left.
  const pid_t first = StartHarness(dir.path);
  while (!TestFiles::Exists(path)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  kill(first, SIGKILL);
  waitpid(first, nullptr, 0);

  const int kills = Kills();
  int leftOver = 0, withA = 0, withB = 0, holdingX = 0, holdingY = 0;
  for (int k = 0; k < kills; ++k) {
    const bool startsWithLeftOver = TestFiles::Exists(path + ".tmp");
    const ino_t before = InodeOf(path);
    const pid_t pid = StartHarness(dir.path);
    // Each run must save over whatever the last one left before it is killed in turn.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (InodeOf(path) == before && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    ASSERT_NE(InodeOf(path), before) << "kill " << k << ": no save after the restart"
                                     << (startsWithLeftOver ? ", with a left-over .tmp" : "");
    if (startsWithLeftOver) ++leftOver;
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status))
        << "kill " << k << ": the harness ended by itself, status " << WEXITSTATUS(status);

    Vault::KeyState keys{};
    std::vector<Vault::Entry> list;
    const Vault::VaultError a = Vault::ReadVaultFile(path, kPasswordA, keys, list);
    if (a == Vault::Ok) Vault::WipeAndFree(keys.key, Vault::kKeySize);
    const Vault::VaultError b = Vault::ReadVaultFile(path, kPasswordB, keys, list);
    if (b == Vault::Ok) Vault::WipeAndFree(keys.key, Vault::kKeySize);
    ASSERT_TRUE((a == Vault::Ok && b == Vault::WrongPassword) ||
                (a == Vault::WrongPassword && b == Vault::Ok))
        << "kill " << k << ": with A " << a << ", with B " << b;
    (a == Vault::Ok ? withA : withB)++;
    ASSERT_TRUE(list == CrashContents::X() || list == CrashContents::Y()) << "kill " << k;
    (list == CrashContents::X() ? holdingX : holdingY)++;
  }
  std::printf(
      "%d kills: %d opened with A, %d with B; %d held X, %d Y; %d runs saved over a "
      "left-over temporary file\n",
      kills, withA, withB, holdingX, holdingY, leftOver);
  EXPECT_GT(leftOver, 0) << "no kill landed during a write; the test proves little";
  EXPECT_GT(withA, 0);
  EXPECT_GT(withB, 0);
  RecordProperty("kills", kills);
}

}  // namespace
