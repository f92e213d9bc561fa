// The packer's file access: whole-block reads and writes through a system file handle,
// and a file's last-write time. Every failure throws file_exception, so callers never
// test a result.
#pragma once

#include <cstdint>
#include <string>

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
  // call fails, or writes fewer bytes (then with the code of a full disk).
  void write(const void* source, uint32_t count);

  // Writes what the system still holds of the file to the disk. Throws file_exception
  // write_failed.
  void flush();

  // True for a device (NUL, /dev/null), whose bytes go nowhere that could be replaced.
  bool is_device();

  // The path of the file itself, links resolved, in the form the calls take; empty when the
  // system cannot tell it or it has more than 259 characters.
  std::string final_path();

  // Closes the file; closing a closed file does nothing.
  void close();

 private:
  void open(const char* path, DWORD access, DWORD share_mode, DWORD creation_disposition,
            DWORD flags, file_error_kind failure);

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  char path_[path_size] = {};  // for the message about a file that is too large
};

// What tells one file from another however its path is spelled: the volume's serial number
// and the file's index on it (on POSIX the device and the inode).
struct file_identity {
  DWORD volume = 0;
  uint64_t index = 0;

  bool operator==(const file_identity& other) const { return volume == other.volume && index == other.index; }
};

// The identity of the file at path, links followed; false when there is no file there or the
// system cannot tell it.
bool get_file_identity(const char* path, file_identity* identity);

// True when something other than a regular file is at path, links followed: a directory, a
// device, a FIFO or a socket. False when there is nothing, or the system cannot tell.
bool is_special_file(const char* path);

// Throws the file_exception create_failed that open_write would throw for path when it is
// empty or lies in a folder that does not exist, without creating anything: what packing's
// output can be told before it is written.
void check_output_folder(const char* path);

// The file's last-write time in local wall-clock seconds since 1970, by the rule of
// file_time.h (its bits as a section stores them); 0 when no file matches path. A time
// later than latest (file-time ticks) is taken as latest, and *clamped (when given) tells
// whether it was.
int32_t get_file_time(const char* path, uint64_t latest = UINT64_MAX, bool* clamped = nullptr);

// A count of 100-nanosecond ticks since 1601-01-01 as seconds since 1970-01-01: 0 before
// that moment, -1 (0xFFFFFFFF as stored) from 2106-02-07 06:28:16 on.
int32_t filetime_to_seconds(uint64_t ticks);
