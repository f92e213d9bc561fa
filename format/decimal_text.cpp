// Numbers as text: exact decimal rounding of doubles, independent of the C library's
// printf, and grouped whole numbers.
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

double compression_percent(uint64_t full_size, uint64_t stored_size) {
  double saved = static_cast<double>(full_size) - static_cast<double>(stored_size);
  return quotient(saved * 100.0, static_cast<double>(full_size));
}

std::string percent_text(uint64_t full_size, uint64_t stored_size, int width) {
  return fixed_decimal(compression_percent(full_size, stored_size), 1, width);
}

int format_thousands(int64_t value, char* destination) {
  char* out = destination;
  uint64_t magnitude = static_cast<uint64_t>(value);
  if (value < 0) {
    *out++ = '-';
    magnitude = 0u - magnitude;  // well defined for the most negative value too
  }
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  int first_group = count % 3 == 0 ? 3 : count % 3;
  for (int i = 0; i < count; ++i) {
    if (i >= first_group && (i - first_group) % 3 == 0) *out++ = ',';
    *out++ = digits[count - 1 - i];
  }
  *out = '\0';
  return static_cast<int>(out - destination);
}
