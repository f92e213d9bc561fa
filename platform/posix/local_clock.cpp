// The local clock of the machine's zone on POSIX.
#include "local_clock.h"

#include <algorithm>
#include <ctime>

namespace {

constexpr int64_t seconds_per_day = 86400;

// Whether the local clock shows local at the moment instant.
bool shows(int64_t instant, int64_t local) {
  int64_t offset = 0;
  return utc_offset_at(instant, &offset) && instant + offset == local;
}

}  // namespace

bool utc_offset_at(int64_t instant, int64_t* offset) {
  auto moment = static_cast<time_t>(instant);
  struct tm fields;
  if (!localtime_r(&moment, &fields)) return false;
  *offset = fields.tm_gmtoff;
  return true;
}

// Every offset is less than a day, so the moment lies within a day of local read as UTC,
// and the offsets in force a day before and a day after are the only candidates (no zone
// changes its offset twice within two days).
bool instant_of_local(int64_t local, int64_t* instant) {
  int64_t before = 0, after = 0;
  if (!utc_offset_at(local - seconds_per_day, &before) || !utc_offset_at(local + seconds_per_day, &after))
    return false;
  bool before_fits = shows(local - before, local), after_fits = shows(local - after, local);
  if (before_fits != after_fits)
    *instant = local - (before_fits ? before : after);
  else  // no change nearby, or the time is repeated or skipped
    *instant = local - std::max(before, after);
  return true;
}
