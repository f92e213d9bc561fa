// File packing: sections compressed or raw, appended to the container.
#include "file_packing.h"

#include <cstring>
#include <zlib.h>

#include "container_format.h"
#include "disk_file.h"
#include "packer_errors.h"
#include "paths.h"
#include "safe_name.h"
#include "section_names.h"
#include "string_helpers.h"

namespace {

// The name a section for name_text is stored under: the file-name part of name_text cut to
// 259 characters, which path receives.
const char* stored_name(char (&path)[path_size], const char* name_text) {
  copy_path(path, name_text);
  return file_name_part(path);
}

bool has_section_named(const byte_buffer& container, const char* name) {
  return section_named(container, name) != nullptr;
}

// Compresses content into stream when that is worth trying; stream keeps the zlib stream,
// exactly its length, only when it is shorter than the content.
compression compress_into(byte_buffer& stream, const byte_buffer& content) {
  if (!worth_compressing(content.data(), content.size())) return compression::raw;
  try {
    stream.set_size(compress_capacity(content.size()));
  } catch (const memory_exception&) {
    return compression::out_of_memory;
  }
  int64_t length = compress_block(stream.data(), stream.size(), content.data(), content.size());
  if (length < 0 || length >= content.size()) {
    stream.set_size(0);
    return length < 0 ? compression::failed : compression::raw;
  }
  stream.set_size(static_cast<uint32_t>(length));
  stream.shrink_to_fit();  // a stream may wait a while to be appended
  return compression::compressed;
}

// Appends the section of a content of full_size bytes under name (the file-name part of
// name_text): data is its zlib stream when result is compressed, else the content itself.
void append_section(byte_buffer& container, const char* name_text, const char* name,
                    uint32_t time, uint32_t full_size, compression result, const byte_buffer& data) {
  // A section of full_size 0 is invalid to every reader: it would spoil the container.
  if (full_size == 0) throw text_exception("Cannot pack empty file %s", name_text);
  if (result == compression::failed) throw text_exception("Packing %s failed", name_text);
  if (result == compression::out_of_memory) throw memory_exception();

  uint32_t stored_size = data.size();
  size_t name_size = std::strlen(name) + 1;
  uint64_t section_size = section_header_size + name_size + stored_size;
  uint32_t start = container.size();
  if (start + section_size >= container_size_limit)
    throw text_exception("Container too large (2 GiB or more) to add %s", name_text);
  container.set_size(static_cast<uint32_t>(start + section_size));
  unsigned char* out = container.data() + start;
  encode_section_header(out, full_size, time, stored_size);
  std::memcpy(out + section_header_size, name, name_size);
  std::memcpy(out + section_header_size + name_size, data.data(), stored_size);
  encode_container_header(container.data(), section_count(container) + 1);
}

// Appends the section of content, compressed here when that pays.
entry_outcome append_content(byte_buffer& container, const byte_buffer& content, const char* name_text,
                             const char* name, uint32_t time) {
  byte_buffer stream;
  compression result = compress_into(stream, content);
  bool compressed = result == compression::compressed;
  append_section(container, name_text, name, time, content.size(), result, compressed ? stream : content);
  return compressed ? entry_outcome::compressed : entry_outcome::stored;
}

}  // namespace

uint32_t section_count(const byte_buffer& container) {
  return decode_container_header(container.data()).section_count;
}

const unsigned char* section_after(const unsigned char* section) {
  const char* name = reinterpret_cast<const char*>(section + section_header_size);
  uint32_t stored_size = decode_section_header(section).stored_size;
  return section + section_header_size + std::strlen(name) + 1 + stored_size;
}

const char* section_named(const byte_buffer& container, const char* name) {
  const unsigned char* section = container.data() + container_header_size;
  for (uint32_t i = section_count(container); i > 0; --i, section = section_after(section)) {
    const char* stored = reinterpret_cast<const char*>(section + section_header_size);
    if (equal_ignoring_case(stored, name)) return stored;
  }
  return nullptr;
}

uint32_t compress_capacity(uint32_t length) {
  uint64_t capacity = static_cast<uint64_t>(length) + (length + 999ULL) / 1000 + 12;
  uint64_t zlib_bound = compressBound(length);
  if (capacity < zlib_bound) capacity = zlib_bound;
  return capacity > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(capacity);
}

int64_t compress_block(unsigned char* destination, uint32_t capacity, const unsigned char* source,
                       uint32_t length) {
  uLongf stream_length = capacity;
  if (compress(destination, &stream_length, source, length) != Z_OK) return -1;
  return static_cast<int64_t>(stream_length);
}

std::vector<bool> taken_names(const std::vector<std::string>& paths) {
  section_names names;
  std::vector<bool> taken;
  taken.reserve(paths.size());
  for (const std::string& path : paths) {
    char stored[path_size];
    const char* name = stored_name(stored, path.c_str());
    taken.push_back(names.contains(name));
    if (!taken.back()) names.add(name);
  }
  return taken;
}

void load_file_entry(loaded_file& file, const char* path, bool left_out, uint64_t latest_time) {
  file.content.load_file(path);
  file.full_size = file.content.size();
  file.time = static_cast<uint32_t>(get_file_time(path, latest_time, &file.time_clamped));
  if (left_out) {
    file.result = compression::raw;
    file.content.set_size(0);  // read only for its errors
    return;
  }
  file.result = compress_into(file.stream, file.content);
  if (file.result == compression::compressed) file.content.set_size(0);
}

entry_outcome append_file_entry(byte_buffer& container, const char* path, bool left_out,
                                 const loaded_file& file, const char* description_name) {
  char stored[path_size];
  const char* name = stored_name(stored, path);
  switch (stored_name_fault(name, description_name)) {
    case name_fault::unsafe:
      throw text_exception("Cannot pack %s: its name cannot be extracted safely", path);
    // The reason first: a message keeps 299 characters, and the path takes most of them.
    case name_fault::too_long:
      throw text_exception("Cannot pack a name of more than %u characters, which extraction would cut: %s",
                           static_cast<unsigned>(extracted_name_length), path);
    case name_fault::leading_blank:
      throw text_exception(
          "Cannot pack %s: its name begins with a blank, which its description line would lose", path);
    case name_fault::none: break;
  }
  if (left_out) return entry_outcome::left_out;
  bool compressed = file.result == compression::compressed;
  append_section(container, path, name, file.time, file.full_size, file.result,
                 compressed ? file.stream : file.content);
  return compressed ? entry_outcome::compressed : entry_outcome::stored;
}

entry_outcome pack_section(byte_buffer& container, const byte_buffer& content, const char* name_text,
                           uint32_t time) {
  char path[path_size];
  const char* name = stored_name(path, name_text);
  if (has_section_named(container, name)) return entry_outcome::left_out;
  return append_content(container, content, name_text, name, time);
}
