// File helpers shared by the tests: a private temporary directory and whole-file I/O.
#pragma once

#include <string>

namespace TestFiles {

// A fresh directory below $TMPDIR (or /tmp), removed with everything in it on destruction.
struct TempDir {
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string path;  // ends in "/"
};

[[nodiscard]] std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
[[nodiscard]] bool Exists(const std::string& path);
// Permission bits of a file, or -1 when it does not exist.
[[nodiscard]] int ModeOf(const std::string& path);

}  // namespace TestFiles
