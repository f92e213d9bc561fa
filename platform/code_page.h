// The code page in which the system reads names: where a character of it ends, and text
// saved as UTF-8 brought into it.
#pragma once

#include <cstddef>
#include <string>

// True for the first byte of a double-byte character of the system's ANSI code page (932,
// 936, 949, 950 on Windows), whose second byte may be 0x5C, '\', and then is no separator.
// POSIX names are bytes as written: never.
bool is_lead_byte(char c);

// The character after the one at p: two bytes on for a double-byte character, one otherwise
// (also for a lead byte at the end of the text).
inline const char* next_character(const char* p) { return p + (is_lead_byte(*p) && p[1] ? 2 : 1); }

enum class ansi_conversion {
  converted,
  not_utf8,          // the bytes are no UTF-8 text
  not_in_code_page,  // a character the code page has no form of
};

// Appends length bytes of UTF-8 text, converted to the system's ANSI code page, to *ansi:
// on Windows through UTF-16, never by best fit (a character the code page lacks is not
// replaced by a look-alike that would name another file); on POSIX, where names are bytes
// as written, the bytes as they are. Whatever the result, *ansi has the text in some form
// (the bytes as they are when they are no UTF-8).
ansi_conversion utf8_to_ansi(const char* utf8, size_t length, std::string* ansi);
