// The process's free and realloc: every block is wiped over its usable size before it goes
// back to mimalloc, so that no library (the JSON reader, GTK, the clipboard, Pango) leaves a
// password behind in freed memory. Defined in the program itself, these are the ones the
// dynamic linker binds for every library; malloc stays mimalloc's.
#include <mimalloc.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <new>

namespace {

// From this size on, whole pages are handed back to the kernel instead of written over: a
// private anonymous page comes back zero-filled, and pages never touched (a parser's spare
// capacity, most of an Argon2 block already wiped by libsodium) cost nothing.
constexpr size_t kDropPagesFrom = 1 << 20;

void WipeBlock(void* block) {
  char* start = static_cast<char*>(block);
  const size_t size = mi_usable_size(block);
  if (size >= kDropPagesFrom) {
    static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t first = (reinterpret_cast<uintptr_t>(start) + page - 1) & ~(page - 1);
    const uintptr_t last = (reinterpret_cast<uintptr_t>(start) + size) & ~(page - 1);
    if (madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED) == 0) {
      explicit_bzero(start, first - reinterpret_cast<uintptr_t>(start));
      explicit_bzero(reinterpret_cast<char*>(last),
                     reinterpret_cast<uintptr_t>(start) + size - last);
      return;
    }
  }
  explicit_bzero(start, size);
}

void WipeAndRelease(void* block) {
  if (block == nullptr) return;
  WipeBlock(block);
  mi_free(block);
}

// mimalloc's own rule: a block that still fits and wastes at most half stays where it is.
void* Resize(void* block, size_t size) {
  if (block == nullptr) return mi_malloc(size);
  const size_t usable = mi_usable_size(block);
  if (size <= usable && size >= usable / 2) {
    explicit_bzero(static_cast<char*>(block) + size, usable - size);
    return block;
  }
  void* moved = mi_malloc(size);
  if (moved == nullptr) return nullptr;  // the old block stays the caller's
  memcpy(moved, block, size < usable ? size : usable);
  WipeAndRelease(block);
  return moved;
}

}  // namespace

extern "C" {

void free(void* block) noexcept { WipeAndRelease(block); }
void* realloc(void* block, size_t size) noexcept { return Resize(block, size); }
void* reallocarray(void* block, size_t count, size_t size) noexcept {
  size_t total = 0;
  if (__builtin_mul_overflow(count, size, &total)) {
    errno = ENOMEM;
    return nullptr;
  }
  return Resize(block, total);
}
void* reallocf(void* block, size_t size) noexcept {
  void* moved = Resize(block, size);
  if (moved == nullptr) WipeAndRelease(block);
  return moved;
}
// Older and internal names that mimalloc exports too and a few libraries call.
void cfree(void* block) noexcept { WipeAndRelease(block); }
void __libc_cfree(void* block) noexcept { WipeAndRelease(block); }
void __libc_free(void* block) noexcept { WipeAndRelease(block); }
void* __libc_realloc(void* block, size_t size) noexcept { return Resize(block, size); }

}  // extern "C"

void operator delete(void* block) noexcept { WipeAndRelease(block); }
void operator delete[](void* block) noexcept { WipeAndRelease(block); }
void operator delete(void* block, std::size_t) noexcept { WipeAndRelease(block); }
void operator delete[](void* block, std::size_t) noexcept { WipeAndRelease(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { WipeAndRelease(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { WipeAndRelease(block); }
void operator delete(void* block, std::align_val_t) noexcept { WipeAndRelease(block); }
void operator delete[](void* block, std::align_val_t) noexcept { WipeAndRelease(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { WipeAndRelease(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
  WipeAndRelease(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  WipeAndRelease(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  WipeAndRelease(block);
}
