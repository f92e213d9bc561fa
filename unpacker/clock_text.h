// The date and time that a section's stored time stands for, as text.
#pragma once

#include <cstdint>
#include <string>

// "YYYY-MM-DD HH:MM:SS" (with separator between date and time: ' ', or 'T' for ISO 8601)
// for seconds counted from 1970-01-01 00:00:00 by the clock that stored them: the packer's
// local wall-clock time. Plain calendar arithmetic, never a time zone, so the text is the
// same in every zone and on every platform; 0 is 1970-01-01 00:00:00.
std::string clock_text(uint32_t seconds, char separator = ' ');
