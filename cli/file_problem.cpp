#include "cli/file_problem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "texts/texts.h"

namespace Cli {

static_assert(sizeof Texts::Table::cliFileCauses / sizeof(const char*) ==
              static_cast<size_t>(FileCause::Unknown));

FileCause CauseOfError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileCause::NoSuchFile;
    case EISDIR:
      return FileCause::Folder;
    case ENXIO:
    case ENODEV:
      return FileCause::FifoOrDevice;
    case EACCES:
    case EPERM:
      return FileCause::Permission;
    case ENOSPC:
    case EDQUOT:
      return FileCause::DiskFull;
    case EROFS:
      return FileCause::ReadOnly;
    default:
      return FileCause::Unknown;
  }
}

FileCause ReadCause(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return CauseOfError(errno);
  if (S_ISDIR(info.st_mode)) return FileCause::Folder;
  if (!S_ISREG(info.st_mode)) return FileCause::FifoOrDevice;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return CauseOfError(errno);
  close(fd);
  return FileCause::Unknown;
}

std::string WithCause(std::string_view lead, FileCause cause) {
  std::string text(lead);
  if (cause != FileCause::Unknown) {
    text += ' ';
    text += Texts::kText.cliFileCauses[static_cast<size_t>(cause)];
  }
  return text;
}

}  // namespace Cli
