// Text for the regenerated description: printf pieces appended to a line, and numbers with
// their thousands grouped.
#pragma once

#include <cstdint>

// Formats (printf rules, cut to 4999 characters) and appends to destination, which must
// have room. Returns the destination's new length.
int append_formatted(char* destination, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Writes value in decimal with "," between groups of three digits. Returns the length.
int format_thousands(int32_t value, char* destination);
