// A section's content from its stored bytes, whichever library inflates them.
#include "inflating.h"

#include <cstdlib>

#include "container_format.h"

unsigned char* inflate_exactly(const unsigned char* source, uint32_t source_length,
                               uint32_t full_size) {
  if (full_size > max_inflate_ratio * source_length) return nullptr;
  uint32_t length = full_size;
  unsigned char* block = inflate_to_buffer(source, source_length, &length);
  if (block && length == full_size) return block;
  std::free(block);
  return nullptr;
}
