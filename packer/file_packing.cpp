// File packing: sections compressed or raw, appended to the container.
#include "file_packing.h"

#include <cstring>
#include <zlib.h>

#include "container_format.h"
#include "disk_file.h"
#include "packer_errors.h"
#include "paths.h"
#include "safe_name.h"
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

// Appends the section of content under name (the file-name part of name_text).
void append_section(byte_buffer& container, const byte_buffer& content, const char* name_text,
                    const char* name, uint32_t time) {
  // A section of full_size 0 is invalid to every reader: it would spoil the container.
  if (content.size() == 0) throw text_exception("Cannot pack empty file %s", name_text);

  const unsigned char* data = content.data();
  uint32_t stored_size = content.size();
  byte_buffer stream;
  if (worth_compressing(content.data(), content.size())) {
    stream.set_size(compress_capacity(content.size()));
    int64_t length = compress_block(stream.data(), stream.size(), content.data(), content.size());
    if (length < 0) throw text_exception("Packing %s failed", name_text);
    if (length < content.size()) {
      data = stream.data();
      stored_size = static_cast<uint32_t>(length);
    }
  }

  size_t name_size = std::strlen(name) + 1;
  uint64_t section_size = section_header_size + name_size + stored_size;
  uint32_t start = container.size();
  if (start + section_size >= container_size_limit)
    throw text_exception("Container too large (2 GiB or more) to add %s", name_text);
  container.set_size(static_cast<uint32_t>(start + section_size));
  unsigned char* out = container.data() + start;
  encode_section_header(out, content.size(), time, stored_size);
  std::memcpy(out + section_header_size, name, name_size);
  std::memcpy(out + section_header_size + name_size, data, stored_size);
  encode_container_header(container.data(), section_count(container) + 1);
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

void pack_section(byte_buffer& container, section_names& names, const byte_buffer& content,
                  const char* name_text, uint32_t time) {
  char path[path_size];
  const char* name = stored_name(path, name_text);
  if (names.contains(name)) return;
  append_section(container, content, name_text, name, time);
  names.add(name);
}

void pack_section(byte_buffer& container, const byte_buffer& content, const char* name_text,
                  uint32_t time) {
  char path[path_size];
  const char* name = stored_name(path, name_text);
  if (has_section_named(container, name)) return;
  append_section(container, content, name_text, name, time);
}

void pack_file_entry(byte_buffer& container, section_names& names, const char* path,
                     const char* description_name) {
  byte_buffer content;
  content.load_file(path);
  char stored[path_size];
  if (!is_extractable_name(stored_name(stored, path), description_name))
    throw text_exception("Cannot pack %s: its name cannot be extracted safely", path);
  uint32_t time = static_cast<uint32_t>(get_file_time(path));
  pack_section(container, names, content, path, time);
}
