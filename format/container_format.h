// The .lvz container: an 8-byte container header, then section_count sections back to back.
// Each section is a 16-byte section header, a NUL-terminated name and stored_size data bytes:
// a zlib stream, or the content itself when stored_size equals full_size (a raw section).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "byte_order.h"

// "CONT" opens the file and every section.
constexpr unsigned char container_magic[4] = {'C', 'O', 'N', 'T'};

// container_header: magic (4 bytes), section_count (uint32).
constexpr size_t container_header_size = 8;

struct container_header {
  unsigned char magic[4];
  uint32_t section_count;
};

// section_header: magic (4), full_size (uint32), time (uint32), stored_size (uint32);
// the name follows at offset 16. Names the packer writes have at most 259 characters (its
// path buffers); a reader takes a name of any length up to its NUL.
constexpr size_t section_header_size = 16;

struct section_header {
  unsigned char magic[4];
  uint32_t full_size;
  uint32_t time;
  uint32_t stored_size;
};

// Readers take the container's sizes as signed 32-bit counts (the packer's own buffer
// among them), so no container reaches 2 GiB.
constexpr uint64_t container_size_limit = uint64_t{1} << 31;

// Contents of this many bytes or fewer are always stored raw.
constexpr uint32_t raw_size_limit = 50;

// No zlib stream inflates to more than 1032 times its own length (deflate's best case),
// so a larger full_size marks a corrupt section before anything is allocated for it.
constexpr uint64_t max_inflate_ratio = 1032;

inline bool has_container_magic(const unsigned char* p) {
  return std::memcmp(p, container_magic, sizeof container_magic) == 0;
}

inline container_header decode_container_header(const unsigned char* p) {
  container_header h;
  std::memcpy(h.magic, p, 4);
  h.section_count = load_u32(p + 4);
  return h;
}

inline void encode_container_header(unsigned char* p, uint32_t section_count) {
  std::memcpy(p, container_magic, 4);
  store_u32(p + 4, section_count);
}

inline section_header decode_section_header(const unsigned char* p) {
  section_header h;
  std::memcpy(h.magic, p, 4);
  h.full_size = load_u32(p + 4);
  h.time = load_u32(p + 8);
  h.stored_size = load_u32(p + 12);
  return h;
}

inline void encode_section_header(unsigned char* p, uint32_t full_size, uint32_t time,
                                  uint32_t stored_size) {
  std::memcpy(p, container_magic, 4);
  store_u32(p + 4, full_size);
  store_u32(p + 8, time);
  store_u32(p + 12, stored_size);
}

// The object section is the one section with time 0 and an empty name.
inline bool is_object_section(uint32_t time, const char* name) {
  return time == 0 && name[0] == '\0';
}

inline bool is_raw_section(const section_header& h) { return h.stored_size == h.full_size; }

// Whether the section's data can give full_size bytes: always when raw, and when compressed
// only within max_inflate_ratio of its stored_size.
inline bool full_size_reachable(const section_header& h) {
  return is_raw_section(h) || h.full_size <= max_inflate_ratio * h.stored_size;
}

// Whether the packer tries compression: only above 50 bytes, and never for GIF, PNG or
// JFIF images, whose data is compressed already.
inline bool worth_compressing(const unsigned char* content, size_t length) {
  if (length <= raw_size_limit) return false;
  static const unsigned char png[4] = {0x89, 'P', 'N', 'G'};
  return std::memcmp(content, "GIF8", 4) != 0 && std::memcmp(content, png, 4) != 0 &&
         std::memcmp(content + 6, "JFIF", 4) != 0;
}
