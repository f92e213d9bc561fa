// Numbers as both programs show them, the same on every platform: decimals rounded exactly
// (so one container gives the same description bytes wherever it is taken apart), the
// compression percent, and whole numbers with their thousands grouped.
#pragma once

#include <cstdint>
#include <string>

// value with `precision` decimals (0 to 3), right-aligned in `width` columns, as printf's
// "%*.*f" writes it with a C library that rounds exactly: the exact binary value rounded to
// nearest, ties to even; a minus sign whenever the sign bit is set ("-0.0"). Infinities are
// written "inf" and "-inf" and every NaN "nan", whatever the C library would spell.
std::string fixed_decimal(double value, int precision, int width = 0);

// numerator / denominator as IEEE arithmetic gives it, also for a zero denominator (an
// infinity, or NaN for 0 / 0), without the division by zero that C++ leaves undefined.
double quotient(double numerator, double denominator);

// (full - stored) * 100 / full, in double precision; negative when stored is larger.
double compression_percent(uint64_t full_size, uint64_t stored_size);

// How much of full_size the stored bytes save, in percent with one decimal, right-aligned in
// width columns: the description's "%5.1f" with a width of 5.
std::string percent_text(uint64_t full_size, uint64_t stored_size, int width = 0);

// Writes value in decimal with "," between groups of three digits and a leading "-" when
// negative, into destination (room for 27 bytes). Returns the length.
int format_thousands(int64_t value, char* destination);
