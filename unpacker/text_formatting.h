// Text for the regenerated description: printf pieces appended to a line. (Numbers with
// their thousands grouped are format_thousands, in decimal_text.h.)
#pragma once

#include <cstdint>

// Formats (printf rules, cut to 4999 characters) and appends to destination, which must
// have room. Returns the destination's new length.
int append_formatted(char* destination, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
