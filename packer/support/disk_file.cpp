// The packer's file access through system file handles.
#include "disk_file.h"

#include "file_time.h"
#include "paths.h"

namespace {

// A directory search handle, closed when it goes.
class file_finder {
 public:
  explicit file_finder(const char* path) : handle_(FindFirstFileA(path, &found_)) {}
  ~file_finder() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  file_finder(const file_finder&) = delete;
  file_finder& operator=(const file_finder&) = delete;

  bool found() const { return handle_ != INVALID_HANDLE_VALUE; }
  const WIN32_FIND_DATAA& entry() const { return found_; }

 private:
  WIN32_FIND_DATAA found_;
  HANDLE handle_;
};

// The local clock's reading at the moment universal, by the zone's rules for the year on the
// local clock, which differs from universal's only around New Year.
bool local_time_at(const SYSTEMTIME& universal, SYSTEMTIME* local) {
  TIME_ZONE_INFORMATION rules;
  if (!SystemTimeToTzSpecificLocalTime(local_zone_rules(universal.wYear, &rules), &universal, local))
    return false;
  return local->wYear == universal.wYear ||
         SystemTimeToTzSpecificLocalTime(local_zone_rules(local->wYear, &rules), &universal, local);
}

}  // namespace

void disk_file::open(const char* path, DWORD access, DWORD share_mode, DWORD creation_disposition,
                     DWORD flags, file_error_kind failure) {
  close();
  handle_ = CreateFileA(path, access, share_mode, nullptr, creation_disposition, flags, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) throw file_exception(failure, path, GetLastError());
  copy_path(path_, path);
}

void disk_file::open_read(const char* path, DWORD share_mode, DWORD creation_disposition) {
  open(path, GENERIC_READ, share_mode, creation_disposition,
       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, file_error_kind::open_failed);
}

void disk_file::open_write(const char* path, DWORD share_mode, DWORD creation_disposition) {
  open(path, GENERIC_READ | GENERIC_WRITE, share_mode, creation_disposition, FILE_ATTRIBUTE_NORMAL,
       file_error_kind::create_failed);
}

uint32_t disk_file::size() {
  DWORD high = 0;
  SetLastError(NO_ERROR);  // a size of 0xFFFFFFFF reads like a failure otherwise
  DWORD low = GetFileSize(handle_, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
    throw file_exception(file_error_kind::other_failed, nullptr, GetLastError());
  if (high != 0) throw text_exception("File too large (4 GiB or more): %s", path_);
  return low;
}

void disk_file::read(void* destination, uint32_t count) {
  DWORD got = 0;
  if (!ReadFile(handle_, destination, count, &got, nullptr))
    throw file_exception(file_error_kind::read_failed, nullptr, GetLastError());
  if (got < count) throw file_exception(file_error_kind::read_short, nullptr, GetLastError());
}

void disk_file::write(const void* source, uint32_t count) {
  DWORD put = 0;
  if (!WriteFile(handle_, source, count, &put, nullptr))
    throw file_exception(file_error_kind::write_failed, nullptr, GetLastError());
  // A write that the system cut short without failing ran out of room.
  if (put < count) throw file_exception(file_error_kind::write_failed, nullptr, ERROR_DISK_FULL);
}

void disk_file::flush() {
  if (!FlushFileBuffers(handle_)) throw file_exception(file_error_kind::write_failed, nullptr, GetLastError());
}

bool disk_file::is_device() { return GetFileType(handle_) != FILE_TYPE_DISK; }

std::string disk_file::final_path() {
  char path[path_size + 8];
  DWORD length = GetFinalPathNameByHandleA(handle_, path, sizeof path, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0 || length >= sizeof path) return std::string();
  // Windows gives the long form, \\?\C:\... or \\?\UNC\server\..., of a path that the calls
  // take in its ordinary form.
  std::string final(path, length);
  if (final.rfind("\\\\?\\UNC\\", 0) == 0)
    final = "\\\\" + final.substr(8);
  else if (final.rfind("\\\\?\\", 0) == 0)
    final = final.substr(4);
  return final.size() < path_size ? final : std::string();
}

void disk_file::close() {
  if (handle_ == INVALID_HANDLE_VALUE) return;
  CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

bool get_file_identity(const char* path, file_identity* identity) {
  // Access 0 asks about the file without reading it, and the sharing lets it be asked about
  // however others have it open.
  HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information;
  bool known = GetFileInformationByHandle(handle, &information) != 0;
  CloseHandle(handle);
  if (known) {
    identity->volume = information.dwVolumeSerialNumber;
    identity->index = uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow;
  }
  return known;
}

bool is_special_file(const char* path) {
  HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information;
  bool special = GetFileType(handle) != FILE_TYPE_DISK ||
                 (GetFileInformationByHandle(handle, &information) &&
                  (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY));
  CloseHandle(handle);
  return special;
}

void check_output_folder(const char* path) {
  std::string folder = system_directory_part(path);
  bool found = path[0] != '\0';  // a path without a folder is in the current directory
  if (found && !folder.empty()) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    found = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  if (!found) throw file_exception(file_error_kind::create_failed, path, GetLastError());
}

int32_t get_file_time(const char* path, uint64_t latest, bool* clamped) {
  if (clamped) *clamped = false;
  file_finder finder(path);
  if (!finder.found()) return 0;
  FILETIME written = finder.entry().ftLastWriteTime;
  // Clamped as a moment, before the local offset: the offset of the clamp's own date applies.
  if (ticks_of(written) > latest) {
    written = {static_cast<DWORD>(latest), static_cast<DWORD>(latest >> 32)};
    if (clamped) *clamped = true;
  }
  SYSTEMTIME universal, local;
  FILETIME local_time;
  if (FileTimeToSystemTime(&written, &universal) && local_time_at(universal, &local) &&
      SystemTimeToFileTime(&local, &local_time))
    return filetime_to_seconds(ticks_of(local_time));
  // Only times near the ends of what a FILETIME holds fail to convert; there the stored
  // value is 0 or 0xFFFFFFFF whatever the offset.
  return filetime_to_seconds(ticks_of(written));
}

int32_t filetime_to_seconds(uint64_t ticks) {
  if (ticks > INT64_MAX) return 0;  // negative as a signed count
  int64_t since_1970 = static_cast<int64_t>(ticks) - file_time_ticks_1601_to_1970;
  if (since_1970 < 0) return 0;
  if ((since_1970 >> 32) >= file_time_ticks_per_second) return -1;
  return static_cast<int32_t>(static_cast<uint32_t>(since_1970 / file_time_ticks_per_second));
}
