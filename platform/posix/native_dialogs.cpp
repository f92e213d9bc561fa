// POSIX implementation of the Windows user-interface calls declared in native_api.h, on the
// console: the message box writes to standard error, the file-open dialog asks on the
// terminal.
#include <climits>
#include <cstdio>
#include <cstdlib>
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

// The folder of the file that path names, resolved to a full path as the system sees it,
// and the file's name. False when the folder cannot be resolved.
bool locate(const std::string& path, std::string& folder, std::string& name) {
  std::string native = native_path(path.c_str());
  std::string::size_type slash = native.rfind('/');
  std::string given = slash == std::string::npos ? "." : native.substr(0, slash == 0 ? 1 : slash);
  name = native.substr(slash + 1);  // npos + 1 is 0: the whole path is the name
  char resolved[PATH_MAX];
  if (!realpath(given.c_str(), resolved)) return false;
  folder = resolved;
  return true;
}

void say(const std::string& text) {
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

// What the prompt says when answer cannot be taken, or "" when it is chosen: full_path then
// holds its full path.
std::string choose(const OPENFILENAMEA& record, const std::string& answer, std::string& full_path) {
  const std::string too_long = "The file name is too long.\n";
  const std::string not_found = answer + ": file not found. Check the file name and try again.\n";
  if (answer.size() >= record.nMaxFile) return too_long;
  if ((record.Flags & OFN_FILEMUSTEXIST) && !names_existing_file(answer)) return not_found;
  std::string folder, name;
  if (!locate(answer, folder, name)) return not_found;
  full_path = folder + (folder == "/" ? "" : "/") + name;
  if (full_path.size() >= record.nMaxFile) return too_long;
  return std::string();
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

// Asks until the answer names an existing file (when OFN_FILEMUSTEXIST is set) whose full
// path fits lpstrFile, showing the description of the filter's first pair (the packer's
// filter index is 1), and returns that full path, as Windows' dialog does (the packer then
// makes its folder the current directory). An empty answer, the end of input, or standard
// input that is not a terminal is a cancel: FALSE, lpstrFile unchanged.
BOOL GetOpenFileNameA(LPOPENFILENAMEA record) {
  if (!isatty(STDIN_FILENO)) return FALSE;
  std::string prompt = std::string("Open (") + record->lpstrFilter + "): ";
  std::string answer, full_path;
  for (;;) {
    say(prompt);
    if (!read_line(answer) || answer.empty()) return FALSE;
    std::string refusal = choose(*record, answer, full_path);
    if (refusal.empty()) break;
    say(refusal);
  }
  std::memcpy(record->lpstrFile, full_path.c_str(), full_path.size() + 1);
  return TRUE;
}
