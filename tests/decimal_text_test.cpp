// Numbers with decimals in the description: exact rounding, fixed spellings for values that
// are not finite, compression percentages and animation loop times.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "decimal_text.h"
#include "object_section_writer.h"

namespace {

const double infinity = std::numeric_limits<double>::infinity();
const double nan_value = std::numeric_limits<double>::quiet_NaN();

std::string c_library(double value, int precision) {
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", precision, value);
  return text;
}

// The percent as a file entry writes it, in 5 columns.
std::string percent_column(uint32_t full_size, uint32_t stored_size) {
  return percent_text(full_size, stored_size, 5);
}

}  // namespace

TEST(FixedDecimal, RoundsTheExactBinaryValueWithTiesToEven) {
  EXPECT_EQ(fixed_decimal(75.0, 1, 5), " 75.0");
  EXPECT_EQ(fixed_decimal(5.0, 1, 5), "  5.0");
  EXPECT_EQ(fixed_decimal(-300.0, 1, 5), "-300.0");  // wider than the columns
  EXPECT_EQ(fixed_decimal(0.25, 1), "0.2");           // exact ties go to the even digit
  EXPECT_EQ(fixed_decimal(0.75, 1), "0.8");
  EXPECT_EQ(fixed_decimal(6.25, 1), "6.2");
  EXPECT_EQ(fixed_decimal(0.0625, 3), "0.062");
  EXPECT_EQ(fixed_decimal(2.5, 0), "2");
  EXPECT_EQ(fixed_decimal(3.5, 0), "4");
  EXPECT_EQ(fixed_decimal(0.35, 1), "0.3");  // 0.34999999999999997779...: no tie
  EXPECT_EQ(fixed_decimal(0.45, 1), "0.5");  // 0.45000000000000001110...
  EXPECT_EQ(fixed_decimal(0.9999, 3), "1.000");
  EXPECT_EQ(fixed_decimal(99.96, 1), "100.0");
}

TEST(FixedDecimal, WritesZerosSignsAndExtremes) {
  EXPECT_EQ(fixed_decimal(0.0, 3), "0.000");
  EXPECT_EQ(fixed_decimal(-0.0, 1), "-0.0");
  EXPECT_EQ(fixed_decimal(-0.01, 1), "-0.0");
  EXPECT_EQ(fixed_decimal(0.0004, 3), "0.000");
  EXPECT_EQ(fixed_decimal(0.0005, 3), "0.001");  // 0.000500000000000000010408...
  EXPECT_EQ(fixed_decimal(4.9e-324, 3), "0.000");
  EXPECT_EQ(fixed_decimal(1e22, 1), "10000000000000000000000.0");
  EXPECT_EQ(fixed_decimal(std::ldexp(1.0, 70), 0), "1180591620717411303424");
  EXPECT_EQ(fixed_decimal(-429496729400.0, 1), "-429496729400.0");
  std::string largest = fixed_decimal(DBL_MAX, 1);
  EXPECT_EQ(largest.size(), 311u);
  EXPECT_EQ(largest.substr(0, 17), "17976931348623157");
  EXPECT_EQ(largest.substr(309), ".0");
}

TEST(FixedDecimal, SpellsValuesThatAreNotFiniteTheSameOnEveryPlatform) {
  EXPECT_EQ(fixed_decimal(infinity, 3), "inf");
  EXPECT_EQ(fixed_decimal(-infinity, 1), "-inf");
  EXPECT_EQ(fixed_decimal(nan_value, 3), "nan");
  EXPECT_EQ(fixed_decimal(-nan_value, 3), "nan");
  EXPECT_EQ(fixed_decimal(infinity, 1, 5), "  inf");
}

