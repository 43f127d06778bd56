// The process's free and realloc: every block is wiped over its usable size before it goes
// back to mimalloc, so that no library (the JSON reader, GTK, the clipboard, Pango) leaves a
// password behind in freed memory. Defined in the program itself, these are the ones the
// dynamic linker binds for every library; malloc stays mimalloc's.
#include <mimalloc.h>
#include <string.h>

#include <cerrno>
#include <cstddef>
#include <new>

namespace {

void WipeBlock(void* block) { explicit_bzero(block, mi_usable_size(block)); }

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
