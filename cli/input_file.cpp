#include "cli/input_file.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>

#include "vault/payload.h"

namespace Cli {
namespace {

constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";
// A UTF-16 code unit becomes at most three bytes of UTF-8 (a pair of them, four).
constexpr size_t kUtf8BytesPerUnit = 3;

// The mapping being read, for the SIGBUS handler; lock-free atomics are safe in a handler.
std::atomic<uintptr_t> gStart{0}, gEnd{0};
std::atomic<uintptr_t> gPageSize{4096};
volatile sig_atomic_t gCutShort = 0;
struct sigaction gPrevious {};

// A page of the mapping past the file's new end: zero pages are put in its place and the
// read goes on, to be thrown away once InputFileChanged is asked. (mmap is a plain system
// call on Linux, safe here.) Any other SIGBUS is left to the handler that was there before.
void OnBusError(int, siginfo_t* info, void*) {
  const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
  const uintptr_t start = gStart, end = gEnd;
  if (address >= start && address < end) {
    const uintptr_t page = address & ~(gPageSize - 1);
    void* zeros = mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros != MAP_FAILED) {
      gCutShort = 1;
      return;
    }
  }
  sigaction(SIGBUS, &gPrevious, nullptr);  // the fault comes again, and ends the program
}

void WatchMapping(const char* data, size_t size) {
  gPageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  gStart = reinterpret_cast<uintptr_t>(data);
  gEnd = reinterpret_cast<uintptr_t>(data) + size;
  struct sigaction action {};
  action.sa_sigaction = OnBusError;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  sigaction(SIGBUS, &action, &gPrevious);
}

void StopWatching() {
  sigaction(SIGBUS, &gPrevious, nullptr);
  gStart = gEnd = 0;
}

// UTF-16 after its byte-order mark, as UTF-8. A lone surrogate keeps its three bytes and an
// odd last byte becomes 0xFF: neither is UTF-8, so the row that holds it is refused as
// any other text that is not.
void FromUtf16(std::string_view bytes, bool bigEndian, char* out, size_t& used) {
  const auto unitAt = [&](size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (first << 8 | second) : (second << 8 | first);
  };
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    char32_t c = unitAt(i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
      const char32_t low = unitAt(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    used = static_cast<size_t>(Vault::PutCodePoint(c, out + used) - out);
  }
  if (i < bytes.size()) out[used++] = '\xFF';
}

// Keeps the UTF-8 of a UTF-16 text beside the mapping; false when memory runs out.
bool ConvertUtf16(InputFile& file) {
  const std::string_view text = View(file);
  const bool little = text.substr(0, 2) == kLittleEndianMark;
  if (!little && text.substr(0, 2) != kBigEndianMark) return true;
  SecretBuffer& out = file.converted;
  if (!ReserveSecret(out, (text.size() / 2 + 1) * kUtf8BytesPerUnit + 1)) return false;
  FromUtf16(text.substr(2), !little, out.data, out.size);
  out.data[out.size] = '\0';
  return true;
}

}  // namespace

bool OpenInputFile(const std::string& path, InputFile& file) {
  CloseInputFile(file);
  gCutShort = 0;
  struct stat info {};
  file.fd = Vault::OpenRegularFile(path, info);
  if (file.fd < 0) return false;
  file.opened = Vault::IdentityOf(info);
  if (info.st_size > 0) {
    void* mapped =
        mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_SHARED, file.fd, 0);
    if (mapped == MAP_FAILED) {
      CloseInputFile(file);
      return false;
    }
    file.data = static_cast<const char*>(mapped);
    file.size = static_cast<size_t>(info.st_size);
    WatchMapping(file.data, file.size);
  }
  if (ConvertUtf16(file) && !InputFileChanged(file)) return true;
  const bool changed = file.changed;
  CloseInputFile(file);
  file.changed = changed;
  return false;
}

bool InputFileChanged(InputFile& file) {
  struct stat info {};
  file.changed =
      file.changed || gCutShort != 0 ||
      (file.fd >= 0 && (fstat(file.fd, &info) != 0 || Vault::IdentityOf(info) != file.opened));
  return file.changed;
}

void CloseInputFile(InputFile& file) {
  if (file.data != nullptr) {
    StopWatching();
    munmap(const_cast<char*>(file.data), file.size);
  }
  if (file.fd >= 0) close(file.fd);
  ReleaseSecret(file.converted);
  file.data = nullptr;
  file.size = 0;
  file.fd = -1;
  file.changed = false;
}

InputFile::~InputFile() { CloseInputFile(*this); }

}  // namespace Cli
