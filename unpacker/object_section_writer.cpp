// The object section rendered as description text.
#include "object_section_writer.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "bounded_read.h"
#include "decimal_text.h"
#include "description_writer.h"
#include "object_section.h"
#include "record_table.h"
#include "text_formatting.h"

namespace {

// One object line and its NUL; the longest line a record can give is far shorter.
constexpr int line_size = 255;

// A name from a table, or "{Unknown %d}" with the code when the table has none for it.
struct name_text {
  char text[24];
  name_text(const char* name, unsigned code) {
    if (name)
      std::snprintf(text, sizeof text, "%s", name);
    else
      std::snprintf(text, sizeof text, "{Unknown %d}", static_cast<int>(code));
  }
};

// Nothing for code 0, the upper-case letter for 1 to 11, "{Unknown %d}" for 12 to 15.
void append_reference(char* line, uint8_t reference) {
  if (reference >= screen_reference_count)
    append_formatted(line, "{Unknown %d}", reference);
  else if (reference != 0)
    append_formatted(line, "%c", screen_reference_letter(reference));
}

void append_coordinate_v2(char* line, int16_t field) {
  screen_coordinate c = decode_screen_coordinate_v2(field);
  append_reference(line, c.reference);
  append_formatted(line, "%d,", static_cast<int>(c.offset));
}

// Around the centre "C," "C+5000," "C-5000,"; elsewhere the plain number.
void append_coordinate_v1(char* line, int16_t field) {
  screen_coordinate c = decode_screen_coordinate_v1(field);
  if (c.reference == 0)
    append_formatted(line, "%d,", static_cast<int>(c.offset));
  else if (c.offset == 0)
    append_formatted(line, "C,");
  else if (c.offset > 0)
    append_formatted(line, "C+%d,", static_cast<int>(c.offset));
  else
    append_formatted(line, "C-%d,", static_cast<int>(-c.offset));
}

// The description line of one record, line end included.
void render_object_line(char* line, const object_record& r, object_version version) {
  name_text layer(display_layer_name(r.layer), r.layer);
  name_text mode(display_mode_name(r.mode), r.mode);
  int time = description_display_time(r.display_time);
  line[0] = '\0';
  if (r.is_map) {
    append_formatted(line, "%d,%d,", r.x, r.y);
  } else if (version == object_version::v2) {
    append_coordinate_v2(line, r.x);
    append_coordinate_v2(line, r.y);
  } else {
    append_coordinate_v1(line, r.x);
    append_coordinate_v1(line, r.y);
  }
  append_formatted(line, "IMAGE%d,%s,%s,%d,%d\n", r.image_index, layer.text, mode.text, time,
                   r.object_id);
}

// The message names the size of one line, which is what the tables once held.
unpack_status no_memory_for_lines() {
  return fail<unpack_message::out_of_memory>(static_cast<unsigned>(line_size));
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

// The [objectimages] section; the image lines before a failure stay written.
unpack_status write_images(FILE* out, content_cursor& cursor, uint32_t image_count) {
  write_text(out, "[objectimages]\n");
  for (uint32_t i = 0; i < image_count; ++i) {
    unsigned char head_bytes[image_entry_head_size];
    const char* name = nullptr;
    if (!cursor.read(head_bytes, sizeof head_bytes) || !(name = cursor.read_text()))
      return fail<unpack_message::image_missing>(static_cast<int>(i));
    image_entry_head head = decode_image_entry_head(head_bytes);
    write_text(out, "IMAGE%d=%s,%d,%d,%d\n", static_cast<int>(i), name, head.x_frames, head.y_frames,
               head.animation_time);
    if (!has_default_animation(head)) {
      double loop = loop_time_seconds(head.animation_time);
      double frame = frame_time_seconds(loop, head.x_frames, head.y_frames);
      write_text(out, "; Total loop time: %s seconds     Frame time: %s seconds\n",
                 fixed_decimal(loop, 3).c_str(), fixed_decimal(frame, 3).c_str());
    }
  }
  write_text(out, "\n");
  return unpack_status::success;
}

// A section of the lines of the records in table, in the order they were added; nothing
// when it is empty.
void write_lines(FILE* out, const char* section_header, record_table& table, object_version version) {
  if (table.count_used() <= 0) return;
  write_text(out, "%s", section_header);
  unsigned char record_bytes[object_record_size];
  char line[line_size];
  while (table.take_first(record_bytes) != 0) {
    render_object_line(line, decode_object_record(record_bytes), version);
    write_text(out, "%s", line);
  }
  write_text(out, "\n");
}

}  // namespace

unpack_status write_object_section(FILE* out, const unsigned char* content, uint32_t length,
                                   uint32_t full_size, uint32_t stored_size) {
  write_text(out, "\n; Object Information Compression Info:\n");
  write_text(out, "; FullSize: %7d  Compressed Size: %7d  Compression Percent: %s%%\n\n",
             static_cast<int>(full_size), static_cast<int>(stored_size),
             fixed_decimal(compression_percent(full_size, stored_size), 1, 5).c_str());

  content_cursor cursor(content, length);
  unsigned char header_bytes[object_section_header_size];
  if (!cursor.read(header_bytes, sizeof header_bytes))
    return fail<unpack_message::object_header_short>();
  object_section_header header = decode_object_section_header(header_bytes);
  object_version version = object_version_of(header.magic);
  if (version == object_version::unknown) return fail<unpack_message::object_header_invalid>();

  // The tables keep each record's 10 bytes, not its line: a section of a million records
  // costs tens of bytes each, and the lines are rendered as they are written.
  record_table map_lines, screen_lines;  // released on every way out
  if (map_lines.init(object_record_size) != 0 || screen_lines.init(object_record_size) != 0)
    return no_memory_for_lines();
  for (uint32_t k = 0; k < header.object_count; ++k) {
    unsigned char record_bytes[object_record_size];
    if (!cursor.read(record_bytes, sizeof record_bytes))
      return fail<unpack_message::object_missing>(static_cast<int>(k));
    bool is_map = decode_object_record(record_bytes).is_map;
    if ((is_map ? map_lines : screen_lines).add(record_bytes) != 0) return no_memory_for_lines();
  }

  if (header.image_count != 0) {
    unpack_status status = write_images(out, cursor, header.image_count);
    if (status != unpack_status::success) return status;
  }
  write_lines(out, "[mapobjects]\n", map_lines, version);
  write_lines(out, "[screenobjects]\n", screen_lines, version);
  map_lines.clear();
  screen_lines.clear();
  return unpack_status::success;
}

double loop_time_seconds(uint16_t animation_time) {
  return animation_time * static_cast<double>(0.01f);
}

double frame_time_seconds(double loop_time, uint16_t x_frames, uint16_t y_frames) {
  return quotient(quotient(loop_time, x_frames), y_frames);
}
