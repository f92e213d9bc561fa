// The ANSI code page of Windows, in which the programs' names are read.
#include "code_page.h"

#include <windows.h>

#include <climits>
#include <vector>

bool is_lead_byte(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != 0; }

ansi_conversion utf8_to_ansi(const char* utf8, size_t length, std::string* ansi) {
  if (length == 0) return ansi_conversion::converted;
  int size = length <= INT_MAX ? static_cast<int>(length) : 0;
  int wide_size = size ? MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, size, nullptr, 0) : 0;
  if (wide_size == 0) {
    ansi->append(utf8, length);
    return ansi_conversion::not_utf8;
  }
  std::vector<wchar_t> wide(static_cast<size_t>(wide_size));
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, size, wide.data(), wide_size);
  // With UTF-8 for the code page every character has a form, and Windows refuses the flag
  // and the question about a default character.
  UINT code_page = GetACP();
  DWORD flags = code_page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  BOOL* used_default = code_page == CP_UTF8 ? nullptr : &defaulted;
  int ansi_size = WideCharToMultiByte(code_page, flags, wide.data(), wide_size, nullptr, 0, nullptr, used_default);
  std::vector<char> converted(static_cast<size_t>(ansi_size));
  if (ansi_size > 0)
    ansi_size = WideCharToMultiByte(code_page, flags, wide.data(), wide_size, converted.data(), ansi_size,
                                    nullptr, used_default);
  if (ansi_size <= 0) {
    ansi->append(utf8, length);
    return ansi_conversion::not_in_code_page;
  }
  ansi->append(converted.data(), static_cast<size_t>(ansi_size));
  return defaulted ? ansi_conversion::not_in_code_page : ansi_conversion::converted;
}
