// The POSIX side's last-error state and paths: errno turned into the Windows code that
// matches it, and backslashes turned into '/'.
#include "posix_errors.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

// Per thread, as Windows keeps it: tarnpack's workers read files side by side.
thread_local uint32_t g_last_error = 0;

constexpr uint32_t error_file_not_found = 2;
constexpr uint32_t error_path_not_found = 3;

uint32_t windows_code_of(int err) {
  switch (err) {
    case 0: return 0;
    case ENOENT: return error_file_not_found;
    case ENOTDIR: return error_path_not_found;
    case EACCES: case EPERM: case EISDIR: return error_access_denied;
    case EMFILE: case ENFILE: return 4;       // too many open files
    case ENOMEM: return 8;                    // not enough memory
    case EROFS: return 19;                    // write protected
    case EBUSY: case ETXTBSY: return 32;      // sharing violation
    case EEXIST: return 183;                  // already exists
    case EINVAL: return 87;                   // invalid parameter
    case ENOSPC: case EDQUOT: case EFBIG: return 112;  // disk full
    case ENAMETOOLONG: return 206;            // name too long
    case ELOOP: return 1921;                  // cannot resolve the name
    case EIO: return 1117;                    // device I/O error
    default: return 31;                       // general failure
  }
}

bool parent_directory_exists(const std::string& path) {
  std::string::size_type slash = path.find_last_of('/');
  if (slash == std::string::npos) return true;
  std::string parent = slash == 0 ? std::string("/") : path.substr(0, slash);
  struct stat st;
  return stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

void record_error(uint32_t windows_code) { g_last_error = windows_code; }
uint32_t recorded_error() { return g_last_error; }

void record_errno(int err, const std::string& path) {
  uint32_t code = windows_code_of(err);
  if (code == error_file_not_found && !path.empty() && !parent_directory_exists(path))
    code = error_path_not_found;
  record_error(code);
}

std::string native_path(const char* path) {
  std::string native(path);
  for (char& c : native)
    if (c == '\\') c = '/';
  return native;
}
