// Fuzz target: inflating a section to its declared size. The input is the declared size
// (4 bytes, little-endian) and the stored data. The result is a block of exactly that size
// holding the stream's content, or none; and it is none only when zlib's own streaming
// inflate does not find, at the start of the stored bytes, one whole stream of that size
// (the bytes after its end are spare and ignored).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <zlib.h>

#include "fuzz_check.h"
#include "byte_order.h"
#include "container_format.h"
#include "inflating.h"

namespace {

// The content when source begins with one whole zlib stream of full_size bytes.
bool reference_inflate(const uint8_t* source, uint32_t length, uint32_t full_size,
                       std::vector<unsigned char>& content) {
  content.assign(static_cast<size_t>(full_size) + 1, 0);  // room to see a stream run long
  z_stream stream = {};
  if (inflateInit(&stream) != Z_OK) return false;
  stream.next_in = const_cast<uint8_t*>(source);
  stream.avail_in = length;
  stream.next_out = content.data();
  stream.avail_out = static_cast<uInt>(content.size());
  int result = inflate(&stream, Z_FINISH);
  bool exact = result == Z_STREAM_END && stream.total_out == full_size;
  inflateEnd(&stream);
  content.resize(full_size);
  return exact;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  uint32_t full_size = load_u32(data);
  const uint8_t* source = data + 4;
  auto length = static_cast<uint32_t>(size - 4);

  unsigned char* block = inflate_exactly(source, length, full_size);
  if (full_size > max_inflate_ratio * length) {
    require(block == nullptr, "accepted a size no stream of this length reaches");
    return 0;
  }
  std::vector<unsigned char> expected;
  bool valid = reference_inflate(source, length, full_size, expected);
  require((block != nullptr) == valid, block ? "accepted an invalid stream" : "refused a valid stream");
  if (block) {
    // Reads every byte of the block: a shorter block is a heap overflow here.
    require(std::memcmp(block, expected.data(), full_size) == 0, "content differs from zlib's");
    std::free(block);
  }
  return 0;
}