TEST(FixedDecimal, AgreesWithACLibraryThatRoundsExactly) {
  if (c_library(0.25, 1) != "0.2" || c_library(0.0625, 3) != "0.062" ||
      c_library(1e22, 1) != "10000000000000000000000.0")
    GTEST_SKIP() << "this C library does not round exactly";
  std::mt19937_64 random(20030316);
  for (int i = 0; i < 20000; ++i) {
    double value;
    uint64_t bits = random();
    switch (i % 4) {
      case 0:  // any finite double
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        break;
      case 1:  // halves, quarters and eighths of thousandths: many exact ties
        value = static_cast<double>(static_cast<int64_t>(bits % 2000000) - 1000000) / 8000;
        break;
      case 2:  // compression percentages
        value = compression_percent(static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32));
        break;
      default:  // frame times
        value = frame_time_seconds(loop_time_seconds(static_cast<uint16_t>(bits)),
                                   static_cast<uint16_t>(bits >> 16 | 1), static_cast<uint16_t>(bits >> 32 | 1));
    }
    for (int precision = 0; precision <= 3; ++precision)
      ASSERT_EQ(fixed_decimal(value, precision), c_library(value, precision)) << "value " << value;
  }
}

TEST(Quotient, DividesByZeroAsIeeeArithmeticDoes) {
  EXPECT_EQ(quotient(3.0, 2.0), 1.5);
  EXPECT_EQ(quotient(1.0, 0.0), infinity);
  EXPECT_EQ(quotient(-1.0, 0.0), -infinity);
  EXPECT_TRUE(std::isnan(quotient(0.0, 0.0)));
  EXPECT_TRUE(std::isnan(quotient(nan_value, 0.0)));
}

TEST(CompressionPercent, IsTheShareSavedOfTheFullSize) {
  EXPECT_EQ(percent_column(1000, 250), " 75.0");
  EXPECT_EQ(percent_column(6, 6), "  0.0");
  EXPECT_EQ(percent_column(400, 399), "  0.2");      // 0.25, a tie
  EXPECT_EQ(percent_column(8, 9), "-12.5");          // stored larger: negative
  EXPECT_EQ(percent_column(1, 0xFFFFFFFFu), "-429496729400.0");
  EXPECT_EQ(percent_column(4000000000u, 4000000001u), " -0.0");
  EXPECT_EQ(percent_column(0xFFFFFFFFu, 1), "100.0");
  // The driver never passes a full size of 0, but the result is still defined.
  EXPECT_EQ(percent_column(0, 5), " -inf");
  EXPECT_EQ(percent_column(0, 0), "  nan");
}

TEST(LoopTime, CountsHundredthsWithTheSinglePrecisionValueOfOneHundredth) {
  EXPECT_EQ(loop_time_seconds(100), 0.999999977648258209228515625);
  EXPECT_EQ(fixed_decimal(loop_time_seconds(100), 3), "1.000");
  EXPECT_EQ(fixed_decimal(frame_time_seconds(loop_time_seconds(100), 2, 1), 3), "0.500");
  // 4 x 5 frames in 5 hundredths: the frame time lies just below 0.0025, where the double
  // value of 0.01 would give just above it.
  EXPECT_EQ(fixed_decimal(loop_time_seconds(5), 3), "0.050");
  EXPECT_EQ(fixed_decimal(frame_time_seconds(loop_time_seconds(5), 4, 5), 3), "0.002");
  EXPECT_EQ(fixed_decimal(5 * 0.01 / 4 / 5, 3), "0.003");
  EXPECT_EQ(fixed_decimal(loop_time_seconds(65535), 3), "655.350");
}

TEST(LoopTime, AFrameCountOfZeroGivesWhatTheDivisionGives) {
  EXPECT_EQ(frame_time_seconds(loop_time_seconds(100), 0, 1), infinity);
  EXPECT_EQ(frame_time_seconds(loop_time_seconds(100), 3, 0), infinity);
  EXPECT_TRUE(std::isnan(frame_time_seconds(loop_time_seconds(0), 0, 0)));
  EXPECT_EQ(frame_time_seconds(loop_time_seconds(0), 1, 1), 0.0);
}
