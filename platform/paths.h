// Paths: the one place that decides what separates the parts of a path, and the name a file
// has beside its own while it is written.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

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

// The name under which a file that is to take path's name is written until it is whole: in
// path's folder, so that renaming it is atomic, path's file name followed by "." tag ".tmp"
// (tag tells apart the runs and attempts that may meet there). The file name is cut where
// the whole would pass what the system takes: a name of 255 characters, and a path of 259
// or of path's own length.
inline std::string temporary_path(const char* path, const std::string& tag) {
  const char* name = file_name_part(path);
  std::string folder(path, static_cast<size_t>(name - path));
  std::string suffix = "." + tag + ".tmp";
  size_t keep = std::strlen(name);
  keep = std::min(keep, 255 - std::min<size_t>(255, suffix.size()));
  size_t room = std::max<size_t>(259, std::strlen(path));
  size_t fixed = folder.size() + suffix.size();
  keep = std::min(keep, room > fixed ? room - fixed : 0);
  return folder + std::string(name, keep) + suffix;
}
