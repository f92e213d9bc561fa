// The object section rendered as description text.
#include "object_section_writer.h"

#include <cstdio>

#include "decimal_text.h"
#include "description_writer.h"
#include "object_section.h"
#include "safe_name.h"
#include "text_formatting.h"

namespace {

// A name from a table, or "{Unknown %d}" with the code when the table has none for it.
void name_text(char (&text)[24], const char* name, unsigned code) {
  if (name)
    std::snprintf(text, sizeof text, "%s", name);
  else
    std::snprintf(text, sizeof text, "{Unknown %d}", static_cast<int>(code));
}

// Nothing for code 0, the upper-case letter for 1 to 11, "{Unknown %d}" for 12 to 15.
void append_reference(char* text, uint8_t reference) {
  if (reference >= screen_reference_count)
    append_formatted(text, "{Unknown %d}", reference);
  else if (reference != 0)
    append_formatted(text, "%c", screen_reference_letter(reference));
}

void coordinate_v2(char* text, int16_t field) {
  screen_coordinate c = decode_screen_coordinate_v2(field);
  append_reference(text, c.reference);
  append_formatted(text, "%d", static_cast<int>(c.offset));
}

// Around the centre "C", "C+5000", "C-5000"; elsewhere the plain number.
void coordinate_v1(char* text, int16_t field) {
  screen_coordinate c = decode_screen_coordinate_v1(field);
  if (c.reference == 0)
    append_formatted(text, "%d", static_cast<int>(c.offset));
  else if (c.offset == 0)
    append_formatted(text, "C");
  else if (c.offset > 0)
    append_formatted(text, "C+%d", static_cast<int>(c.offset));
  else
    append_formatted(text, "C-%d", static_cast<int>(-c.offset));
}

void coordinate(char* text, int16_t field, bool is_map, object_version version) {
  text[0] = '\0';
  if (is_map)
    append_formatted(text, "%d", field);
  else if (version == object_version::v2)
    coordinate_v2(text, field);
  else
    coordinate_v1(text, field);
}

// The description's text of the object section's parts, as read_object_section hands them
// over: [objectimages], then [mapobjects] and [screenobjects], each with its blank line.
class description_text : public object_section_visitor {
 public:
  explicit description_text(FILE* out) : out_(out) {}

  void counts(const object_section_counts& counts) override {
    counts_ = counts;
    if (counts.images != 0) write_text(out_, "[objectimages]\n");
  }

  void image(uint32_t index, const image_entry_head& head, const char* file_name) override {
    write_text(out_, "IMAGE%d=%s\n", static_cast<int>(index), image_value(file_name, head).c_str());
    if (!has_default_animation(head)) {
      double loop = loop_time_seconds(head.animation_time);
      double frame = frame_time_seconds(loop, head.x_frames, head.y_frames);
      write_text(out_, "; Total loop time: %s seconds     Frame time: %s seconds\n",
                 fixed_decimal(loop, 3).c_str(), fixed_decimal(frame, 3).c_str());
    }
    if (index + 1 == counts_.images) write_text(out_, "\n");
  }

  void object(const object_record& record) override {
    uint32_t& written = record.is_map ? map_written_ : screen_written_;
    if (written == 0) write_text(out_, record.is_map ? "[mapobjects]\n" : "[screenobjects]\n");
    object_text t = describe_object(record, counts_.version);
    write_text(out_, "%s,%s,%s,%s,%s,%d,%d\n", t.x, t.y, t.image, t.layer, t.mode, t.display_time,
               t.object_number);
    if (++written == (record.is_map ? counts_.map_objects : counts_.screen_objects)) write_text(out_, "\n");
  }

  const object_section_counts& section_counts() const { return counts_; }

 private:
  FILE* out_;
  object_section_counts counts_;
  uint32_t map_written_ = 0, screen_written_ = 0;
};

}  // namespace

object_text describe_object(const object_record& record, object_version version) {
  object_text t;
  coordinate(t.x, record.x, record.is_map, version);
  coordinate(t.y, record.y, record.is_map, version);
  std::snprintf(t.image, sizeof t.image, "IMAGE%d", record.image_index);
  name_text(t.layer, display_layer_name(record.layer), record.layer);
  name_text(t.mode, display_mode_name(record.mode), record.mode);
  t.display_time = description_display_time(record.display_time);
  t.object_number = record.object_id;
  return t;
}

unpack_status write_object_section(FILE* out, const unsigned char* content, uint32_t length,
                                   uint32_t full_size, uint32_t stored_size,
                                   object_section_counts* counts) {
  write_text(out, "\n; Object Information Compression Info:\n");
  write_text(out, "; FullSize: %7d  Compressed Size: %7d  Compression Percent: %s%%\n\n",
             static_cast<int>(full_size), static_cast<int>(stored_size),
             percent_text(full_size, stored_size, 5).c_str());

  description_text text(out);
  unpack_status status = read_object_section(content, length, text);
  if (status == unpack_status::success && counts) *counts = text.section_counts();
  return status;
}

double loop_time_seconds(uint16_t animation_time) {
  return animation_time * static_cast<double>(0.01f);
}

double frame_time_seconds(double loop_time, uint16_t x_frames, uint16_t y_frames) {
  return quotient(quotient(loop_time, x_frames), y_frames);
}
