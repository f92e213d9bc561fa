// The rules of the machine's time zone for one year, as Windows holds them: the time calls
// of both programs take them, following the rule of file_time.h.
#pragma once

#include <windows.h>

// Fills rules with the zone's rules for the year year of its local clock and returns rules,
// for SystemTimeToTzSpecificLocalTime and TzSpecificLocalTimeToSystemTime. Windows keeps the
// rules of past years for many zones (the United States' before 2007, say), which its calls
// without them would replace by today's. nullptr, which those calls read as the zone's
// current rules, where Windows holds none for the zone, or daylight saving is turned off
// (the current rules then have none).
const TIME_ZONE_INFORMATION* local_zone_rules(WORD year, TIME_ZONE_INFORMATION* rules);
