// The key state of a vault file the companion reads beside the open one (merge, check).
#pragma once

#include "vault/vault.h"

namespace Cli {

// Secret: the key, once Vault::ReadVaultFile has filled it, is wiped and freed when its
// holder goes out of scope, on every way out; never copied, so there is one owner.
struct HeldKeys {
  Vault::KeyState state{};

  HeldKeys() = default;
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;
  ~HeldKeys() { Vault::WipeAndFree(state.key, Vault::kKeySize); }
};

}  // namespace Cli
