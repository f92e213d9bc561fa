// The local clock of the machine's zone on POSIX, by the time-zone database's rules for each
// date: the one place where the rule of file_time.h meets the C library, for the packer's
// Windows time calls and tarnsplit's file times alike.
#pragma once

#include <cstdint>

// The offset from UTC, in seconds, that the local zone's rules give the moment instant
// (seconds since 1970). False when the C library cannot tell.
bool utc_offset_at(int64_t instant, int64_t* offset);

// The moment (seconds since 1970) at which the local clock showed local, a stored time;
// a repeated or skipped clock time is read with the summer offset. False when the C library
// cannot tell an offset.
bool instant_of_local(int64_t local, int64_t* instant);
