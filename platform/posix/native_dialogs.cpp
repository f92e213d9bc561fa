// POSIX implementation of the Windows user-interface calls declared in native_api.h, on the
// console: the message box writes to standard error, the file-open dialog asks on the
// terminal.
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "native_api.h"
#include "paths.h"
#include "posix_errors.h"

namespace {

// The program's module: any address that stays the same for the whole run.
char this_module;

constexpr DWORD error_mod_not_found = 126;

// The description of the filter pair numbered index (from 1) in a list of NUL-separated
// description/pattern pairs ended by an empty string, or nullptr.
const char* filter_description(const char* filter, DWORD index) {
  if (!filter || index == 0) return nullptr;
  for (DWORD pair = 1; *filter; ++pair) {
    if (pair == index) return filter;
    filter += std::strlen(filter) + 1;  // the description
    if (!*filter) return nullptr;
    filter += std::strlen(filter) + 1;  // the pattern
  }
  return nullptr;
}

// One line of standard input without its line end; false at the end of input.
bool read_line(std::string& line) {
  line.clear();
  int c;
  while ((c = std::getc(stdin)) != EOF && c != '\n') line += static_cast<char>(c);
  if (c == EOF && line.empty()) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool names_existing_file(const std::string& path) {
  struct stat st;
  return stat(native_path(path.c_str()).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

void say(const std::string& text) {
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

void store_choice(OPENFILENAMEA* record, const std::string& path) {
  std::memcpy(record->lpstrFile, path.c_str(), path.size() + 1);
  const char* name = file_name_of(record->lpstrFile);
  const char* dot = std::strrchr(name, '.');
  record->nFileOffset = static_cast<WORD>(name - record->lpstrFile);
  record->nFileExtension = static_cast<WORD>(dot ? dot + 1 - record->lpstrFile : 0);
}

}  // namespace

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
  std::string line = std::string(caption ? caption : "Error") + ": " + (text ? text : "");
  if (line.back() != '\n') line += '\n';
  say(line);
  return IDOK;
}

HWND GetActiveWindow() { return nullptr; }

HMODULE GetModuleHandleA(LPCSTR module_name) {
  if (module_name) {
    record_error(error_mod_not_found);
    return nullptr;
  }
  return reinterpret_cast<HMODULE>(&this_module);
}

// Asks until the answer names an existing file (when OFN_FILEMUSTEXIST is set) that fits
// lpstrFile. An empty answer, the end of input, or standard input that is not a terminal
// is a cancel: FALSE, lpstrFile unchanged.
BOOL GetOpenFileNameA(LPOPENFILENAMEA record) {
  if (!record || !record->lpstrFile || record->nMaxFile == 0 ||
      (record->lStructSize != OPENFILENAME_SIZE_VERSION_400A && record->lStructSize != sizeof *record))
    return FALSE;
  if (!isatty(STDIN_FILENO)) return FALSE;

  std::string prompt = record->lpstrTitle ? record->lpstrTitle : "Open";
  if (const char* filter = filter_description(record->lpstrFilter, record->nFilterIndex))
    prompt += std::string(" (") + filter + ")";
  prompt += ": ";
  std::string answer;
  for (;;) {
    say(prompt);
    if (!read_line(answer) || answer.empty()) return FALSE;
    if (answer.size() >= record->nMaxFile)
      say("The file name is too long.\n");
    else if ((record->Flags & OFN_FILEMUSTEXIST) && !names_existing_file(answer))
      say(answer + ": file not found. Check the file name and try again.\n");
    else
      break;
  }
  store_choice(record, answer);
  return TRUE;
}
