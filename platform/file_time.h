// Windows file times (FILETIME) count 100-nanosecond ticks since 1601-01-01 00:00 UTC;
// time_t and the times that sections store count seconds since 1970-01-01 00:00.
#pragma once

#include <cstdint>

constexpr int64_t file_time_ticks_per_second = 10000000;
constexpr int64_t file_time_seconds_1601_to_1970 = 11644473600;
constexpr int64_t file_time_ticks_1601_to_1970 = file_time_seconds_1601_to_1970 * file_time_ticks_per_second;
