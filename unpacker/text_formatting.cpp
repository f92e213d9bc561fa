// Text for the regenerated description.
#include "text_formatting.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int append_formatted(char* destination, const char* format, ...) {
  char scratch[5000];
  va_list args;
  va_start(args, format);
  std::vsnprintf(scratch, sizeof scratch, format, args);
  va_end(args);
  size_t length = std::strlen(destination);
  size_t piece = std::strlen(scratch);
  std::memcpy(destination + length, scratch, piece + 1);
  return static_cast<int>(length + piece);
}

int format_thousands(int32_t value, char* destination) {
  char* out = destination;
  uint32_t magnitude = static_cast<uint32_t>(value);
  if (value < 0) {
    *out++ = '-';
    magnitude = 0u - magnitude;  // well defined for the most negative value too
  }
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  int first_group = count % 3 == 0 ? 3 : count % 3;
  for (int i = 0; i < count; ++i) {
    if (i >= first_group && (i - first_group) % 3 == 0) *out++ = ',';
    *out++ = digits[count - 1 - i];
  }
  *out = '\0';
  return static_cast<int>(out - destination);
}
