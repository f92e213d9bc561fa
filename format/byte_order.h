// Little-endian integers read and written byte by byte: no packed structs, any alignment.
#pragma once

#include <cstdint>

inline uint16_t load_u16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t load_u32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void store_u16(unsigned char* p, uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

inline void store_u32(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

// The two's-complement value of a 16-bit pattern, without relying on a narrowing conversion.
inline int16_t as_int16(uint16_t v) {
  return static_cast<int16_t>(v < 0x8000 ? static_cast<int32_t>(v) : static_cast<int32_t>(v) - 0x10000);
}

inline int16_t load_i16(const unsigned char* p) { return as_int16(load_u16(p)); }

inline void store_i16(unsigned char* p, int16_t v) { store_u16(p, static_cast<uint16_t>(v)); }
