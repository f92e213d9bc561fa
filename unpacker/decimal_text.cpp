// Exact decimal rounding of doubles, independent of the C library's printf.
#include "decimal_text.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Decimal digits of value * 2^doublings, without leading zeros ("0" for 0).
std::string digits_times_power_of_two(uint64_t value, int doublings) {
  std::string digits = std::to_string(value);  // most significant first
  for (int i = 0; i < doublings; ++i) {
    int carry = 0;
    for (auto d = digits.rbegin(); d != digits.rend(); ++d) {
      int twice = (*d - '0') * 2 + carry;
      *d = static_cast<char>('0' + twice % 10);
      carry = twice / 10;
    }
    if (carry) digits.insert(digits.begin(), static_cast<char>('0' + carry));
  }
  return digits;
}

// Decimal digits of magnitude * 10^precision rounded to the nearest integer, ties to even.
std::string scaled_digits(double magnitude, int precision) {
  int exponent = 0;
  double fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
  // Exactly: magnitude = mantissa * 2^shift, with a mantissa of at most 53 bits.
  auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
  int shift = exponent - 53;
  uint64_t scale = 1;
  for (int i = 0; i < precision; ++i) scale *= 10;
  uint64_t scaled = mantissa * scale;  // below 2^53 * 1000 < 2^63
  if (shift >= 0) return digits_times_power_of_two(scaled, shift);
  int drop = -shift;
  if (drop >= 64) return "0";  // scaled < 2^63 <= half of 2^drop: rounds to 0
  uint64_t kept = scaled >> drop;
  uint64_t rest = scaled & ((uint64_t{1} << drop) - 1);
  uint64_t half = uint64_t{1} << (drop - 1);
  if (rest > half || (rest == half && (kept & 1))) ++kept;
  return std::to_string(kept);
}

}  // namespace

std::string fixed_decimal(double value, int precision, int width) {
  assert(precision >= 0 && precision <= 3);
  std::string text;
  if (std::isnan(value)) {
    text = "nan";
  } else {
    if (std::signbit(value)) text = "-";
    if (std::isinf(value)) {
      text += "inf";
    } else {
      std::string digits = scaled_digits(std::fabs(value), precision);
      if (digits.size() <= static_cast<size_t>(precision))
        digits.insert(0, static_cast<size_t>(precision) + 1 - digits.size(), '0');
      if (precision > 0) digits.insert(digits.size() - static_cast<size_t>(precision), 1, '.');
      text += digits;
    }
  }
  if (text.size() < static_cast<size_t>(width)) text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
  return text;
}

double quotient(double numerator, double denominator) {
  if (denominator != 0 || std::isnan(denominator)) return numerator / denominator;
  if (numerator == 0 || std::isnan(numerator)) return std::numeric_limits<double>::quiet_NaN();
  bool negative = std::signbit(numerator) != std::signbit(denominator);
  double infinity = std::numeric_limits<double>::infinity();
  return negative ? -infinity : infinity;
}
