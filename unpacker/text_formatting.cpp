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
