// The manual pages are installed where man finds them.
#include "manual.h"

std::string manual_of(const char* program) { return std::string("man ") + program; }
