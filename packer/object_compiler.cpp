// The object-definition compiler: description lines checked and turned into the bytes of
// the object section.
#include "object_compiler.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "file_packing.h"
#include "object_section.h"
#include "packer_errors.h"
#include "paths.h"
#include "safe_name.h"
#include "string_helpers.h"

namespace {

constexpr size_t line_size = 256;   // a description line: at most 255 characters
constexpr size_t field_size = 64;   // an object field or a number field: at most 63

// An object line's fields, in the order the line gives them.
enum object_field { field_x, field_y, field_image, field_layer, field_mode, field_time, field_number,
                    object_field_count };

// An object names its image "IMAGE" (any case) and the image's number.
constexpr char image_prefix[] = "image";
constexpr size_t image_prefix_length = sizeof image_prefix - 1;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The number at the start of text by atoi's rules: white space, an optional sign, then the
// digits up to the first other character; 0 when there are none. A number beyond the
// 32-bit range gives the nearer end of the range, as the Windows C library's atoi does.
int32_t decimal_value(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  int64_t value = 0;
  for (; is_digit(*text); ++text) {
    value = value * 10 + (*text - '0');
    if (value > limit) value = limit;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

// The low 16 bits of a number, as the 16-bit fields keep it.
uint16_t low_16_bits(int32_t number) { return static_cast<uint16_t>(static_cast<uint32_t>(number)); }

// The images of [objectimages]: their entries in order of their numbers, and the position
// each number took in that order.
struct image_table {
  int32_t position[max_image_count];  // -1 while the number is not defined
  byte_buffer entries;
  uint32_t count = 0;
};

// Field index of an image line's value as a 16-bit number; fallback in place of 0, which
// is also what an empty or non-numeric field gives.
uint16_t frame_field(const char* value, int index, uint16_t fallback) {
  char field[field_size];
  get_field(field, sizeof field, value, ',', index);
  uint16_t number = low_16_bits(decimal_value(field));
  return number != 0 ? number : fallback;
}

// Appends the image_entry of image number's value "file, x frames, y frames, loop time":
// the numbers with their defaults, then the file's name without its directory. Throws
// text_exception for a name that tarnsplit could not write back into a description.
void append_image_entry(byte_buffer& entries, const char* value, uint32_t number) {
  char file[path_size];
  get_field(file, sizeof file, value, ',', 0);
  image_entry_head head = {frame_field(value, 1, default_x_frames), frame_field(value, 2, default_y_frames),
                           frame_field(value, 3, default_animation_time)};
  unsigned char head_bytes[image_entry_head_size];
  encode_image_entry_head(head_bytes, head);
  entries.append(head_bytes, sizeof head_bytes);
  const char* name = file_name_part(file);
  image_name_fault fault = image_name_fault_of(name, head);
  if (fault != image_name_fault::none)
    throw text_exception("Cannot pack IMAGE%u: its file name %s", static_cast<unsigned>(number),
                         image_name_fault_text(fault));
  entries.append(name, std::strlen(name) + 1);
}

// An [objectimages] line as an image definition.
struct image_line {
  const char* value = nullptr;  // in the loaded text; nullptr when the line defines no image
  unsigned number = 0;
  image_line_fault fault = image_line_fault::not_image;  // why it defines none
};

// Reads line (in the loaded text) as "IMAGEn = value", n from 0 to 255 in decimal without
// leading zeros: the line that packing takes for image n. That an earlier line defines n is
// for the caller to tell.
image_line read_image_line(const char* line) {
  image_line read;
  for (size_t i = 0; i < image_prefix_length; ++i)
    if (ascii_lower(line[i]) != image_prefix[i]) return read;  // stops at the line's end
  const char* digits = line + image_prefix_length;
  const char* end = digits;
  while (is_digit(*end)) ++end;
  const char* equals = skip_blanks(end);
  if (end == digits || *equals != '=') return read;
  size_t count = static_cast<size_t>(end - digits);
  read.number = count > 3 ? max_image_count : static_cast<unsigned>(decimal_value(digits));
  if (count > 1 && digits[0] == '0') {
    read.fault = image_line_fault::leading_zero;
  } else if (read.number >= max_image_count) {
    read.fault = image_line_fault::above_255;
  } else {
    read.value = skip_blanks(equals + 1);
  }
  return read;
}

// Whether cutting an image's value (at value, in the loaded text) to what a line buffer
// holds (kept) changes its file field: the cut falls within that field, before its comma.
bool cut_changes_file(const char* value, const char* kept) {
  if (std::strchr(kept, ',')) return false;
  return *skip_blanks(value + (line_size - 1)) != ',';
}

// An [objectimages] line that defines no image, and why.
struct ignored_line {
  const char* line;  // in the loaded text
  image_line_fault fault;
  unsigned number;
};

// Reads the lines of the selected section, [objectimages], in one pass, and appends the
// images' entries in the order of their numbers, so that the images take their positions in
// that order whatever the order of their lines; of two lines for a number the first counts.
// observer is told of each image, and then of each line that defines none.
void read_images(ini_file& description, image_table& images, packing_observer& observer) {
  const char* values[max_image_count] = {};
  std::vector<ignored_line> ignored;
  while (const char* line = description.take_line()) {
    image_line read = read_image_line(line);
    if (read.value && values[read.number]) {
      read.value = nullptr;
      read.fault = image_line_fault::repeated;
    }
    if (read.value)
      values[read.number] = read.value;
    else
      ignored.push_back({line, read.fault, read.number});
  }
  for (uint32_t n = 0; n < max_image_count; ++n) {
    images.position[n] = -1;
    if (!values[n]) continue;
    char value[line_size];
    bool cut = copy_line(value, sizeof value, values[n]);
    // Cut, the path would name another file.
    if (cut && cut_changes_file(values[n], value))
      throw text_exception("Cannot pack IMAGE%u: its path is too long (a value is read to %u characters)",
                           static_cast<unsigned>(n), static_cast<unsigned>(line_size - 1));
    uint32_t entry = images.entries.size();
    append_image_entry(images.entries, value, n);
    images.position[n] = static_cast<int32_t>(images.count++);
    char name[16];
    std::snprintf(name, sizeof name, "IMAGE%u", static_cast<unsigned>(n));
    observer.value_read(name, value, cut, line_size - 1);
    const unsigned char* stored_name = images.entries.data() + entry + image_entry_head_size;
    observer.image_defined(n, reinterpret_cast<const char*>(stored_name));
  }
  for (const ignored_line& line : ignored) {
    char text[line_size];
    copy_line(text, sizeof text, line.line);
    observer.image_line_ignored(text, line.fault, line.number);
  }
}

// Takes a leading reference letter off a coordinate field and returns its code; 0 when the
// field begins with none.
uint8_t take_reference(char* field) {
  int code = field[0] ? screen_reference_code(field[0]) : -1;
  if (code < 0) return 0;
  std::memmove(field, field + 1, std::strlen(field));  // the terminator moves too
  return static_cast<uint8_t>(code);
}

bool begins_number(const char* field) { return is_digit(field[0]) || field[0] == '-'; }

// True when field begins with "IMAGE" in any case and a digit.
bool names_image(const char* field) {
  for (size_t i = 0; i < image_prefix_length; ++i)
    if (ascii_lower(field[i]) != image_prefix[i]) return false;  // stops at the terminator
  return is_digit(field[image_prefix_length]);
}

int16_t coordinate(const char* field, uint8_t reference, bool is_map) {
  int32_t number = decimal_value(field);
  return is_map ? map_coordinate(number) : encode_screen_coordinate(number, reference);
}

// Tells observer of each number of an object line that its record keeps otherwise than the
// line says, and of a mode that gives way to ShowAlways.
void note_changes(packing_observer& observer, const char* line,
                  const char (&fields)[object_field_count][field_size],
                  bool is_map, const unsigned char (&record)[object_record_size]) {
  object_record stored = decode_object_record(record);
  const int16_t coordinates[] = {stored.x, stored.y};
  for (int axis : {field_x, field_y}) {
    int32_t given = decimal_value(fields[axis]);
    int16_t field = coordinates[axis - field_x];
    int32_t kept = is_map ? field : decode_screen_coordinate_v2(field).offset;
    const char* range = is_map ? " (map coordinates keep 16 bits)" : " (screen offsets keep -2048 to 2047)";
    if (kept != given)
      observer.object_changed(line, std::string(axis == field_x ? "x " : "y ") + std::to_string(given) +
                                     " is stored as " + std::to_string(kept) + range);
  }
  const char* mode = fields[field_mode];
  if (fields[field_time][0] == '\0') {
    if (mode[0] && display_mode_code(mode) != 0)
      observer.object_changed(line, "mode " + std::string(mode) + " becomes ShowAlways without a display time");
  } else {
    int32_t time = decimal_value(fields[field_time]);
    if (time / 10 != stored.display_time)
      observer.object_changed(line, "display time " + std::to_string(time) + " is stored as " +
                                     std::to_string(description_display_time(stored.display_time)) +
                                     " (0 to 40950)");
  }
  int32_t number = decimal_value(fields[field_number]);
  if (number != stored.object_id)
    observer.object_changed(line, "object number " + std::to_string(number) + " is stored as " +
                                   std::to_string(stored.object_id) + " (15 bits)");
}

// The object_record of one [mapobjects] (is_map) or [screenobjects] line, written to
// record. Throws text_exception for a malformed line or an image images does not define.
void compile_object_line(const char* line, bool is_map, const image_table& images,
                         unsigned char (&record)[object_record_size], packing_observer& observer) {
  char fields[object_field_count][field_size];
  for (int i = 0; i < object_field_count; ++i) get_field(fields[i], field_size, line, ',', i);

  int layer = display_layer_code(fields[field_layer]);
  // Without a display time the object always shows, and its mode field is not looked at.
  bool timed = fields[field_time][0] != '\0';
  int mode = timed ? display_mode_code(fields[field_mode]) : 0;
  // Map objects may carry reference letters too; only screen objects store them.
  uint8_t x_reference = take_reference(fields[field_x]);
  uint8_t y_reference = take_reference(fields[field_y]);
  const char* image = fields[field_image];
  if (!begins_number(fields[field_x]) || !begins_number(fields[field_y]) || !names_image(image) ||
      layer < 0 || mode < 0)
    throw text_exception("Syntax error in line '%s'\n", line);

  int32_t n = decimal_value(image + image_prefix_length);
  if (n < 0 || static_cast<uint32_t>(n) >= max_image_count || images.position[n] < 0)
    throw text_exception("%s used but not defined in [objectimages] in line '%s'\n", image, line);

  object_record r;
  r.is_map = is_map;
  r.object_id = object_id_from_number(decimal_value(fields[field_number]));
  r.x = coordinate(fields[field_x], x_reference, is_map);
  r.y = coordinate(fields[field_y], y_reference, is_map);
  r.image_index = static_cast<uint8_t>(images.position[n]);
  r.layer = static_cast<uint8_t>(layer);
  r.display_time = display_time_from_description(decimal_value(fields[field_time]));
  r.mode = static_cast<uint8_t>(mode);
  encode_object_record(record, r);
  note_changes(observer, line, fields, is_map, record);
}

// Appends the records of every line of the first section named section, in their order;
// nothing when there is no such section. Returns how many.
uint32_t read_objects(ini_file& description, const char* section, bool is_map, const image_table& images,
                      byte_buffer& records, packing_observer& observer) {
  if (!description.select_section(section)) return 0;
  uint32_t count = 0;
  char line[line_size];
  bool cut = false;
  while (description.next_line(line, sizeof line, &cut)) {
    if (!line[0]) continue;
    observer.line_read(line, cut, sizeof line - 1);
    unsigned char record[object_record_size];
    compile_object_line(line, is_map, images, record, observer);
    records.append(record, sizeof record);
    ++count;
  }
  return count;
}

// Appends the records grouped by layer, from 0 up; within a layer they keep their order,
// which puts map objects before screen objects. Returns how many there are.
uint32_t append_by_layer(byte_buffer& content, const byte_buffer& records) {
  const uint32_t count = records.size() / object_record_size;
  for (unsigned layer = 0; layer < display_layer_count; ++layer)
    for (uint32_t i = 0; i < count; ++i) {
      const unsigned char* record = records.data() + i * object_record_size;
      if (decode_object_record(record).layer == layer) content.append(record, object_record_size);
    }
  return count;
}

}  // namespace

bool build_object_content(byte_buffer& content, ini_file& description, packing_observer& observer) {
  if (!description.select_section("objectimages")) return false;
  image_table images;
  read_images(description, images, observer);

  byte_buffer records;  // in description order: every map object, then every screen object
  uint32_t map_objects = read_objects(description, "mapobjects", true, images, records, observer);
  uint32_t screen_objects = read_objects(description, "screenobjects", false, images, records, observer);
  observer.objects_compiled(images.count, map_objects, screen_objects);

  unsigned char header[object_section_header_size] = {};
  content.set_size(0);
  content.append(header, sizeof header);
  uint32_t object_count = append_by_layer(content, records);
  content.append(images.entries.data(), images.entries.size());
  encode_object_section_header(content.data(), object_magic_v2, object_count, images.count);
  return true;
}

void compile_objects(byte_buffer& container, ini_file& description, packing_observer& observer) {
  byte_buffer content;
  if (!build_object_content(content, description, observer)) return;
  uint32_t offset = container.size();
  entry_outcome outcome = pack_section(container, content, "", 0);
  observer.objects_packed(outcome, container, offset);
}
