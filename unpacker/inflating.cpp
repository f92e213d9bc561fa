// Inflating a compressed section's stored bytes with zlib.
#include "inflating.h"

#include <cstdlib>
#include <zlib.h>

#include "container_format.h"

unsigned char* inflate_to_buffer(const unsigned char* source, uint32_t source_length,
                                 uint32_t* length) {
  // malloc(0) may give nullptr; one byte more keeps the block real without changing the limit.
  auto* block = static_cast<unsigned char*>(std::malloc(*length ? *length : 1));
  uLongf produced = *length;
  if (block && uncompress(block, &produced, source, source_length) == Z_OK) {
    *length = static_cast<uint32_t>(produced);
    return block;
  }
  std::free(block);
  *length = 0;
  return nullptr;
}

unsigned char* inflate_exactly(const unsigned char* source, uint32_t source_length,
                               uint32_t full_size) {
  if (full_size > max_inflate_ratio * source_length) return nullptr;
  uint32_t length = full_size;
  unsigned char* block = inflate_to_buffer(source, source_length, &length);
  if (block && length == full_size) return block;
  std::free(block);
  return nullptr;
}
