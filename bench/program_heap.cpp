// Benchmarks linked with mimalloc take its 2 MiB pages, as the programs' main asks for.
#include <mimalloc.h>

namespace {

const bool kLargePages = [] {
  mi_option_enable(mi_option_large_os_pages);
  return true;
}();

}  // namespace
