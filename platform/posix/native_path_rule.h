// On POSIX both '/' and '\\' separate: descriptions and containers written on Windows
// use backslashes, and the system's own paths use slashes.
#pragma once

constexpr bool is_path_separator(char c) { return c == '\\' || c == '/'; }
