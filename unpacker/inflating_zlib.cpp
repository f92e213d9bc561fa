// Inflating with zlib's one-call uncompress.
#include "inflating.h"

#include <cstdlib>
#include <zlib.h>

#include "memory.h"

unsigned char* inflate_to_buffer(const unsigned char* source, uint32_t source_length,
                                 uint32_t* length) {
  auto* block = static_cast<unsigned char*>(allocate_block(*length));
  // uncompress takes a room of 0 bytes as "check the stream only" and then accepts a stream of
  // one byte; a room of that one byte lets such a stream show its content and be refused.
  uLongf produced = *length ? *length : 1;
  if (block && uncompress(block, &produced, source, source_length) == Z_OK && produced <= *length) {
    *length = static_cast<uint32_t>(produced);
    return block;
  }
  std::free(block);
  *length = 0;
  return nullptr;
}
