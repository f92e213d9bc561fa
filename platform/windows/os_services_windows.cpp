// Windows implementation of the services declared in os_services.h: the real calls.
#include "os_services.h"

#include <windows.h>

#include <conio.h>
#include <direct.h>
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>

#include <algorithm>
#include <string>

#include "file_time.h"
#include "local_zone.h"
#include "paths.h"

namespace {

FILE* stream_over(HANDLE handle, int flags, const char* mode) {
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  FILE* stream = _fdopen(fd, mode);
  if (!stream) _close(fd);
  return stream;
}

}  // namespace

uint32_t last_error() { return GetLastError(); }

bool full_path(const char* path, char* dest, size_t size) {
  return _fullpath(dest, *path ? path : ".", size) != nullptr;
}

make_directory_result make_directory(const char* path) {
  if (_mkdir(path) == 0) return make_directory_result::made;
  if (errno == ENOENT) return make_directory_result::path_not_found;
  if (errno != EEXIST) return make_directory_result::other_failure;
  // Something that is no directory (a link to one counts as one) may hold the name.
  DWORD attributes = GetFileAttributesA(path);
  bool directory = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  return directory ? make_directory_result::other_failure : make_directory_result::path_not_found;
}

FILE* open_input_stream(const char* path) {
  // Shared as the C library's fopen shares. Without FILE_FLAG_BACKUP_SEMANTICS a directory
  // does not open (access denied).
  HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                              nullptr);
  if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return stream_over(handle, _O_RDONLY | _O_BINARY, "rb");
}

namespace {

// Temporary names tried before giving up: the first is taken only by a run of the same
// process number killed before, or by a file of that name extracted earlier.
constexpr int temporary_attempts = 100;

bool identity_of(HANDLE handle, file_identity* identity) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information)) return false;
  identity->volume = information.dwVolumeSerialNumber;
  identity->index = uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow;
  return true;
}

// The identity of the entry at path itself, a link or junction not followed.
bool entry_identity(const char* path, file_identity* identity) {
  HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool known = identity_of(handle, identity);
  CloseHandle(handle);
  return known;
}

// Creates the temporary file of path exclusively, never through a reparse point: its handle
// and name, or INVALID_HANDLE_VALUE.
HANDLE create_temporary(const char* path, std::string* temporary) {
  std::string process = std::to_string(GetCurrentProcessId());
  for (int attempt = 0; attempt < temporary_attempts; ++attempt) {
    *temporary = temporary_path(path, attempt ? process + "-" + std::to_string(attempt) : process);
    HANDLE handle = CreateFileA(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    DWORD code = GetLastError();
    if (handle != INVALID_HANDLE_VALUE || (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS))
      return handle;
  }
  return INVALID_HANDLE_VALUE;
}

// Renames temporary onto path. A link or junction there is removed itself, never followed; a
// file there is replaced by ReplaceFileA, which keeps its attributes and security.
bool take_name(const char* temporary, const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(path) : DeleteFileA(path);
    if (!removed) return false;
    attributes = INVALID_FILE_ATTRIBUTES;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (ReplaceFileA(path, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) return true;
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;  // else gone meanwhile
  }
  return MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING) != 0;
}

// Removes the temporary file, keeping the last-error code of the failure that led here.
void remove_temporary(const std::string& temporary) {
  DWORD code = GetLastError();
  DeleteFileA(temporary.c_str());
  SetLastError(code);
}

}  // namespace

bool stream_identity(FILE* stream, file_identity* identity) {
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  return handle != INVALID_HANDLE_VALUE && identity_of(handle, identity);
}

bool path_identity(const char* path, file_identity* identity) {
  // FILE_FLAG_BACKUP_SEMANTICS opens a directory; no access is asked for, only its identity.
  HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool known = identity_of(handle, identity);
  CloseHandle(handle);
  return known;
}

