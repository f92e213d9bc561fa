// The object section's content: a 12-byte header, object_count 10-byte object records, then
// image_count image entries, back to back; the name tables of display layers, display modes
// and screen references; and the rules that pack coordinates, times and modes into a record.
// Little-endian integers, no padding, names NUL-terminated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ascii_case.h"
#include "byte_order.h"

// ---- Header ----------------------------------------------------------------------------

// "CLV2" marks the current content; "CLV1" the first version, whose screen coordinates are
// plain numbers around a centre value.
constexpr unsigned char object_magic_v1[4] = {'C', 'L', 'V', '1'};
constexpr unsigned char object_magic_v2[4] = {'C', 'L', 'V', '2'};

enum class object_version { unknown, v1, v2 };

// object_section_header:
//   offset 0  4 bytes  magic         "CLV2" or "CLV1"
//   offset 4  uint32   object_count  object records that follow, map and screen together
//   offset 8  uint32   image_count   image entries after the records
constexpr size_t object_section_header_size = 12;

struct object_section_header {
  unsigned char magic[4];
  uint32_t object_count;
  uint32_t image_count;
};

// The packer writes at most this many image entries (IMAGE0 to IMAGE255).
constexpr uint32_t max_image_count = 256;

// The version a magic names; unknown for anything but "CLV1" and "CLV2".
inline object_version object_version_of(const unsigned char* magic) {
  if (std::memcmp(magic, object_magic_v1, 4) == 0) return object_version::v1;
  if (std::memcmp(magic, object_magic_v2, 4) == 0) return object_version::v2;
  return object_version::unknown;
}

// Reads object_section_header_size bytes at p.
inline object_section_header decode_object_section_header(const unsigned char* p) {
  object_section_header h;
  std::memcpy(h.magic, p, 4);
  h.object_count = load_u32(p + 4);
  h.image_count = load_u32(p + 8);
  return h;
}

// Writes object_section_header_size bytes at p.
inline void encode_object_section_header(unsigned char* p, const unsigned char* magic,
                                         uint32_t object_count, uint32_t image_count) {
  std::memcpy(p, magic, 4);
  store_u32(p + 4, object_count);
  store_u32(p + 8, image_count);
}

// ---- Object records --------------------------------------------------------------------

// object_record:
//   offset 0  uint16  kind_and_id    bit 0 is_map (1 map object, 0 screen object),
//                                    bits 1-15 object_id
//   offset 2  int16   x              coordinates: plain numbers for map objects; for screen
//   offset 4  int16   y              objects see the screen-coordinate rules below
//   offset 6  uint8   image_index    position in the image table (0 = first image entry)
//   offset 7  uint8   layer          display_layer code
//   offset 8  uint16  time_and_mode  bits 0-11 display_time, bits 12-15 mode (display_mode)
constexpr size_t object_record_size = 10;

// One record with its bit fields taken apart. Codes hold what the bytes hold, which may lie
// outside the name tables.
struct object_record {
  bool is_map;
  uint16_t object_id;     // 0 to 32767
  int16_t x;
  int16_t y;
  uint8_t image_index;
  uint8_t layer;
  uint16_t display_time;  // 0 to 4095: the description's display time divided by 10
  uint8_t mode;           // 0 to 15
};

// Reads object_record_size bytes at p.
inline object_record decode_object_record(const unsigned char* p) {
  object_record r;
  uint16_t kind_and_id = load_u16(p);
  uint16_t time_and_mode = load_u16(p + 8);
  r.is_map = (kind_and_id & 1) != 0;
  r.object_id = static_cast<uint16_t>(kind_and_id >> 1);
  r.x = load_i16(p + 2);
  r.y = load_i16(p + 4);
  r.image_index = p[6];
  r.layer = p[7];
  r.display_time = static_cast<uint16_t>(time_and_mode & 0x0FFF);
  r.mode = static_cast<uint8_t>(time_and_mode >> 12);
  return r;
}

// Writes object_record_size bytes at p; object_id, display_time and mode are cut to their
// 15, 12 and 4 bits.
inline void encode_object_record(unsigned char* p, const object_record& r) {
  store_u16(p, static_cast<uint16_t>(((r.object_id & 0x7FFFu) << 1) | (r.is_map ? 1u : 0u)));
  store_i16(p + 2, r.x);
  store_i16(p + 4, r.y);
  p[6] = r.image_index;
  p[7] = r.layer;
  store_u16(p + 8, static_cast<uint16_t>(((r.mode & 0xFu) << 12) | (r.display_time & 0x0FFFu)));
}

// The object_id kept of the description's object number: its low 15 bits.
inline uint16_t object_id_from_number(int32_t number) {
  return static_cast<uint16_t>(static_cast<uint32_t>(number) & 0x7FFFu);
}

constexpr int32_t max_display_time = 4095;

// display_time from the description's display time: divided by 10 toward zero, above 4095
// made 4095, then cut to 12 bits (so -10 gives 4095).
inline uint16_t display_time_from_description(int32_t time) {
  int32_t t = time / 10;
  if (t > max_display_time) t = max_display_time;
  return static_cast<uint16_t>(static_cast<uint32_t>(t) & 0x0FFFu);
}

// The description's display time of a stored display_time.
inline int32_t description_display_time(uint16_t display_time) { return display_time * 10; }

