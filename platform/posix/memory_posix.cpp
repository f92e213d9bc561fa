// glibc maps blocks from 128 KiB up (a threshold that it raises as such blocks are freed) and
// unmaps them when freed, and trims the heap's free top beyond 128 KiB. Linux gives a range
// transparent huge pages, where they are enabled for those who ask, once it is advised so.
#include "memory.h"

#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>

void keep_freed_blocks() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the largest it takes on 64-bit systems
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
}

void* allocate_block(size_t size) {
  constexpr size_t large_page = size_t{2} << 20;
  if (size < large_page) return std::malloc(size ? size : 1);
  void* block = nullptr;
  if (posix_memalign(&block, large_page, size) != 0) return nullptr;
  // Advice only: without it (or without huge pages) the block has small pages.
  madvise(block, size & ~(large_page - 1), MADV_HUGEPAGE);
  return block;
}
