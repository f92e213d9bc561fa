// On POSIX names are bytes as written, in no code page of the system's.
#include "code_page.h"

bool is_lead_byte(char) { return false; }

ansi_conversion utf8_to_ansi(const char* utf8, size_t length, std::string* ansi) {
  ansi->append(utf8, length);
  return ansi_conversion::converted;
}
