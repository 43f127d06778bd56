// Loads libsodium the program's way and prints what happened, one "name=value" per line.
// Run by sodium_test with LD_LIBRARY_PATH pointing at fake libraries.
#include <dlfcn.h>

#include <cstdio>

#include "vault/vault.h"

namespace {

const char* FakeId() {
  using IdFn = const char* (*)();
  auto id = reinterpret_cast<IdFn>(dlsym(RTLD_DEFAULT, "lockwell_fake_id"));
  return id != nullptr ? id() : "none";
}

int FakeCounter(const char* name) {
  auto* counter = static_cast<int*>(dlsym(RTLD_DEFAULT, name));
  return counter != nullptr ? *counter : -1;
}

}  // namespace

int main() {
  std::printf("uniform_before_load=%d\n", Vault::RandomUniform(10));
  const bool loaded = Vault::LoadSodium();
  std::printf("loaded=%d\n", loaded);
  std::printf("handle=%d\n", Vault::SodiumLoaded());
  std::printf("id=%s\n", FakeId());
  std::printf("init_calls=%d\n", FakeCounter("lockwell_fake_init_calls"));
  if (!loaded) {
    std::printf("open=%d create=%d check=%d change=%d\n", Vault::OpenVault("/nonexistent", "pw"),
                Vault::CreateVault("/nonexistent", "pw"),
                Vault::CheckVaultFile("/nonexistent", "pw"), Vault::ChangeMasterPassword("pw"));
  }
  if (loaded) {
    std::printf("second=%d\n", Vault::LoadSodium());
    std::printf("init_calls_after_second=%d\n", FakeCounter("lockwell_fake_init_calls"));
    const int zero = Vault::RandomUniform(0);
    const int negative = Vault::RandomUniform(-5);
    std::printf("uniform_0=%d uniform_-5=%d\n", zero, negative);
    std::printf("uniform_calls=%d\n", FakeCounter("lockwell_fake_uniform_calls"));
    std::printf("uniform_10=%d\n", Vault::RandomUniform(10));
    std::printf("uniform_calls_after=%d\n", FakeCounter("lockwell_fake_uniform_calls"));
  }
  return 0;
}
