// Decimal text of floating-point values that is the same on every platform, so that one
// container gives the same description bytes wherever it is taken apart.
#pragma once

#include <string>

// value with `precision` decimals (0 to 3), right-aligned in `width` columns, as printf's
// "%*.*f" writes it with a C library that rounds exactly: the exact binary value rounded to
// nearest, ties to even; a minus sign whenever the sign bit is set ("-0.0"). Infinities are
// written "inf" and "-inf" and every NaN "nan", whatever the C library would spell.
std::string fixed_decimal(double value, int precision, int width = 0);

// numerator / denominator as IEEE arithmetic gives it, also for a zero denominator (an
// infinity, or NaN for 0 / 0), without the division by zero that C++ leaves undefined.
double quotient(double numerator, double denominator);
