// Bounded copies, blanks, fields and paths.
#include "string_helpers.h"

#include <cstring>

#include "paths.h"

char* copy_bounded(char* destination, const char* source, size_t destination_size) {
  if (destination_size == 0) return destination;
  size_t length = 0;
  while (length < destination_size - 1 && source[length]) ++length;
  std::memcpy(destination, source, length);
  destination[length] = '\0';
  return destination;
}

void replace_char(char* text, char from, char to) {
  for (; *text; ++text)
    if (*text == from) *text = to;
}

const char* skip_blanks(const char* text) {
  while (is_blank(*text)) ++text;
  return text;
}

char* skip_blanks(char* text) {
  while (is_blank(*text)) ++text;
  return text;
}

void trim_right(char* text) {
  size_t length = std::strlen(text);
  while (length > 0 && is_blank(text[length - 1])) text[--length] = '\0';
}

bool is_absolute_path(const char* path) {
  if (!path[0]) return false;
  // Where '/' separates, the system's own root counts too ("/x", and "\x" that becomes it).
  bool rooted = is_path_separator('/') && is_path_separator(path[0]);
  return rooted || (is_path_separator(path[0]) && is_path_separator(path[1])) || path[1] == ':';
}

void copy_path(char* destination, const char* path) { copy_bounded(destination, path, path_size); }

void join_path(char* destination, const char* directory, const char* name) {
  if (is_absolute_path(name)) {
    copy_path(destination, name);
    return;
  }
  copy_path(destination, directory);
  size_t length = std::strlen(destination);
  if (length > 0 && length < path_size - 1 && !is_path_separator(destination[length - 1])) {
    destination[length++] = '\\';
    destination[length] = '\0';
  }
  copy_bounded(destination + length, name, path_size - length);
}

const char* get_field(char* destination, size_t size, const char* text, char separator, int index) {
  destination[0] = '\0';
  for (int passed = 0; passed < index; ++passed) {
    text = std::strchr(text, separator);
    if (!text) return nullptr;
    ++text;
  }
  const char* start = skip_blanks(text);
  const char* end = std::strchr(start, separator);
  size_t length = end ? static_cast<size_t>(end - start) : std::strlen(start);
  if (length > size - 1) length = size - 1;
  std::memcpy(destination, start, length);
  destination[length] = '\0';
  trim_right(destination);
  return start;
}
