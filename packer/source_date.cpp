// SOURCE_DATE_EPOCH read into the latest file time to store.
#include "source_date.h"

#include "file_time.h"
#include "packer_errors.h"

time_clamp source_date_clamp(const char* setting) {
  time_clamp clamp;
  if (!setting || !*setting) return clamp;
  // As many digits as there are: a time past what a file time holds clamps nothing.
  uint64_t seconds = 0;
  constexpr uint64_t beyond = UINT64_MAX / file_time_ticks_per_second - file_time_seconds_1601_to_1970;
  for (const char* p = setting; *p; ++p) {
    if (*p < '0' || *p > '9')
      throw text_exception("%s=\"%s\" is not a number of seconds since 1970 (decimal digits only)",
                           source_date_variable, setting);
    if (seconds <= beyond) seconds = seconds * 10 + static_cast<uint64_t>(*p - '0');
  }
  clamp.set = true;
  clamp.setting = setting;
  if (seconds < beyond)
    clamp.latest = (seconds + file_time_seconds_1601_to_1970) * file_time_ticks_per_second;
  return clamp;
}
