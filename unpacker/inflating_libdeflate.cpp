// Inflating with libdeflate, which inflates a whole buffer of known size (a section) in about
// half of zlib's time.
#include "inflating.h"

#include <cstdlib>
#include <libdeflate.h>
#include <memory>

#include "memory.h"

namespace {

struct decompressor_release {
  void operator()(libdeflate_decompressor* decompressor) const {
    libdeflate_free_decompressor(decompressor);
  }
};

// A decompressor serves one thread at a time, so each thread keeps its own. nullptr when
// memory runs out (the next call tries again).
libdeflate_decompressor* thread_decompressor() {
  thread_local std::unique_ptr<libdeflate_decompressor, decompressor_release> decompressor;
  if (!decompressor) decompressor.reset(libdeflate_alloc_decompressor());
  return decompressor.get();
}

}  // namespace

unsigned char* inflate_to_buffer(const unsigned char* source, uint32_t source_length,
                                 uint32_t* length) {
  auto* block = static_cast<unsigned char*>(allocate_block(*length));
  libdeflate_decompressor* decompressor = thread_decompressor();
  // libdeflate stops at the stream's end and ignores what follows, as uncompress does; with
  // the produced size asked for, a stream that ends short succeeds and one that runs past
  // the room fails.
  size_t produced = 0;
  if (block && decompressor &&
      libdeflate_zlib_decompress_ex(decompressor, source, source_length, block, *length, nullptr,
                                    &produced) == LIBDEFLATE_SUCCESS) {
    *length = static_cast<uint32_t>(produced);
    return block;
  }
  std::free(block);
  *length = 0;
  return nullptr;
}
