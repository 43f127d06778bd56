#include "program/command_line.h"

#include <cstdio>
#include <cstring>

#include "texts/texts.h"

namespace Program {

InfoRequest InfoRequestFor(int argc, char** argv) {
  if (argc < 2) return InfoRequest::Nothing;
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    return InfoRequest::Usage;
  }
  if (std::strcmp(argv[1], "--version") == 0) return InfoRequest::Version;
  return InfoRequest::Nothing;
}

int PrintInfo(InfoRequest request) {
  if (request == InfoRequest::Version) {
    std::fputs("Lockwell " LOCKWELL_VERSION "\n", stdout);
  } else {
    std::fputs(Texts::kText.usage, stdout);
  }
  // A full disk or a closed pipe is a failure, as with any program that prints.
  return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? 0 : 1;
}

}  // namespace Program