// A map coordinate from the description's number, cut to 16 bits.
inline int16_t map_coordinate(int32_t number) {
  return as_int16(static_cast<uint16_t>(static_cast<uint32_t>(number)));
}

// ---- Screen coordinates ----------------------------------------------------------------

// A screen coordinate: a screen_reference code (0: a plain coordinate) and an offset.
struct screen_coordinate {
  uint8_t reference;
  int32_t offset;
};

// "CLV2": reference in bits 0-3, signed offset in bits 4-15 (-2048 to 2047). The field is
// number * 16 + reference cut to 16 bits, so only the number's low 12 bits survive.
inline int16_t encode_screen_coordinate(int32_t number, uint8_t reference) {
  return as_int16(static_cast<uint16_t>(static_cast<uint32_t>(number) * 16u + (reference & 0xFu)));
}

inline screen_coordinate decode_screen_coordinate_v2(int16_t field) {
  auto reference = static_cast<uint8_t>(static_cast<uint16_t>(field) & 0xFu);
  // field - reference is a multiple of 16, so the division is exact and keeps the sign.
  return {reference, (static_cast<int32_t>(field) - reference) / 16};
}

// "CLV1": a value from 15000 to 25000 is reference C with offset value - 20000; any other
// value is a plain coordinate.
constexpr int32_t v1_centre = 20000;
constexpr int32_t v1_reach = 5000;
constexpr uint8_t screen_reference_c = 1;

inline screen_coordinate decode_screen_coordinate_v1(int16_t field) {
  int32_t offset = field - v1_centre;
  if (offset >= -v1_reach && offset <= v1_reach) return {screen_reference_c, offset};
  return {0, field};
}

// ---- Image entries ---------------------------------------------------------------------

// image_entry:
//   offset 0  uint16  x_frames        animation frames across the image
//   offset 2  uint16  y_frames        animation frames down the image
//   offset 4  uint16  animation_time  one whole loop, in hundredths of a second
//   offset 6  n + 1   file_name       the file name without directory, then one NUL
constexpr size_t image_entry_head_size = 6;

struct image_entry_head {
  uint16_t x_frames;
  uint16_t y_frames;
  uint16_t animation_time;
};

// What the packer stores for a value the description gives as 0: one frame, one second.
constexpr uint16_t default_x_frames = 1;
constexpr uint16_t default_y_frames = 1;
constexpr uint16_t default_animation_time = 100;

inline bool has_default_animation(const image_entry_head& h) {
  return h.x_frames == default_x_frames && h.y_frames == default_y_frames &&
         h.animation_time == default_animation_time;
}

// Reads image_entry_head_size bytes at p.
inline image_entry_head decode_image_entry_head(const unsigned char* p) {
  return {load_u16(p), load_u16(p + 2), load_u16(p + 4)};
}

// Writes image_entry_head_size bytes at p; the name and its NUL follow.
inline void encode_image_entry_head(unsigned char* p, const image_entry_head& h) {
  store_u16(p, h.x_frames);
  store_u16(p + 2, h.y_frames);
  store_u16(p + 4, h.animation_time);
}

// ---- Name tables -----------------------------------------------------------------------
// Names are the description's words: written as shown, read without regard to ASCII case.

constexpr unsigned display_layer_count = 8;
constexpr const char* display_layer_names[display_layer_count] = {
    "BelowAll",   "AfterBackground", "AfterTiles", "AfterWeapons",
    "AfterShips", "AfterGauges",     "AfterChat",  "TopMost"};

constexpr unsigned display_mode_count = 6;
constexpr const char* display_mode_names[display_mode_count] = {
    "ShowAlways", "EnterZone", "EnterArena", "Kill", "Death", "ServerControlled"};

// screen_reference codes are positions in this string; "+" (code 0) is the same as no letter.
constexpr unsigned screen_reference_count = 12;
constexpr char screen_reference_letters[screen_reference_count + 1] = "+cbsgfetrowv";

// The name of a code, or nullptr for a code outside the table.
inline const char* display_layer_name(unsigned code) {
  return code < display_layer_count ? display_layer_names[code] : nullptr;
}

inline const char* display_mode_name(unsigned code) {
  return code < display_mode_count ? display_mode_names[code] : nullptr;
}

// The code of a name, compared without regard to ASCII case, or -1 when no name matches.
inline int display_layer_code(const char* name) {
  for (unsigned code = 0; code < display_layer_count; ++code)
    if (equal_ignoring_case(name, display_layer_names[code])) return static_cast<int>(code);
  return -1;
}

inline int display_mode_code(const char* name) {
  for (unsigned code = 0; code < display_mode_count; ++code)
    if (equal_ignoring_case(name, display_mode_names[code])) return static_cast<int>(code);
  return -1;
}

// The code of a reference letter in either case ('+' gives 0), or -1 for any other character.
inline int screen_reference_code(char letter) {
  for (unsigned code = 0; code < screen_reference_count; ++code)
    if (screen_reference_letters[code] == ascii_lower(letter)) return static_cast<int>(code);
  return -1;
}

// The upper-case letter written for codes 1 to 11; '\0' for code 0 (no letter is written)
// and for codes outside the table.
inline char screen_reference_letter(unsigned code) {
  return code >= 1 && code < screen_reference_count ? ascii_upper(screen_reference_letters[code]) : '\0';
}
