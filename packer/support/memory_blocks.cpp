// Memory blocks from the local heap.
#include "memory_blocks.h"

#include "native_api.h"
#include "packer_errors.h"

void* mem_alloc(size_t bytes) {
  void* block = LocalAlloc(LMEM_FIXED, bytes);
  if (!block) throw memory_exception();
  return block;
}

void mem_resize(void*& block, size_t bytes) {
  void* resized = block ? LocalReAlloc(block, bytes, LMEM_MOVEABLE) : LocalAlloc(LMEM_FIXED, bytes);
  if (!resized) throw memory_exception();
  block = resized;
}

void mem_free(void* block) {
  if (block) LocalFree(block);
}
