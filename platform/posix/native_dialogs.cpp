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
// holds its full path and, unless OFN_NOCHANGEDIR is set, its folder is the current one.
std::string choose(const OPENFILENAMEA& record, const std::string& answer, std::string& full_path) {
  const std::string too_long = "The file name is too long.\n";
  const std::string not_found = answer + ": file not found. Check the file name and try again.\n";
  if (answer.size() >= record.nMaxFile) return too_long;
  if ((record.Flags & OFN_FILEMUSTEXIST) && !names_existing_file(answer)) return not_found;
  std::string folder, name;
  if (!locate(answer, folder, name)) return not_found;
  full_path = folder + (folder == "/" ? "" : "/") + name;
  if (full_path.size() >= record.nMaxFile) return too_long;
  if (!(record.Flags & OFN_NOCHANGEDIR) && chdir(folder.c_str()) != 0) return not_found;
  return std::string();
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

// Asks until the answer names an existing file (when OFN_FILEMUSTEXIST is set) whose full
// path fits lpstrFile, and returns that full path. As Windows' dialog does unless
// OFN_NOCHANGEDIR is set, the chosen file's folder becomes the current directory: relative
// paths inside the file then mean the same on both systems. An empty answer, the end of
// input, or standard input that is not a terminal is a cancel: FALSE, lpstrFile and the
// current directory unchanged.
BOOL GetOpenFileNameA(LPOPENFILENAMEA record) {
  if (!record || !record->lpstrFile || record->nMaxFile == 0 ||
      (record->lStructSize != OPENFILENAME_SIZE_VERSION_400A && record->lStructSize != sizeof *record))
    return FALSE;
  if (!isatty(STDIN_FILENO)) return FALSE;

  std::string prompt = record->lpstrTitle ? record->lpstrTitle : "Open";
  if (const char* filter = filter_description(record->lpstrFilter, record->nFilterIndex))
    prompt += std::string(" (") + filter + ")";
  prompt += ": ";
  std::string answer, full_path;
  for (;;) {
    say(prompt);
    if (!read_line(answer) || answer.empty()) return FALSE;
    std::string refusal = choose(*record, answer, full_path);
    if (refusal.empty()) break;
    say(refusal);
  }
  store_choice(record, full_path);
  return TRUE;
}
