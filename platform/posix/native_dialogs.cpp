// POSIX implementation of the Windows user-interface calls declared in native_api.h, on the
// console: the message box writes to standard error, the file-open dialog asks on the
// terminal.
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "native_api.h"
#include "posix_errors.h"

namespace {

// The program's module: any address that stays the same for the whole run.
char this_module;

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

}  // namespace

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
  std::string line = std::string(caption ? caption : "Error") + ": " + (text ? text : "");
  if (line.back() != '\n') line += '\n';
  say(line);
  return 1;  // IDOK, the box's one button
}

HWND GetActiveWindow() { return nullptr; }

HMODULE GetModuleHandleA(LPCSTR) { return reinterpret_cast<HMODULE>(&this_module); }

// Asks until the answer names an existing file (when OFN_FILEMUSTEXIST is set) that fits
// lpstrFile, showing the description of the filter's first pair (the packer's filter index
// is 1). An empty answer, the end of input, or standard input that is not a terminal is a
// cancel: FALSE, lpstrFile unchanged.
BOOL GetOpenFileNameA(LPOPENFILENAMEA record) {
  if (!isatty(STDIN_FILENO)) return FALSE;
  std::string prompt = std::string("Open (") + record->lpstrFilter + "): ";
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
  std::memcpy(record->lpstrFile, answer.c_str(), answer.size() + 1);
  return TRUE;
}
