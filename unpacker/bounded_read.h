// Reads of fixed-size pieces out of a block that never run past its end.
#pragma once

#include <cstdint>
#include <cstring>

// Copies count bytes from block + *offset to destination and advances *offset: 1. Returns 0,
// copying nothing, when offset + count would pass total.
inline int read_from_buffer(void* destination, const unsigned char* block, int* offset, int count,
                            int total) {
  if (count < 0 || *offset < 0 || static_cast<int64_t>(*offset) + count > total) return 0;
  std::memcpy(destination, block + *offset, static_cast<size_t>(count));
  *offset += count;
  return 1;
}