namespace {

// Whether a file staged for path may replace what is there: nothing, a link, or a file that
// is not read-only and none of in_use. False (last error set) otherwise.
bool replaceable(const char* path, const std::vector<file_identity>& in_use) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  file_identity identity;
  if (entry_identity(path, &identity) && std::find(in_use.begin(), in_use.end(), identity) != in_use.end()) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  // A read-only file stays as it is, as a "wb" open would leave it.
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return true;
}

}  // namespace

bool stage_output_file(const char* path, const std::vector<file_identity>& in_use, staged_file* file) {
  if (!replaceable(path, in_use)) return false;
  std::string temporary;
  HANDLE handle = create_temporary(path, &temporary);
  if (handle == INVALID_HANDLE_VALUE) return false;
  FILE* stream = stream_over(handle, _O_WRONLY | _O_BINARY, "wb");
  if (!stream) {
    remove_temporary(temporary);
    return false;
  }
  *file = staged_file{stream, path, temporary};
  return true;
}

bool may_take_name(const staged_file& file, const std::vector<file_identity>& in_use) {
  return replaceable(file.path.c_str(), in_use);
}

commit_result commit_staged_file(staged_file* file) {
  bool closed = close_stream(file->stream);
  file->stream = nullptr;
  bool renamed = closed && take_name(file->temporary.c_str(), file->path.c_str());
  if (!renamed) remove_temporary(file->temporary);
  file->temporary.clear();
  if (renamed) return commit_result::committed;
  return closed ? commit_result::not_renamed : commit_result::write_failed;
}

void discard_staged_file(staged_file* file) {
  if (file->stream) fclose(file->stream);
  file->stream = nullptr;
  if (!file->temporary.empty()) remove_temporary(file->temporary);
  file->temporary.clear();
}

namespace {

// After a write of the C runtime's that failed (the last-error code cleared before it): a
// write that the system cut short without failing ran out of room, and the runtime tells
// of it by errno or not at all. It gets the code that the system gives a full disk.
void name_a_full_disk() {
  if (GetLastError() == NO_ERROR || errno == ENOSPC) SetLastError(ERROR_DISK_FULL);
}

}  // namespace

bool write_stream(FILE* stream, const void* data, size_t count) {
  SetLastError(NO_ERROR);
  if (fwrite(data, 1, count, stream) == count) return true;
  name_a_full_disk();
  return false;
}

bool close_stream(FILE* stream) {
  bool failed_before = ferror(stream) != 0;  // its code was taken then
  if (!failed_before) SetLastError(NO_ERROR);
  bool closed = fclose(stream) == 0;
  if (!closed && !failed_before) name_a_full_disk();
  return closed && !failed_before;
}

uint64_t stream_size(FILE* stream) {
  __int64 size = _filelengthi64(_fileno(stream));
  return size < 0 ? UINT64_MAX : static_cast<uint64_t>(size);
}

bool set_stream_local_times(FILE* stream, uint32_t local_seconds) {
  // Written data still in the buffer would move the write time when it reaches the file;
  // once set through the handle, the times stay when the handle is closed.
  if (fflush(stream) != 0) return false;
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  if (handle == INVALID_HANDLE_VALUE) return false;
  auto local_time = file_time_of_ticks<FILETIME>(file_time_ticks_of_seconds(local_seconds));
  // The inverse of the packer's SystemTimeToTzSpecificLocalTime, by the rules of the stored year.
  SYSTEMTIME local, universal;
  TIME_ZONE_INFORMATION rules;
  FILETIME time;
  if (!FileTimeToSystemTime(&local_time, &local) ||
      !TzSpecificLocalTimeToSystemTime(local_zone_rules(local.wYear, &rules), &local, &universal) ||
      !SystemTimeToFileTime(&universal, &time))
    return false;
  return SetFileTime(handle, nullptr, &time, &time) != 0;
}

namespace {

// Only a console handle has a console mode: a file or a pipe has none.
bool is_console(DWORD standard_handle) {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(standard_handle), &mode) != 0;
}

}  // namespace

bool stdin_is_console() { return is_console(STD_INPUT_HANDLE); }

bool stdout_is_console() { return is_console(STD_OUTPUT_HANDLE); }

void wait_for_key_press() {
  while (!_kbhit()) Sleep(50);
}
