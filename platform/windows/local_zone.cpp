// The rules of the machine's time zone for one year, as Windows holds them.
#include "local_zone.h"

const TIME_ZONE_INFORMATION* local_zone_rules(WORD year, TIME_ZONE_INFORMATION* rules) {
  DYNAMIC_TIME_ZONE_INFORMATION zone;
  // The year's rules are looked up by the zone's name, which does not tell that the user has
  // turned daylight saving off.
  if (GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID || zone.DynamicDaylightTimeDisabled ||
      !GetTimeZoneInformationForYear(year, &zone, rules))
    return nullptr;
  return rules;
}
