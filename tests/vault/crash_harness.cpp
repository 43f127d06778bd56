// Saves one vault in a tight loop until it is killed: content X and Y in turn, and the
// master password changed from A to B and back between them, so the file goes through
// (A,X) (A,Y) (B,Y) (B,X) and over again. Exit status 2 means a save or change failed.
//   crash_harness DIR PASSWORD_A PASSWORD_B
#include <cstdlib>
#include <string>

#include "tests/support/test_vaults.h"
#include "tests/vault/crash_contents.h"
#include "vault/vault.h"

namespace {

void Fail(const std::string&) { std::_Exit(2); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || !Vault::LoadSodium()) return 1;
  const std::string path = std::string(argv[1]) + "kluis.lwv";
  const std::string a = argv[2], b = argv[3];
  Vault::SetSaveErrorReporter(Fail);
  Vault::SetNewKeyCostsForTests(TestVaults::kSmallOpsLimit, TestVaults::kSmallMemLimit);
  if (Vault::OpenVault(path, a) != Vault::Ok && Vault::OpenVault(path, b) != Vault::Ok) {
    if (Vault::CreateVault(path, a) != Vault::Ok) return 2;
    Vault::Entries() = CrashContents::X();
    Vault::SaveVault();
  }
  for (;;) {
    const bool holdsX = Vault::Entries() == CrashContents::X();
    Vault::Entries() = holdsX ? CrashContents::Y() : CrashContents::X();
    Vault::SaveVault();
    // After Y the password changes to B, after X back to A.
    if (Vault::ChangeMasterPassword(holdsX ? b : a) != Vault::Ok) return 2;
  }
}
