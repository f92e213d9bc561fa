// Paths: the one place that decides what separates the parts of a path, and the name a file
// has beside its own while it is written.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "code_page.h"

// True for a character that separates the directories of a packed file's path from the
// name stored for it: on Windows only the backslash ('/' is an ordinary character of a
// name there, so "gfx/ship.bmp" is stored whole, and refused); on POSIX the slash too,
// since descriptions and containers written on Windows use backslashes and the system's
// own paths slashes. Defined by path_separator_windows.cpp or path_separator_posix.cpp.
bool is_path_separator(char c);

// The length of path's drive prefix, as in "C:\levels" and "Z:zone.lvz" (the current
// folder of drive Z): 2 on Windows for a letter and ':'; always 0 on POSIX, where "Z:" is
// part of a name. Defined beside is_path_separator.
size_t drive_prefix_length(const char* path);

// The name under which the system creates a file or folder asked for as name: on Windows
// without its trailing blanks and dots, which Windows drops ("zone " is made as "zone");
// on POSIX name itself. Defined beside is_path_separator.
std::string name_as_created(const std::string& name);

// The last separator in a packed file's path (is_path_separator, read by characters: the
// second byte of a double-byte character is none), or nullptr when it has none.
inline const char* last_separator(const char* path) {
  const char* last = nullptr;
  for (const char* p = path; *p; p = next_character(p))
    if (is_path_separator(*p)) last = p;
  return last;
}

inline char* last_separator(char* path) {
  return const_cast<char*>(last_separator(static_cast<const char*>(path)));
}

// The part of a packed file's path after its last separator (the whole path when it has
// none): the name stored for it.
inline const char* file_name_part(const char* path) {
  const char* sep = last_separator(path);
  return sep ? sep + 1 : path;
}

// The file name of a path that a program is given to open or create (the container, its
// output folder, OutFile) as the system reads it: what follows the drive prefix and the
// last '\' or '/', each of which ends the directory part on every platform, read by
// characters. tarnsplit.exe given "sub/zone.lvz" or "Z:zone.lvz" reads zone.lvz.
inline const char* system_file_name(const char* path) {
  const char* name = path + drive_prefix_length(path);
  for (const char* p = name; *p; p = next_character(p))
    if (*p == '\\' || *p == '/') name = p + 1;
  return name;
}

// The directory part of such a path: up to its file name, drive and last separator included.
inline std::string system_directory_part(const char* path) {
  return std::string(path, static_cast<size_t>(system_file_name(path) - path));
}

// Whether such a path names its own root or drive ("C:\levels\zone.lvz", "\\server\share",
// "/levels/zone.lvz"), so that no folder can go before it.
inline bool names_its_root(const char* path) {
  return path[0] == '\\' || path[0] == '/' || drive_prefix_length(path) > 0;
}

// The name under which a file that is to take path's name is written until it is whole: in
// path's folder, so that renaming it is atomic, path's file name followed by "." tag ".tmp"
// (tag tells apart the runs and attempts that may meet there). The file name is cut where
// the whole would pass what the system takes: a name of 255 characters, and a path of 259
// or of path's own length.
inline std::string temporary_path(const char* path, const std::string& tag) {
  const char* name = system_file_name(path);
  std::string folder(path, static_cast<size_t>(name - path));
  std::string suffix = "." + tag + ".tmp";
  size_t keep = std::strlen(name);
  keep = std::min(keep, 255 - std::min<size_t>(255, suffix.size()));
  size_t room = std::max<size_t>(259, std::strlen(path));
  size_t fixed = folder.size() + suffix.size();
  keep = std::min(keep, room > fixed ? room - fixed : 0);
  return folder + std::string(name, keep) + suffix;
}
