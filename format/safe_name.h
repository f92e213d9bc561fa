// The names tarnsplit can create in its output directory: the one decision whether a
// section's name is safe to extract, and the name of the description written beside the
// files; and the image names it can write into that description. The packer refuses to
// store a name that these rules would refuse, so every container it writes unpacks.
#pragma once

#include <cstddef>
#include <string>

#include "object_section.h"

// tarnsplit keeps the first 250 characters of a section's name; later ones are dropped.
constexpr size_t extracted_name_length = 250;

// False for a name that could land outside the output directory, on a device, on another
// file than the one named, or on the description itself (description_name, any case):
// empty, ".", "..", separators and the other characters Windows forbids, control bytes,
// a trailing '.' or ' ', and the Windows device names with or without an extension. Read by
// characters of the system's code page: the second byte of a double-byte character is no
// separator (code_page.h).
bool is_safe_file_name(const char* name, const char* description_name);

// True for a name (without directories) under which Windows opens a device whatever its
// extension: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9, LPT1 to LPT9, in any case
// and with any blanks before the first '.' ("nul.txt", "Com1 .bmp").
bool is_device_name(const char* name);

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

// An image's line in the description is "IMAGEn=" and this value: its file name and numbers,
// "file_name,x_frames,y_frames,animation_time".
std::string image_value(const char* file_name, const image_entry_head& head);

// tarnpack reads at most this many characters of an IMAGEn value (a 256-byte buffer).
constexpr size_t image_value_limit = 255;

// Why tarnpack would read an image's line back as another entry. It reads the value cut to
// image_value_limit characters, splits it at commas, drops the blanks around each field
// and keeps the part of the file field after its last '\' (or '/', on POSIX; the second
// byte of a double-byte character is none), and a control byte may end the line or drive a
// terminal.
enum class image_name_fault {
  none,
  control_byte,  // a byte below 0x20, or 0x7F
  comma,
  separator,     // '\' or '/', whichever platform reads the line
  blank_at_end,  // a blank first or last
  too_long,      // the value passes image_value_limit
};

image_name_fault image_name_fault_of(const char* file_name, const image_entry_head& head);

// The fault as words that follow "its name": "holds a comma".
const char* image_name_fault_text(image_name_fault fault);

// name with every byte below 0x20 and 0x7F written as \xNN, safe to print on a terminal.
std::string printable_name(const char* name);

// The same into buffer (size bytes, at least 1), cut before the first byte that does not fit
// whole, terminated; for callers that may not allocate.
void copy_printable(char* buffer, size_t size, const char* name);
