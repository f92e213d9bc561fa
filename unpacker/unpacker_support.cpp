// The unpacker's small helpers: inflating, bounded reads, paths in the output directory,
// text formatting and the exit report.
#include "unpacker_support.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string>
#include <zlib.h>

#include "container_format.h"
#include "paths.h"
#include "safe_name.h"
#include "system.h"

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

int read_from_buffer(void* destination, const unsigned char* block, int* offset, int count,
                     int total) {
  if (count < 0 || *offset < 0 || static_cast<int64_t>(*offset) + count > total) return 0;
  std::memcpy(destination, block + *offset, static_cast<size_t>(count));
  *offset += count;
  return 1;
}

namespace {

// The directory part of path: everything up to and including its last separator.
std::string directory_part(const char* path) {
  const char* sep = last_separator(path);
  return sep ? std::string(path, static_cast<size_t>(sep - path + 1)) : std::string();
}

char* copy_to_heap(const std::string& text) {
  auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

std::string joined(const char* directory, const char* name) {
  return std::string(directory) + "\\" + name;
}

}  // namespace

char* output_directory_path(int argc, char** argv, const char* input_name) {
  // The extension comes off the file name only: a dot in a directory's name stays.
  std::string name = without_extension(file_name_of(input_name));
  if (argc >= 2) return copy_to_heap(directory_part(argv[1]) + name);
  return copy_to_heap(directory_part(argc >= 1 ? argv[0] : "") + directory_part(input_name) + name);
}

FILE* open_in_dir(const char* name, const char* directory) {
  return create_output_stream(joined(directory, name).c_str());
}

int append_formatted(char* destination, const char* format, ...) {
  char scratch[5000];
  va_list args;
  va_start(args, format);
  std::vsnprintf(scratch, sizeof scratch, format, args);
  va_end(args);
  size_t length = std::strlen(destination);
  size_t piece = std::strlen(scratch);
  std::memcpy(destination + length, scratch, piece + 1);
  return static_cast<int>(length + piece);
}

int format_thousands(int32_t value, char* destination) {
  char* out = destination;
  uint32_t magnitude = static_cast<uint32_t>(value);
  if (value < 0) {
    *out++ = '-';
    magnitude = 0u - magnitude;  // well defined for the most negative value too
  }
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  int first_group = count % 3 == 0 ? 3 : count % 3;
  for (int i = 0; i < count; ++i) {
    if (i >= first_group && (i - first_group) % 3 == 0) *out++ = ',';
    *out++ = digits[count - 1 - i];
  }
  *out = '\0';
  return static_cast<int>(out - destination);
}

void report_exit_and_wait(const char* source_file, int line) {
  std::printf("Exiting from file %s, line %d\n", source_file, line);
  std::printf(" -- < PRESS ANY KEY TO EXIT > -- \n");
  std::fflush(stdout);
  if (!stdin_is_console()) return;  // scripts and CI never wait
  wait_for_key_press();
}
