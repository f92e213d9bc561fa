// POSIX implementation of the Windows file and time calls declared in native_api.h.
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "file_time.h"
#include "local_clock.h"
#include "native_api.h"
#include "posix_errors.h"

namespace {

constexpr int64_t unix_epoch_seconds = file_time_seconds_1601_to_1970;
constexpr uint64_t ticks_per_second = file_time_ticks_per_second;

// find handles carry no state: every lookup is complete when FindFirstFileA returns.
char find_token;

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd)); }

// The descriptor behind a file handle, or -1 (invalid handle recorded).
int fd_of(HANDLE file) {
  auto fd = reinterpret_cast<intptr_t>(file);
  if (file == INVALID_HANDLE_VALUE || file == &find_token || fd < 0 || fd > INT32_MAX) {
    record_error(error_invalid_handle);
    return -1;
  }
  return static_cast<int>(fd);
}

// The status of the file that handle file stands for; false, with the error recorded, when
// the handle is invalid or the system cannot tell.
bool stat_of(HANDLE file, struct stat* st) {
  int fd = fd_of(file);
  if (fd < 0) return false;
  if (fstat(fd, st) == 0) return true;
  record_errno(errno);
  return false;
}

// Access is GENERIC_READ, with GENERIC_WRITE for writing, or 0 to ask about the file only;
// -1 for a disposition other than the packer's.
int open_flags(DWORD access, DWORD disposition) {
  if (access == 0) return disposition == OPEN_EXISTING ? O_PATH | O_CLOEXEC : -1;
  // Non-blocking, so that a FIFO cannot hang the open.
  int flags = O_CLOEXEC | O_NONBLOCK | ((access & GENERIC_WRITE) ? O_RDWR : O_RDONLY);
  if (disposition == OPEN_EXISTING) return flags;
  if (disposition == CREATE_ALWAYS) return flags | O_CREAT | O_TRUNC;
  // O_EXCL never follows a link that has the name.
  if (disposition == CREATE_NEW) return flags | O_CREAT | O_EXCL;
  return -1;
}

// A regular file always opens; for writing a character device too (as NUL does on
// Windows). Directories, FIFOs and sockets never do, as on Windows, except to be asked about.
bool may_open(const struct stat& st, DWORD access) {
  return access == 0 || S_ISREG(st.st_mode) || ((access & GENERIC_WRITE) && S_ISCHR(st.st_mode));
}

// Writes the folder holding path to the disk, so that a rename in it lasts. Best effort: the
// rename has happened whatever this gives.
void flush_folder_of(const std::string& path) {
  std::string::size_type slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// A FILETIME counts below 2^63 ticks (the year 30828).
constexpr int64_t latest_seconds = INT64_MAX / static_cast<int64_t>(ticks_per_second) - unix_epoch_seconds;

// Some file systems hold later times; they are taken as this moment, two days short of that
// end, so that adding any time zone's offset still leaves a time after 2106 rather than one
// that wraps around.
constexpr int64_t latest_file_seconds = latest_seconds - 2 * 86400;

FILETIME file_time_of(const struct timespec& time) {
  uint64_t ticks = 0;
  if (time.tv_sec > latest_file_seconds)
    ticks = file_time_ticks_of_seconds(latest_file_seconds);
  else if (time.tv_sec >= -unix_epoch_seconds)
    ticks = file_time_ticks_of_seconds(time.tv_sec) + static_cast<uint64_t>(time.tv_nsec) / 100;
  return file_time_of_ticks<FILETIME>(ticks);
}

// The FILETIME of seconds since 1970 and milliseconds; false beyond what one holds.
bool file_time_at(int64_t seconds, WORD milliseconds, FILETIME* time) {
  if (seconds < -unix_epoch_seconds || seconds > latest_seconds) return false;
  uint64_t ticks = file_time_ticks_of_seconds(seconds) + uint64_t{milliseconds} * (ticks_per_second / 1000);
  if (ticks > static_cast<uint64_t>(INT64_MAX)) return false;
  *time = file_time_of_ticks<FILETIME>(ticks);
  return true;
}

// Broken-down time fields, as gmtime_r gives them, as a SYSTEMTIME.
SYSTEMTIME system_time_of(const struct tm& fields, WORD milliseconds) {
  return SYSTEMTIME{static_cast<WORD>(fields.tm_year + 1900), static_cast<WORD>(fields.tm_mon + 1),
                    static_cast<WORD>(fields.tm_wday), static_cast<WORD>(fields.tm_mday),
                    static_cast<WORD>(fields.tm_hour), static_cast<WORD>(fields.tm_min),
                    static_cast<WORD>(fields.tm_sec), milliseconds};
}

// Seconds since 1970 of time read as UTC. False for a field out of range (a 31st of April,
// an hour 24), which Windows refuses where timegm would carry it into the next field, and
// for a time that no FILETIME holds.
bool seconds_of(const SYSTEMTIME& time, int64_t* seconds) {
  struct tm fields = {};
  fields.tm_year = time.wYear - 1900;
  fields.tm_mon = time.wMonth - 1;
  fields.tm_mday = time.wDay;
  fields.tm_hour = time.wHour;
  fields.tm_min = time.wMinute;
  fields.tm_sec = time.wSecond;
  time_t value = timegm(&fields);
  if (time.wMilliseconds > 999 || fields.tm_year != time.wYear - 1900 || fields.tm_mon != time.wMonth - 1 ||
      fields.tm_mday != time.wDay || fields.tm_hour != time.wHour || fields.tm_min != time.wMinute ||
      fields.tm_sec != time.wSecond || value < -unix_epoch_seconds || value > latest_seconds)
    return false;
  *seconds = value;
  return true;
}

BOOL invalid_parameter() {
  record_errno(EINVAL);
  return FALSE;
}

}  // namespace

