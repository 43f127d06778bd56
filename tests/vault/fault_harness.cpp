// Runs one writer of the program once, under the fault-injecting library, and tells what
// it reported; also prepares the writer's files and tells which state they are in.
//   fault_harness WRITER prepare DIR   the old files, written without faults
//   fault_harness WRITER run DIR       the write; exit 0 when it reported success, 1 when it
//                                      reported a failure; prints the calls it made per kind
//   fault_harness WRITER check DIR     prints old, new or bad
// A writer is a row of kWriters: add a row for every new writer of the program.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "cli/csv_export.h"
#include "cli/export_file.h"
#include "common/paths.h"
#include "common/settings.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/file_io.h"
#include "vault/replace_file.h"
#include "vault/vault.h"

namespace {

constexpr const char* kOldPassword = "old password";
constexpr const char* kNewPassword = "new password";
const std::vector<Vault::Entry> kOldEntries = {{"mail", "https://mail.example", "ann", "s3cret"}};
const std::vector<Vault::Entry> kNewEntries = {{"mail", "https://mail.example", "ann", "s3cret"},
                                               {"bank", "", "bob", "other secret"}};

std::string gDir;
std::string gReported;
void Report(const std::string& message) { gReported = message; }

std::string Vault() { return gDir + "kluis.lwv"; }

// old when the vault opens with the old password and holds the old entries, new when it
// opens with the password and entries the writer gives it.
const char* VaultState(const char* newPassword, const std::vector<Vault::Entry>& newEntries) {
  Vault::KeyState keys{};
  std::vector<Vault::Entry> list;
  if (Vault::ReadVaultFile(Vault(), kOldPassword, keys, list) == Vault::Ok) {
    Vault::WipeAndFree(keys.key, Vault::kKeySize);
    if (list == kOldEntries) return "old";
    if (list == newEntries && std::strcmp(newPassword, kOldPassword) == 0) return "new";
    return "bad";
  }
  if (Vault::ReadVaultFile(Vault(), newPassword, keys, list) == Vault::Ok) {
    Vault::WipeAndFree(keys.key, Vault::kKeySize);
    return list == newEntries ? "new" : "bad";
  }
  return "bad";
}

bool PrepareVault() {
  return TestVaults::WriteSmallVault(Vault(), kOldPassword, kOldEntries) == Vault::Ok;
}

// ---- the writers ---------------------------------------------------------------------

// The vault save, through the save-error reporter the program shows its message with.
bool SetUpSave() {
  if (Vault::OpenVault(Vault(), kOldPassword) != Vault::Ok) return false;
  Vault::Entries() = kNewEntries;
  return true;
}
bool RunSave() {
  Vault::SaveVault();
  return gReported.empty();
}
const char* CheckSave() { return VaultState(kOldPassword, kNewEntries); }

bool SetUpChange() {
  Vault::SetNewKeyCostsForTests(TestVaults::kSmallOpsLimit, TestVaults::kSmallMemLimit);
  return Vault::OpenVault(Vault(), kOldPassword) == Vault::Ok;
}
bool RunChange() { return Vault::ChangeMasterPassword(kNewPassword) == Vault::Ok; }
const char* CheckChange() { return VaultState(kNewPassword, kOldEntries); }

Common::Settings NewSettings() {
  Common::Settings settings = Common::DefaultSettings();
  settings.GenLengte = 33;
  settings.Browser = "/usr/bin/new-browser";
  return settings;
}
bool PrepareSettings() {
  Common::SetConfigDir(gDir);
  Common::SaveSettings();
  return TestFiles::Exists(Common::SettingsPath());
}
// The record changes only through its setters, which save; the new record is read from a
// file elsewhere instead, so that the one save under test is RunSettings's.
bool SetUpSettings() {
  TestFiles::TempDir elsewhere;
  Common::SetConfigDir(elsewhere.path);
  TestFiles::WriteFile(Common::SettingsPath(), Common::ComposeSettings(NewSettings()));
  Common::LoadSettings();
  Common::SetConfigDir(gDir);
  return Common::CurrentSettings().GenLengte == NewSettings().GenLengte;
}
// Silent by design: the answer is always "success", the file tells the rest.
bool RunSettings() {
  Common::SaveSettings();
  return true;
}
const char* CheckSettings() {
  const std::string bytes = TestFiles::ReadFile(gDir + "instellingen.ini");
  if (bytes == Common::ComposeSettings(Common::DefaultSettings())) return "old";
  return bytes == Common::ComposeSettings(NewSettings()) ? "new" : "bad";
}

const std::string kOldBytes = "the old file\n", kNewBytes = "the new file, a little longer\n";
bool PrepareReplace() {
  return Vault::WriteWholeFile(gDir + "file", kOldBytes.data(), kOldBytes.size(), 0600);
}
bool Nothing() { return true; }
bool RunReplace() {
  return Vault::WriteWholeFile(gDir + "file", kNewBytes.data(), kNewBytes.size(), 0600);
}
const char* CheckReplace() {
  const std::string bytes = TestFiles::ReadFile(gDir + "file");
  return bytes == kOldBytes ? "old" : bytes == kNewBytes ? "new" : "bad";
}

// The backup: a copy of the vault over an older backup.
std::string Backup() { return gDir + "backup.lwv"; }
bool PrepareBackup() {
  TestFiles::WriteFile(Backup(), kOldBytes);
  return TestVaults::WriteSmallVault(Vault(), kNewPassword, kNewEntries) == Vault::Ok;
}
bool RunBackup() { return Vault::CopyWholeFile(Vault(), Backup(), {.keepOwner = true}); }
const char* CheckBackup() {
  const std::string bytes = TestFiles::ReadFile(Backup());
  return bytes == kOldBytes ? "old" : bytes == TestFiles::ReadFile(Vault()) ? "new" : "bad";
}

// The restore's write: the backup, read whole, in place of the vault.
std::string Chosen() { return gDir + "chosen.lwv"; }
// A backup others may read: the vault it becomes is still private.
bool PrepareRestore() {
  return PrepareVault() &&
         TestVaults::WriteSmallVault(Chosen(), kNewPassword, kNewEntries) == Vault::Ok &&
         chmod(Chosen().c_str(), 0644) == 0;
}
bool RunRestore() {
  std::string bytes;
  return Vault::ReadRegularFile(Chosen(), Vault::kMaxFileSize, Vault::Beyond::Refused, bytes) &&
         Vault::WriteVaultBytes(Vault(), bytes.data(), bytes.size()) == Vault::Ok;
}
const char* CheckNewVault() { return VaultState(kNewPassword, kNewEntries); }

// Putting the safety copy back after a failed restore, under the writer guard.
std::string SafetyCopy() { return Vault() + ".voor-terugzetten"; }
bool PreparePutBack() {
  return PrepareVault() &&
         TestVaults::WriteSmallVault(SafetyCopy(), kNewPassword, kNewEntries) == Vault::Ok;
}
// The restore has just written the vault on purpose.
bool SetUpPutBack() {
  Vault::AdoptVaultFileOnDisk(Vault());
  return true;
}
bool RunPutBack() { return Vault::PutFileBackAsVault(SafetyCopy(), Vault()) == Vault::Ok; }

// The companion's import into a directory without a vault: the new vault holds the rows
// from its first write.
bool NoVault() { return true; }
bool SetUpImport() {
  Vault::SetNewKeyCostsForTests(TestVaults::kSmallOpsLimit, TestVaults::kSmallMemLimit);
  return true;
}
bool RunImport() {
  std::vector<Vault::Entry> rows = kNewEntries;
  return Vault::CreateVaultHolding(Vault(), kNewPassword, std::move(rows)) == Vault::Ok;
}
const char* CheckImport() {
  return TestFiles::Exists(Vault()) ? VaultState(kNewPassword, kNewEntries) : "old";
}

// The companion's export over an older export (--force).
std::string Export() { return gDir + "export.csv"; }
bool PrepareExport() {
  TestFiles::WriteFile(Export(), Cli::ExportCsv(kOldEntries));
  return true;
}
bool RunExport() {
  std::string csv = Cli::ExportCsv(kNewEntries);
  int error = 0;
  const bool written = Cli::WriteExportFile(Export(), csv, error);
  Vault::WipeText(csv);
  return written;
}
const char* CheckExport() {
  const std::string bytes = TestFiles::ReadFile(Export());
  return bytes == Cli::ExportCsv(kOldEntries)   ? "old"
         : bytes == Cli::ExportCsv(kNewEntries) ? "new"
                                                : "bad";
}

struct Writer {
  const char* name;
  bool (*prepare)();  // the old files
  bool (*setUp)();    // what comes before the write, without faults
  bool (*run)();      // the write; true when the writer reported success
  const char* (*check)();
};

const Writer kWriters[] = {
    {"save", PrepareVault, SetUpSave, RunSave, CheckSave},
    {"change", PrepareVault, SetUpChange, RunChange, CheckChange},
    {"settings", PrepareSettings, SetUpSettings, RunSettings, CheckSettings},
    {"replace", PrepareReplace, Nothing, RunReplace, CheckReplace},
    {"backup", PrepareBackup, Nothing, RunBackup, CheckBackup},
    {"restore", PrepareRestore, Nothing, RunRestore, CheckNewVault},
    {"putback", PreparePutBack, SetUpPutBack, RunPutBack, CheckNewVault},
    {"import", NoVault, SetUpImport, RunImport, CheckImport},
    {"export", PrepareExport, Nothing, RunExport, CheckExport},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || !Vault::LoadSodium()) return 3;
  const std::string mode = argv[2];
  gDir = argv[3];
  Vault::SetSaveErrorReporter(Report);
  for (const Writer& writer : kWriters) {
    if (std::strcmp(writer.name, argv[1]) != 0) continue;
    if (mode == "prepare") return writer.prepare() ? 0 : 3;
    if (mode == "check") {
      std::printf("%s\n", writer.check());
      return 0;
    }
    auto arm = reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, "lockwell_fault_arm"));
    auto count =
        reinterpret_cast<int (*)(const char*)>(dlsym(RTLD_DEFAULT, "lockwell_fault_count"));
    if (arm == nullptr || count == nullptr || !writer.setUp()) return 3;  // not preloaded
    arm();
    const bool succeeded = writer.run();
    for (const char* kind : {"write", "fsync", "close", "rename", "dirsync"}) {
      std::printf("%s %d\n", kind, count(kind));
    }
    if (!gReported.empty()) std::printf("reported: %s\n", gReported.c_str());
    return succeeded ? 0 : 1;
  }
  return 3;
}
