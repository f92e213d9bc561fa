// Fuzz target: the object-section renderer alone on any content. It may end only with 0 or
// the object section's own statuses (12, 13, 14), and its work is bounded by its input: the
// text it writes is at most a fixed multiple of the content's length.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "object_section_writer.h"

namespace {

// The longest text one input byte can give: a 10-byte record becomes a line of at most 90
// characters, a 7-byte image entry two lines of at most 110; plus the fixed report lines.
constexpr size_t text_per_byte = 32;
constexpr size_t fixed_text = 4096;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silence_stdout();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char* text = nullptr;
  size_t text_size = 0;
  FILE* out = open_memstream(&text, &text_size);
  if (!out) return 0;
  auto length = static_cast<uint32_t>(size);
  unpack_status status = write_object_section(out, data, length, length, length);
  std::fclose(out);
  std::free(text);
  require(status == unpack_status::success || status == unpack_status::description_not_written ||
              status == unpack_status::objects_invalid || status == unpack_status::image_entry_invalid,
          "status outside 0, 12, 13, 14: " + std::to_string(static_cast<int>(status)));
  require(text_size <= fixed_text + text_per_byte * size,
          "wrote " + std::to_string(text_size) + " bytes for " + std::to_string(size));
  return 0;
}
