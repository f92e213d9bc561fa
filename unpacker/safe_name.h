// The one decision whether a section's name may be created inside the output directory.
#pragma once

#include <string>

// False for a name that could land outside the output directory, on a device, on another
// file than the one named, or on the description itself (description_name, any case):
// empty, ".", "..", separators and the other characters Windows forbids, control bytes,
// a trailing '.' or ' ', and the Windows device names with or without an extension.
bool is_safe_file_name(const char* name, const char* description_name);

// name with every byte below 0x20 and 0x7F written as \xNN, safe to print on a terminal.
std::string printable_name(const char* name);
