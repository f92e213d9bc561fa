// Reading an object section's content.
#include "object_section_reader.h"

#include <climits>
#include <cstring>

#include "bounded_read.h"
#include "record_table.h"
#include "safe_name.h"

namespace {

// The message names the size of one description line, which is what the tables once held.
unpack_status no_memory_for_records() {
  constexpr unsigned line_size = 255;
  return fail<unpack_message::out_of_memory>(line_size);
}

// A cursor over the content; every read is checked against its end.
struct content_cursor {
  const unsigned char* content;
  int total;  // an int cursor: content past 2 GiB counts as missing
  int offset = 0;

  content_cursor(const unsigned char* bytes, uint32_t length)
      : content(bytes), total(length > INT_MAX ? INT_MAX : static_cast<int>(length)) {}

  bool read(unsigned char* destination, size_t count) {
    return read_from_buffer(destination, content, &offset, static_cast<int>(count), total) == 1;
  }

  // The NUL-terminated text at the cursor, moving past its NUL; nullptr, not moving, when
  // no NUL comes before the end.
  const char* read_text() {
    const char* text = reinterpret_cast<const char*>(content + offset);
    const void* nul = std::memchr(text, '\0', static_cast<size_t>(total - offset));
    if (!nul) return nullptr;
    offset += static_cast<int>(static_cast<const char*>(nul) - text) + 1;
    return text;
  }
};

void hand_over(record_table& records, object_section_visitor& visitor) {
  unsigned char record_bytes[object_record_size];
  while (records.take_first(record_bytes) != 0) visitor.object(decode_object_record(record_bytes));
}

}  // namespace

unpack_status read_object_section(const unsigned char* content, uint32_t length,
                                  object_section_visitor& visitor) {
  content_cursor cursor(content, length);
  unsigned char header_bytes[object_section_header_size];
  if (!cursor.read(header_bytes, sizeof header_bytes))
    return fail<unpack_message::object_header_short>();
  object_section_header header = decode_object_section_header(header_bytes);
  object_section_counts counts;
  counts.version = object_version_of(header.magic);
  if (counts.version == object_version::unknown) return fail<unpack_message::object_header_invalid>();

  // The tables keep each record's 10 bytes, not its line: a section of a million records
  // costs tens of bytes each, and the lines are rendered as they are handed over.
  record_table map_records, screen_records;  // released on every way out
  if (map_records.init(object_record_size) != 0 || screen_records.init(object_record_size) != 0)
    return no_memory_for_records();
  for (uint32_t k = 0; k < header.object_count; ++k) {
    unsigned char record_bytes[object_record_size];
    if (!cursor.read(record_bytes, sizeof record_bytes))
      return fail<unpack_message::object_missing>(static_cast<int>(k));
    bool is_map = decode_object_record(record_bytes).is_map;
    if ((is_map ? map_records : screen_records).add(record_bytes) != 0) return no_memory_for_records();
    ++(is_map ? counts.map_objects : counts.screen_objects);
  }
  counts.images = header.image_count;
  visitor.counts(counts);

  for (uint32_t i = 0; i < header.image_count; ++i) {
    unsigned char head_bytes[image_entry_head_size];
    const char* name = nullptr;
    if (!cursor.read(head_bytes, sizeof head_bytes) || !(name = cursor.read_text()))
      return fail<unpack_message::image_missing>(static_cast<int>(i));
    image_entry_head head = decode_image_entry_head(head_bytes);
    image_name_fault fault = image_name_fault_of(name, head);
    if (fault != image_name_fault::none)
      return fail<unpack_message::image_not_describable>(static_cast<int>(i), image_name_fault_text(fault));
    visitor.image(i, head, name);
  }
  hand_over(map_records, visitor);
  hand_over(screen_records, visitor);
  return unpack_status::success;
}
