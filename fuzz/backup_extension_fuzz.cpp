// libFuzzer target for the backup extension rule: the chosen path is kept as typed, at most
// ".lwv" is added, and a path that went through the rule does not change again, unless it
// had no file name at all (".lwv" then starts a name, and such a dot marks no extension).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "features/backup_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  const std::string named = Features::WithBackupExtension(path);
  if (named != path && named != path + ".lwv") std::abort();
  const bool nameless = path.empty() || path.back() == '/' || path.back() == '\\';
  if (!nameless && Features::WithBackupExtension(named) != named) std::abort();
  return 0;
}
