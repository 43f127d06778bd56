// libFuzzer target for the CSV import reader. The first byte chooses the separator (found
// or given) and whether the first line is data; the rest is the file. Whatever it holds,
// reading must not crash, and the rows it accepts must come back unchanged when they are
// exported and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/csv_export.h"
#include "cli/csv_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  Cli::ImportOptions options;
  options.separator = "\0,;\t"[data[0] & 3];
  if ((data[0] & 4) != 0) {
    options.noHeader = true;
    if (!Cli::ParseColumns("description=1,url=2,username=3,password=4", options.columns)) {
      std::abort();
    }
  }
  Cli::ImportReport report;
  Cli::ReadImport({reinterpret_cast<const char*>(data) + 1, size - 1}, options, report);
  if (report.failure != Cli::ImportFailure::None) {
    if (!report.rows.list.empty()) std::abort();  // a refused file leaves nothing behind
    return 0;
  }
  const std::string csv = Cli::ExportCsv(report.rows.list);
  Cli::ImportReport again;
  Cli::ReadImport(csv, {}, again);
  if (report.rows.list.empty()
          ? again.failure != Cli::ImportFailure::None
          : again.failure != Cli::ImportFailure::None || again.rows.list != report.rows.list) {
    std::abort();
  }
  return 0;
}
