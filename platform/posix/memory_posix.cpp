// glibc maps blocks from 128 KiB up (a threshold that it raises as such blocks are freed) and
// unmaps them when freed, and trims the heap's free top beyond 128 KiB.
#include "memory.h"

#include <malloc.h>

void keep_freed_blocks() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the largest it takes on 64-bit systems
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
}
