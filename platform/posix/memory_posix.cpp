// glibc maps blocks from 128 KiB up (a threshold that it raises as such blocks are freed) and
// unmaps them when freed, and trims the heap's free top beyond 128 KiB. Linux gives a range
// transparent huge pages, where they are enabled for those who ask, once it is advised so.
#include "memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <sys/mman.h>

namespace {

constexpr size_t large_page = size_t{2} << 20;

bool g_large_pages = false;  // set once, before any thread starts

// Whether the kernel gives transparent huge pages to a range advised so ("always" or
// "madvise", not "never").
bool large_pages_on_request() {
  FILE* setting = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r");
  if (!setting) return false;
  char line[128] = {};
  bool given = std::fgets(line, sizeof line, setting) &&
               (std::strstr(line, "[always]") || std::strstr(line, "[madvise]"));
  std::fclose(setting);
  return given;
}

}  // namespace

void tune_block_allocation() {
  g_large_pages = large_pages_on_request();
  // On large pages a block of 2 MiB or more is mapped for itself and unmapped when freed, so
  // that no smaller block lands on its large pages later; the rest is kept for reuse.
  mallopt(M_MMAP_THRESHOLD, g_large_pages ? large_page : 32 << 20);  // 32 MiB: the most it takes
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
}

void* allocate_block(size_t size) {
  if (!g_large_pages || size < large_page) return std::malloc(size ? size : 1);
  // Aligned, the block's mapping keeps its bookkeeping on the page before the block, which
  // leaves every large page of the block untouched until the block is written.
  void* block = nullptr;
  if (posix_memalign(&block, large_page, size) != 0) return nullptr;
  madvise(block, size & ~(large_page - 1), MADV_HUGEPAGE);  // advice: small pages without it
  return block;
}
