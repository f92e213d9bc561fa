// SOURCE_DATE_EPOCH: the latest modification time tarnpack stores for a file, so that a
// zone checked out afresh (every file dated "now") packs into the same container each time.
#pragma once

#include <cstdint>
#include <string>

// The environment variable's name.
constexpr char source_date_variable[] = "SOURCE_DATE_EPOCH";

// The latest time to store for a file: when set, a file written later is stored with this
// time instead, converted as a file's own time is.
struct time_clamp {
  bool set = false;
  std::string setting;          // the variable's value, seconds since 1970-01-01 00:00 UTC
  uint64_t latest = UINT64_MAX;  // as file-time ticks; UINT64_MAX beyond what they hold
};

// The clamp that setting, the variable's value (nullptr when unset), asks for: none when it
// is unset or empty. Throws text_exception, naming the variable and the value, when it is
// anything but decimal digits.
time_clamp source_date_clamp(const char* setting);
