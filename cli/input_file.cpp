#include "cli/input_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cli {

bool OpenInputFile(const std::string& path, InputFile& file) {
  CloseInputFile(file);
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (ok && info.st_size > 0) {
    void* mapped = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_SHARED, fd, 0);
    ok = mapped != MAP_FAILED;
    if (ok) {
      file.data = static_cast<const char*>(mapped);
      file.size = static_cast<size_t>(info.st_size);
    }
  }
  close(fd);
  return ok;
}

void CloseInputFile(InputFile& file) {
  if (file.data != nullptr) munmap(const_cast<char*>(file.data), file.size);
  file = {};
}

}  // namespace Cli
