// Fuzz target: the description reader and the object compiler, as tarnpack runs them on a
// description. Beyond surviving any text: every object section the compiler builds must
// render without failure through tarnsplit's description writer, and the rendered text
// must compile again to the same block (the round trip of a container through tarnsplit
// and back through tarnpack): the compiler refuses an image name that no description line
// carries back, so every block comes back but the empty one. A check (tarnpack --check)
// observing the same run must see the same block or failure.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "byte_buffer.h"
#include "check_report.h"
#include "container_format.h"
#include "fuzz_check.h"
#include "inflating.h"
#include "ini_file.h"
#include "object_compiler.h"
#include "object_section_writer.h"
#include "packer_errors.h"

namespace {

// "CLV2", no objects, no images.
const std::string empty_block("CLV2\0\0\0\0\0\0\0\0", 12);

// The reader takes its text from a file: one scratch file, rewritten for every input.
char g_path[] = "/tmp/tarn-description-fuzz-XXXXXX";
int g_file = -1;

void write_scratch(const void* data, size_t size) {
  require(ftruncate(g_file, 0) == 0 && pwrite(g_file, data, size, 0) == static_cast<ssize_t>(size),
          "cannot write the scratch file");
}

// The head as the driver reads it: OutFile, then every File and every ExtractFile, with
// observer told as the driver tells it.
void read_head(ini_file& description, size_t text_size, packing_observer& observer) {
  char value[260];
  bool cut = false;
  observer.description_loaded(description);
  if (description.get_value(value, sizeof value, "OutFile", true, &cut))
    observer.value_read("OutFile", value, cut, sizeof value - 1);
  for (const char* name : {"File", "ExtractFile"}) {
    size_t count = 0;
    while (description.get_value(value, sizeof value, name, true, &cut)) {
      require(std::strlen(value) < sizeof value, "a value overran its buffer");
      require(++count <= text_size, "more values than the text has bytes");
      observer.value_read(name, value, cut, sizeof value - 1);
    }
  }
  observer.head_read(description);
}

// The object block that compile_objects appends to an empty container; false when it
// appends none.
bool compile_block(ini_file& description, std::string& block, packing_observer& observer = unobserved()) {
  byte_buffer container;
  container.set_size(container_header_size);
  encode_container_header(container.data(), 0);
  compile_objects(container, description, observer);
  if (decode_container_header(container.data()).section_count == 0) return false;
  observer.container_built("zone.lvz", container);
  require(container.size() >= container_header_size + section_header_size + 1, "a section cut short");
  section_header header = decode_section_header(container.data() + container_header_size);
  const unsigned char* data = container.data() + container_header_size + section_header_size + 1;
  if (is_raw_section(header)) {
    block.assign(reinterpret_cast<const char*>(data), header.full_size);
    return true;
  }
  unsigned char* content = inflate_exactly(data, header.stored_size, header.full_size);
  require(content != nullptr, "the compiler's section does not inflate");
  block.assign(reinterpret_cast<char*>(content), header.full_size);
  std::free(content);
  return true;
}

std::string rendered(const std::string& block) {
  char* text = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&text, &size);
  require(out != nullptr, "no memory stream");
  auto length = static_cast<uint32_t>(block.size());
  unpack_status status =
      write_object_section(out, reinterpret_cast<const unsigned char*>(block.data()), length, length, length);
  std::fclose(out);
  std::string result(text, size);
  std::free(text);
  require(status == unpack_status::success,
          "a block the compiler built fails to render: status " + std::to_string(static_cast<int>(status)));
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silence_stdout();
  g_file = mkstemp(g_path);
  if (g_file < 0) std::abort();
  std::atexit([] { unlink(g_path); });
  return 0;
}

// Reads the scratch description as the packer does, with observer told: the object block
// into block (false when there is none), or the failure's text into error.
bool compile_description(size_t size, std::string& block, std::string& error, packing_observer& observer) {
  try {
    ini_file description(g_path);
    read_head(description, size, observer);
    return compile_block(description, block, observer);
  } catch (const base_exception& failure) {
    char message[512];
    failure.get_text(message, sizeof message);
    error = message;
    return false;
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  write_scratch(data, size);
  std::string block, error;
  bool compiled = compile_description(size, block, error, unobserved());
  check_report check;
  std::string checked_block, checked_error;
  bool checked = compile_description(size, checked_block, checked_error, check);
  require(checked == compiled && checked_block == block && checked_error == error,
          "a check sees another block or failure than packing");
  check.report();
  check.warnings();
  if (!compiled) return 0;  // no object section, or a description the packer refuses

  std::string text = rendered(block);
  write_scratch(text.data(), text.size());
  std::string again;
  try {
    ini_file description(g_path);
    if (!compile_block(description, again)) {
      // The one block that does not come back: without images and objects the writer
      // writes no [objectimages] header, and without one the compiler builds no section.
      require(block == empty_block, "the rendered description has no object section");
      return 0;
    }
  } catch (const base_exception& error) {
    char message[512];
    error.get_text(message, sizeof message);
    require(false, std::string("the rendered description does not compile: ") + message);
  }
  require(again == block, "the rendered description compiles to another block");
  return 0;
}
