// Case in this system: parameter and section names, layer and mode names, reference letters
// and section names are compared without regard to the case of ASCII letters; every other
// byte compares as it is.
#pragma once

#include <cstddef>

constexpr char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// True when a and b are equal but for the case of ASCII letters.
inline bool equal_ignoring_case(const char* a, const char* b) {
  for (; *a && ascii_lower(*a) == ascii_lower(*b); ++a, ++b) {
  }
  return ascii_lower(*a) == ascii_lower(*b);
}

// The same for the first length bytes of a and b, which must both hold that many.
inline bool equal_ignoring_case(const char* a, const char* b, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  return true;
}
