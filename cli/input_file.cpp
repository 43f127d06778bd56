#include "cli/input_file.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "vault/file_io.h"

namespace Cli {

bool OpenInputFile(const std::string& path, InputFile& file) {
  CloseInputFile(file);
  struct stat info {};
  const int fd = Vault::OpenRegularFile(path, info);
  if (fd < 0) return false;
  bool ok = true;
  if (info.st_size > 0) {
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
  file.data = nullptr;
  file.size = 0;
}

InputFile::~InputFile() { CloseInputFile(*this); }

}  // namespace Cli
