// On POSIX both '/' and '\\' separate the parts of a path.
#include "paths.h"

bool is_path_separator(char c) { return c == '\\' || c == '/'; }
