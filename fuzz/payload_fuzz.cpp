// libFuzzer target for the payload reader: whatever the bytes, JsonToEntries must not
// crash, and what it accepts must survive a write and a second read unchanged.
// Build and run: scripts/fuzz.sh (every target), or see README.md.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vault/payload_reader.h"
#include "vault/vault.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<Vault::Entry> list;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The general reader alone must come to the same outcome as the fast reader before it.
  std::vector<Vault::Entry> general;
  const bool accepted = Vault::JsonToEntries(text, list);
  std::string padded(text);
  padded.resize(size + Vault::kPayloadPadding, '\0');
  if (Vault::ReadGeneralPayload(padded.data(), size, general) != accepted || general != list) {
    std::abort();
  }
  if (!accepted) {
    if (!list.empty()) std::abort();
    return 0;
  }
  const std::string written = Vault::EntriesToJson(list);
  std::vector<Vault::Entry> again;
  if (!Vault::JsonToEntries(written, again) || again != list) std::abort();
  if (Vault::EntriesToJson(again) != written) std::abort();
  return 0;
}
