// Stored times as dates and clock times.
#include "clock_text.h"

#include <cstdio>

namespace {

struct civil_date {
  int64_t year;
  unsigned month, day;
};

// The proleptic Gregorian date of a day count from 1970-01-01 (0 or more): years of 400
// years that start on March 1st, so that the leap day ends each year.
civil_date date_of_day(int64_t days) {
  int64_t z = days + 719468;  // days from 0000-03-01
  int64_t era = z / 146097;
  int64_t day_of_era = z - era * 146097;
  int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  int64_t month_from_march = (5 * day_of_year + 2) / 153;
  auto day = static_cast<unsigned>(day_of_year - (153 * month_from_march + 2) / 5 + 1);
  auto month = static_cast<unsigned>(month_from_march < 10 ? month_from_march + 3 : month_from_march - 9);
  return {year_of_era + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

}  // namespace

std::string clock_text(uint32_t seconds, char separator) {
  constexpr uint32_t seconds_per_day = 86400;
  civil_date date = date_of_day(seconds / seconds_per_day);
  uint32_t time = seconds % seconds_per_day;
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u%c%02u:%02u:%02u", static_cast<int>(date.year),
                date.month, date.day, separator, time / 3600, time / 60 % 60, time % 60);
  return text;
}
