// The texts the user sees. Each edition links exactly one table (texts_en.cpp or
// texts_nl.cpp); both define the same symbols, so the edition is chosen at link time.
#pragma once

namespace Texts {

struct Table {
  bool dutch;  // asks the About window for its Dutch texts

  // Vault error texts, indexed by VaultError code 0..7.
  const char* errorText[8];
  const char* unknownErrorPrefix;  // followed by the code and ")"

  const char* sodiumMissing;  // the one message box when libsodium cannot be loaded
  const char* savingFailed;   // prefix, followed by the error text
};

extern const Table kText;

}  // namespace Texts
