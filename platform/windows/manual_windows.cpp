// Windows has no man: the package holds each page rendered as text, beside README.md.
#include "manual.h"

std::string manual_of(const char* program) { return std::string(program) + ".txt"; }
