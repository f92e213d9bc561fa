// The names tarnsplit can create in its output directory: the one decision whether a
// section's name is safe to extract, and the name of the description written beside the
// files. The packer refuses to store a name that this rule would refuse, so every
// container it writes unpacks.
#pragma once

#include <cstddef>
#include <string>

// tarnsplit keeps the first 250 characters of a section's name; later ones are dropped.
constexpr size_t extracted_name_length = 250;

// False for a name that could land outside the output directory, on a device, on another
// file than the one named, or on the description itself (description_name, any case):
// empty, ".", "..", separators and the other characters Windows forbids, control bytes,
// a trailing '.' or ' ', and the Windows device names with or without an extension.
bool is_safe_file_name(const char* name, const char* description_name);

// Whether a section stored under name can be extracted: its first extracted_name_length
// characters, as tarnsplit keeps them, make a safe name.
bool is_extractable_name(const char* name, const char* description_name);

// Why a section stored under name would not come back as it went in, through tarnsplit's
// extraction and the description it writes; the packer refuses such a name.
enum class name_fault {
  none,
  unsafe,         // not extractable (is_extractable_name)
  too_long,       // more than extracted_name_length characters: extraction would cut it
  leading_blank,  // the description's "File= x" reads back as "x"
};

name_fault stored_name_fault(const char* name, const char* description_name);

// file_name (a name without directories) cut at its last '.', the dot and what follows
// gone; whole when it has none.
std::string without_extension(const char* file_name);

// The description tarnsplit writes for the container container_file_name (a name without
// directories): the name with its extension replaced by ".ini".
std::string description_name_for(const char* container_file_name);

// name with every byte below 0x20 and 0x7F written as \xNN, safe to print on a terminal.
std::string printable_name(const char* name);
