// Path separators: the one place that decides what separates the parts of a path.
#pragma once

// True for a character that separates the parts of a path: on Windows only the backslash
// ('/' is an ordinary character of a name there, so "gfx/ship.bmp" is stored whole); on
// POSIX the slash too, since descriptions and containers written on Windows use backslashes
// and the system's own paths slashes. Defined by path_separator_windows.cpp or
// path_separator_posix.cpp.
bool is_path_separator(char c);

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
inline const char* file_name_part(const char* path) {
  const char* sep = last_separator(path);
  return sep ? sep + 1 : path;
}
