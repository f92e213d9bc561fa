// The code page in which the system reads names: where a character of it ends.
#pragma once

// True for the first byte of a double-byte character of the system's ANSI code page (932,
// 936, 949, 950 on Windows), whose second byte may be 0x5C, '\', and then is no separator.
// POSIX names are bytes as written: never.
bool is_lead_byte(char c);

// The character after the one at p: two bytes on for a double-byte character, one otherwise
// (also for a lead byte at the end of the text).
inline const char* next_character(const char* p) { return p + (is_lead_byte(*p) && p[1] ? 2 : 1); }