DWORD GetLastError() { return recorded_error(); }

void SetLastError(DWORD code) { record_error(code); }

HANDLE CreateFileA(LPCSTR file_name, DWORD desired_access, DWORD, LPSECURITY_ATTRIBUTES,
                   DWORD creation_disposition, DWORD, HANDLE) {
  int flags = open_flags(desired_access, creation_disposition);
  if (flags < 0) {
    record_errno(EINVAL);
    return INVALID_HANDLE_VALUE;
  }
  std::string path = native_path(file_name);
  int fd = open(path.c_str(), flags, 0666);
  if (fd < 0) {
    if (errno == EEXIST)
      record_error(ERROR_FILE_EXISTS);  // what CREATE_NEW meets, where mkdir's code is another
    else
      record_errno(errno, path);
    return INVALID_HANDLE_VALUE;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !may_open(st, desired_access)) {
    close(fd);
    record_error(error_access_denied);  // what Windows says for a directory
    return INVALID_HANDLE_VALUE;
  }
  if (desired_access != 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  record_error(NO_ERROR);
  return handle_of(fd);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD count_read, LPOVERLAPPED) {
  if (count_read) *count_read = 0;
  int fd = fd_of(file);
  if (fd < 0) return FALSE;
  // One call may deliver less than asked; Windows reads a disk file up to its end.
  DWORD done = 0;
  while (done < count) {
    ssize_t got = read(fd, static_cast<char*>(buffer) + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      record_errno(errno);
      if (count_read) *count_read = done;
      return FALSE;
    }
    if (got == 0) break;
    done += static_cast<DWORD>(got);
  }
  if (count_read) *count_read = done;
  return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD count_written, LPOVERLAPPED) {
  if (count_written) *count_written = 0;
  int fd = fd_of(file);
  if (fd < 0) return FALSE;
  DWORD done = 0;
  while (done < count) {
    ssize_t put = write(fd, static_cast<const char*>(buffer) + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      record_errno(put < 0 ? errno : ENOSPC);
      if (count_written) *count_written = done;
      return FALSE;
    }
    done += static_cast<DWORD>(put);
  }
  if (count_written) *count_written = done;
  return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD size_high) {
  struct stat st;
  if (!stat_of(file, &st)) return INVALID_FILE_SIZE;
  auto size = static_cast<uint64_t>(st.st_size);
  if (size_high) *size_high = static_cast<DWORD>(size >> 32);
  record_error(NO_ERROR);  // tells a size of 0xFFFFFFFF from a failure
  return static_cast<DWORD>(size);
}

BOOL FlushFileBuffers(HANDLE file) {
  int fd = fd_of(file);
  if (fd < 0) return FALSE;
  if (fsync(fd) != 0) {
    record_errno(errno);
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileType(HANDLE file) {
  struct stat st;
  if (!stat_of(file, &st)) return FILE_TYPE_UNKNOWN;
  record_error(NO_ERROR);
  if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) return FILE_TYPE_DISK;
  if (S_ISCHR(st.st_mode)) return FILE_TYPE_CHAR;
  if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) return FILE_TYPE_PIPE;
  return FILE_TYPE_UNKNOWN;
}

BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information) {
  struct stat st;
  if (!stat_of(file, &st)) return FALSE;
  auto device = static_cast<uint64_t>(st.st_dev);
  auto size = static_cast<uint64_t>(st.st_size);
  auto index = static_cast<uint64_t>(st.st_ino);
  information->dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  information->ftCreationTime = file_time_of(st.st_mtim);  // POSIX keeps no creation time
  information->ftLastAccessTime = file_time_of(st.st_atim);
  information->ftLastWriteTime = file_time_of(st.st_mtim);
  information->dwVolumeSerialNumber = static_cast<DWORD>(device ^ (device >> 32));
  information->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  information->nFileSizeLow = static_cast<DWORD>(size);
  information->nNumberOfLinks = static_cast<DWORD>(st.st_nlink);
  information->nFileIndexHigh = static_cast<DWORD>(index >> 32);
  information->nFileIndexLow = static_cast<DWORD>(index);
  return TRUE;
}

DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR path, DWORD size, DWORD flags) {
  int fd = fd_of(file);
  if (fd < 0) return 0;
  if (flags != 0) return invalid_parameter();
  // The kernel keeps the path of every open file; links are resolved in it.
  char final[PATH_MAX];
  ssize_t length = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), final, sizeof final);
  if (length < 0 || length == static_cast<ssize_t>(sizeof final)) {
    record_errno(length < 0 ? errno : ENAMETOOLONG);
    return 0;
  }
  auto needed = static_cast<DWORD>(length);
  if (needed >= size) return needed + 1;
  std::memcpy(path, final, needed);
  path[needed] = '\0';
  return needed;
}

BOOL CloseHandle(HANDLE object) {
  int fd = fd_of(object);
  if (fd < 0) return FALSE;
  if (close(fd) != 0) {
    record_errno(errno);
    return FALSE;
  }
  return TRUE;
}

HANDLE FindFirstFileA(LPCSTR file_name, LPWIN32_FIND_DATAA find_data) {
  std::string path = native_path(file_name);
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    record_errno(errno, path);
    return INVALID_HANDLE_VALUE;
  }
  find_data->ftLastWriteTime = file_time_of(st.st_mtim);
  return &find_token;
}

BOOL FindClose(HANDLE find) {
  if (find != &find_token) {
    record_error(error_invalid_handle);
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR file_name) {
  std::string path = native_path(file_name);
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    record_errno(errno, path);
    return INVALID_FILE_ATTRIBUTES;
  }
  if (!S_ISLNK(st.st_mode)) return S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  bool directory = stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  return FILE_ATTRIBUTE_REPARSE_POINT | (directory ? FILE_ATTRIBUTE_DIRECTORY : 0);
}

BOOL DeleteFileA(LPCSTR file_name) {
  std::string path = native_path(file_name);
  if (unlink(path.c_str()) != 0) {
    record_errno(errno, path);
    return FALSE;
  }
  return TRUE;
}

BOOL MoveFileExA(LPCSTR existing, LPCSTR new_name, DWORD flags) {
  if (!(flags & MOVEFILE_REPLACE_EXISTING) || (flags & ~(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)))
    return invalid_parameter();
  std::string from = native_path(existing), to = native_path(new_name);
  if (rename(from.c_str(), to.c_str()) != 0) {
    record_errno(errno, to);
    return FALSE;
  }
  if (flags & MOVEFILE_WRITE_THROUGH) flush_folder_of(to);
  return TRUE;
}

BOOL ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, LPVOID, LPVOID) {
  if (backup || (flags & ~REPLACEFILE_IGNORE_MERGE_ERRORS)) return invalid_parameter();
  std::string to = native_path(replaced), from = native_path(replacement);
  struct stat st;
  if (stat(to.c_str(), &st) != 0) {
    record_errno(errno, to);
    return FALSE;
  }
  int fd = open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    record_errno(errno, from);
    return FALSE;
  }
  // The owner first, since a change of owner may clear permission bits.
  if (fchown(fd, st.st_uid, st.st_gid) != 0) {
    // Only root may give a file away; anyone else's replacement stays theirs, as a file they
    // wrote.
  }
  bool kept = fchmod(fd, st.st_mode & 0777) == 0;
  int err = errno;
  close(fd);
  if (!kept && !(flags & REPLACEFILE_IGNORE_MERGE_ERRORS)) {
    record_errno(err);
    return FALSE;
  }
  if (rename(from.c_str(), to.c_str()) != 0) {
    record_errno(errno, to);
    return FALSE;
  }
  flush_folder_of(to);
  return TRUE;
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

BOOL SetCurrentDirectoryA(LPCSTR path) {
  std::string native = native_path(path);
  if (chdir(native.c_str()) != 0) {
    record_errno(errno, native);
    return FALSE;
  }
  return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* file_time, LPSYSTEMTIME system_time) {
  uint64_t ticks = ticks_of(*file_time);
  auto seconds = static_cast<time_t>(static_cast<int64_t>(ticks / ticks_per_second) - unix_epoch_seconds);
  struct tm fields;
  if (ticks > static_cast<uint64_t>(INT64_MAX) || !gmtime_r(&seconds, &fields)) return invalid_parameter();
  auto milliseconds = static_cast<WORD>(ticks % ticks_per_second / (ticks_per_second / 1000));
  *system_time = system_time_of(fields, milliseconds);
  return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* system_time, FILETIME* file_time) {
  int64_t seconds = 0;
  if (!seconds_of(*system_time, &seconds) || !file_time_at(seconds, system_time->wMilliseconds, file_time))
    return invalid_parameter();
  return TRUE;
}

BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* universal_time,
                                     LPSYSTEMTIME local_time) {
  int64_t seconds = 0, offset = 0;
  FILETIME local_file_time;
  if (zone || !seconds_of(*universal_time, &seconds) || !utc_offset_at(seconds, &offset) ||
      !file_time_at(seconds + offset, universal_time->wMilliseconds, &local_file_time))
    return invalid_parameter();
  return FileTimeToSystemTime(&local_file_time, local_time);
}
