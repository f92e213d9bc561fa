// File times: how both programs turn a file's time into a stored one and back, and the
// counts of the two clocks involved.
//
// A section stores its file's last-write time as the local clock showed it: seconds since
// 1970-01-01 00:00 of local wall-clock time, counted as if that were UTC. Packing takes the
// offset from UTC that the local zone's rules give the file's own date (summer time for a
// file from July, winter time for one from January, whatever the day of packing), so the
// stored time does not depend on when packing ran; unpacking dates a file at the moment
// when the local clock showed its stored time, by the rules for that date, so files packed
// and unpacked in one zone get their own times back. A clock time that a change of offset
// repeats or skips is read with the larger of the two offsets (summer time): a repeated time
// is its first occurrence, and a skipped one lies before the change (02:30 on the day
// Berlin's clocks go from 02:00 to 03:00 is 00:30 UTC).
//
// The zone's rules come from the time-zone database on POSIX (posix/local_clock.h, for the
// packer's Windows time calls and tarnsplit's alike), and from Windows on Windows, where the
// rules of a past year are the year's own where Windows holds them (windows/local_zone.h).
#pragma once

#include <cstdint>

// Windows file times (FILETIME) count 100-nanosecond ticks since 1601-01-01 00:00 UTC;
// time_t and the times that sections store count seconds since 1970-01-01 00:00.
constexpr int64_t file_time_ticks_per_second = 10000000;
constexpr int64_t file_time_seconds_1601_to_1970 = 11644473600;
constexpr int64_t file_time_ticks_1601_to_1970 = file_time_seconds_1601_to_1970 * file_time_ticks_per_second;

// The ticks of a count of seconds since 1970 that is not before 1601.
constexpr uint64_t file_time_ticks_of_seconds(int64_t seconds) {
  return static_cast<uint64_t>((seconds + file_time_seconds_1601_to_1970) * file_time_ticks_per_second);
}

// A FILETIME, as <windows.h> or posix/native_api.h declares it, as one count of ticks.
template <class filetime>
constexpr uint64_t ticks_of(const filetime& time) {
  return static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// The FILETIME of a count of ticks: file_time_of_ticks<FILETIME>(ticks).
template <class filetime>
constexpr filetime file_time_of_ticks(uint64_t ticks) {
  filetime time = {};
  time.dwLowDateTime = static_cast<uint32_t>(ticks);
  time.dwHighDateTime = static_cast<uint32_t>(ticks >> 32);
  return time;
}
