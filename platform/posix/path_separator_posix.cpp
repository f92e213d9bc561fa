// On POSIX both '/' and '\\' separate the parts of a path, and a name is created as asked.
#include "paths.h"

bool is_path_separator(char c) { return c == '\\' || c == '/'; }

size_t drive_prefix_length(const char*) { return 0; }

std::string name_as_created(const std::string& name) { return name; }
