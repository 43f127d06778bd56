// libFuzzer target for the settings reader: whatever the file holds, ParseSettings must
// not crash, and the record it gives must come back unchanged from the file it writes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Common::Settings read = Common::ParseSettings({reinterpret_cast<const char*>(data), size});
  const std::string written = Common::ComposeSettings(read);
  const Common::Settings again = Common::ParseSettings(written);
  if (again.GenLengte != read.GenLengte || again.GenHoofd != read.GenHoofd ||
      again.GenKlein != read.GenKlein || again.GenCijfers != read.GenCijfers ||
      again.GenLeestekens != read.GenLeestekens || again.Browser != read.Browser ||
      again.AltijdBoven != read.AltijdBoven) {
    std::abort();
  }
  if (Common::ComposeSettings(again) != written) std::abort();
  return 0;
}
