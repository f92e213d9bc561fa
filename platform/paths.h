// Path separators: the one place that decides what separates the parts of a path.
#pragma once

#include "native_path_rule.h"  // is_path_separator(), from windows/ or posix/

// The last separator in path, or nullptr when it has none.
inline const char* last_separator(const char* path) {
  const char* last = nullptr;
  for (const char* p = path; *p; ++p)
    if (is_path_separator(*p)) last = p;
  return last;
}

inline char* last_separator(char* path) {
  return const_cast<char*>(last_separator(static_cast<const char*>(path)));
}

// The part of path after its last separator (the whole path when it has none).
inline const char* file_name_of(const char* path) {
  const char* sep = last_separator(path);
  return sep ? sep + 1 : path;
}
