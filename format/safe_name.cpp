// The names tarnsplit can create.
#include "safe_name.h"

#include <cstdio>
#include <cstring>

#include "ascii_case.h"
#include "code_page.h"

namespace {

bool is_control(unsigned char c) { return c < 0x20 || c == 0x7F; }

// byte as a name shows it on a terminal: itself, or \xNN for a control byte. Returns shown.
const char* shown_byte(char byte, char (&shown)[5]) {
  auto c = static_cast<unsigned char>(byte);
  if (is_control(c)) {
    std::snprintf(shown, sizeof shown, "\\x%02X", c);
  } else {
    shown[0] = byte;
    shown[1] = '\0';
  }
  return shown;
}

// Whether stem, the part of a name before its first '.' with blanks trimmed, is one of the
// names Windows opens a device for.
bool is_device_stem(const char* stem, size_t length) {
  static const char* const devices[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
  for (const char* device : devices)
    if (length == std::strlen(device) && equal_ignoring_case(stem, device, length)) return true;
  if (length != 4) return false;
  if (!equal_ignoring_case(stem, "com", 3) && !equal_ignoring_case(stem, "lpt", 3)) return false;
  unsigned char digit = static_cast<unsigned char>(stem[3]);
  // '1' to '9', and the superscript digits 1, 2, 3 of the ANSI code page.
  return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

// Whether name's characters are ones a file name may hold, read by characters: the second
// byte of a double-byte character of the system's code page ('\\' in many) is none of its own.
bool has_only_name_characters(const char* name) {
  for (const char* p = name; *p; p = next_character(p))
    if (is_control(static_cast<unsigned char>(*p)) || std::strchr("/\\:<>\"|?*", *p)) return false;
  return true;
}

}  // namespace

bool is_safe_file_name(const char* name, const char* description_name) {
  size_t length = std::strlen(name);
  if (length == 0 || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  if (!has_only_name_characters(name)) return false;
  if (name[length - 1] == '.' || name[length - 1] == ' ') return false;

  if (is_device_name(name)) return false;

  return !(std::strlen(description_name) == length &&
           equal_ignoring_case(name, description_name, length));
}

bool is_device_name(const char* name) {
  size_t stem = std::strcspn(name, ".");
  while (stem > 0 && name[stem - 1] == ' ') --stem;
  return is_device_stem(name, stem);
}

bool is_extractable_name(const char* name, const char* description_name) {
  return is_safe_file_name(std::string(name).substr(0, extracted_name_length).c_str(), description_name);
}

name_fault stored_name_fault(const char* name, const char* description_name) {
  if (!is_extractable_name(name, description_name)) return name_fault::unsafe;
  if (std::strlen(name) > extracted_name_length) return name_fault::too_long;
  if (name[0] == ' ') return name_fault::leading_blank;
  return name_fault::none;
}

std::string without_extension(const char* file_name) {
  std::string kept(file_name);
  std::string::size_type dot = kept.rfind('.');
  if (dot != std::string::npos) kept.erase(dot);
  return kept;
}

std::string description_name_for(const char* container_file_name) {
  return without_extension(container_file_name) + ".ini";
}

std::string image_value(const char* file_name, const image_entry_head& head) {
  char numbers[24];
  std::snprintf(numbers, sizeof numbers, ",%u,%u,%u", static_cast<unsigned>(head.x_frames),
                static_cast<unsigned>(head.y_frames), static_cast<unsigned>(head.animation_time));
  return file_name + std::string(numbers);
}

image_name_fault image_name_fault_of(const char* file_name, const image_entry_head& head) {
  size_t length = std::strlen(file_name);
  for (const char* p = file_name; *p; p = next_character(p)) {  // a second byte may be '\\'
    if (is_control(static_cast<unsigned char>(*p))) return image_name_fault::control_byte;
    if (*p == ',') return image_name_fault::comma;
    if (*p == '\\' || *p == '/') return image_name_fault::separator;
  }
  if (length > 0 && (file_name[0] == ' ' || file_name[length - 1] == ' '))
    return image_name_fault::blank_at_end;
  if (image_value(file_name, head).size() > image_value_limit) return image_name_fault::too_long;
  return image_name_fault::none;
}

const char* image_name_fault_text(image_name_fault fault) {
  switch (fault) {
    case image_name_fault::control_byte: return "holds a control byte";
    case image_name_fault::comma: return "holds a comma";
    case image_name_fault::separator: return "holds a path separator";
    case image_name_fault::blank_at_end: return "begins or ends with a blank";
    case image_name_fault::too_long:
      static_assert(image_value_limit == 255, "the text names the limit");
      return "is too long: with its numbers it passes 255 characters";
    case image_name_fault::none: break;
  }
  return "is sound";
}

std::string printable_name(const char* name) {
  std::string text;
  for (const char* p = name; *p; ++p) {
    char shown[5];
    text += shown_byte(*p, shown);
  }
  return text;
}

void copy_printable(char* buffer, size_t size, const char* name) {
  size_t used = 0;
  for (const char* p = name; *p; ++p) {
    char shown[5];
    size_t length = std::strlen(shown_byte(*p, shown));
    if (used + length >= size) break;  // a byte is shown whole or not at all
    std::memcpy(buffer + used, shown, length);
    used += length;
  }
  buffer[used] = '\0';
}
