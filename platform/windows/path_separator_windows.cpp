// On Windows only the backslash separates the parts of a packed file's path; a path given
// to open or create is read as Windows reads it, drive letters and '/' included.
#include "paths.h"

bool is_path_separator(char c) { return c == '\\'; }

size_t drive_prefix_length(const char* path) {
  bool letter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
  return letter && path[1] == ':' ? 2 : 0;
}

std::string name_as_created(const std::string& name) {
  std::string::size_type kept = name.find_last_not_of(". ");
  return kept == std::string::npos ? std::string() : name.substr(0, kept + 1);
}
