// The packer's file access: whole-block reads and writes through a system file handle,
// and a file's last-write time. Every failure throws file_exception, so callers never
// test a result.
#pragma once

#include <cstdint>

#include "native_api.h"
#include "packer_errors.h"
#include "string_helpers.h"

class disk_file {
 public:
  disk_file() = default;
  ~disk_file() { close(); }
  disk_file(const disk_file&) = delete;
  disk_file& operator=(const disk_file&) = delete;

  // Opens path for reading (only a regular file opens). Throws file_exception
  // open_failed with the path and the system's error code.
  void open_read(const char* path, DWORD share_mode, DWORD creation_disposition);

  // Opens path for reading and writing. Throws file_exception create_failed with the
  // path and the system's error code.
  void open_write(const char* path, DWORD share_mode, DWORD creation_disposition);

  // The file's size in bytes. Throws file_exception other_failed when the system cannot
  // tell it, and text_exception for a file of 4 GiB or more, whose size 32 bits cannot
  // hold.
  uint32_t size();

  // Reads exactly count bytes in one call. Throws file_exception read_failed when the
  // call fails, read_short when it delivers fewer bytes.
  void read(void* destination, uint32_t count);

  // Writes exactly count bytes in one call. Throws file_exception write_failed when the
  // call fails or writes fewer bytes.
  void write(const void* source, uint32_t count);

  // Closes the file; closing a closed file does nothing.
  void close();

 private:
  void open(const char* path, DWORD access, DWORD share_mode, DWORD creation_disposition,
            DWORD flags, file_error_kind failure);

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  char path_[path_size] = {};  // for the message about a file that is too large
};

// The file's last-write time in local wall-clock seconds since 1970-01-01 00:00 (its bits
// as they are stored in a section), with the offset that the local zone's rules give the
// file's date (summer or winter time as on that day); 0 when no file matches path. A time
// later than latest (file-time ticks) is taken as latest, and *clamped (when given) tells
// whether it was.
int32_t get_file_time(const char* path, uint64_t latest = UINT64_MAX, bool* clamped = nullptr);

// A count of 100-nanosecond ticks since 1601-01-01 as seconds since 1970-01-01: 0 before
// that moment, -1 (0xFFFFFFFF as stored) from 2106-02-07 06:28:16 on.
int32_t filetime_to_seconds(uint64_t ticks);
