// The POSIX side's last-error state, one per thread: every failing call of this layer records
// the Windows code that matches its errno, so messages read the same on both platforms.
#pragma once

#include <cstdint>
#include <string>

// Records the Windows code for err; path (native form) tells a missing file (2) from a
// missing directory on the way to it (3).
void record_errno(int err, const std::string& path = std::string());
void record_error(uint32_t windows_code);
uint32_t recorded_error();

constexpr uint32_t error_access_denied = 5;  // also what Windows says for a directory
constexpr uint32_t error_invalid_handle = 6;

// path with every backslash turned into '/', ready for the system.
std::string native_path(const char* path);
