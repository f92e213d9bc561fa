// Windows implementation of the services declared in os_services.h: the real calls.
#include "os_services.h"

#include <windows.h>

#include <conio.h>
#include <direct.h>
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>

#include "file_time.h"
#include "local_zone.h"

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

FILE* create_output_stream(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    // A read-only file stays as it is, as a "wb" open would leave it. A link or junction is
    // removed itself, never followed.
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(path) : DeleteFileA(path);
    if (!removed) return nullptr;
  }
  HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  return stream_over(handle, _O_WRONLY | _O_BINARY, "wb");
}

bool write_stream(FILE* stream, const void* data, size_t count) {
  return fwrite(data, 1, count, stream) == count;
}

bool close_stream(FILE* stream) {
  bool failed_before = ferror(stream) != 0;
  return fclose(stream) == 0 && !failed_before;
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

bool stdin_is_console() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

void wait_for_key_press() {
  while (!_kbhit()) Sleep(50);
}
