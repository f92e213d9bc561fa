// The packer's failures: one small family of exception classes, thrown by value, caught by
// reference once in the driver and shown there by report_error. The objects own no
// resources: their text is static or held in fixed arrays.
#pragma once

#include <cstddef>
#include <cstdint>

#include "string_helpers.h"

class base_exception {
 public:
  // text must be static: it is kept, not copied. Without one the text is "Unknown error".
  explicit base_exception(const char* text = nullptr) : text_(text) {}

  // Writes the text into buffer: at most size - 1 characters (size at least 1), always
  // terminated. Never fails.
  virtual void get_text(char* buffer, size_t size) const;

 private:
  const char* text_;
};

enum class file_error_kind : int32_t {
  open_failed = 0,    // opening for reading
  create_failed = 1,  // opening for writing
  read_failed = 2,    // the read call failed
  read_short = 3,     // the read call delivered fewer bytes than asked
  write_failed = 4,   // the write call failed or wrote fewer bytes
  other_failed = 5,   // anything else (the size query)
};

class file_exception : public base_exception {
 public:
  // file_name may be nullptr; it is copied, cut to 259 characters. os_error is the
  // system's last-error code taken at the failure.
  file_exception(file_error_kind kind, const char* file_name, uint32_t os_error);

  // "Unable to open " or "Unable to create " followed by the file name (or "file") with its
  // control bytes shown as \xNN,
  // "File read error", "Disk full", "File write error", or "Unknown file error".
  void get_text(char* buffer, size_t size) const override;

  // True when os_error (its low 12 bits) is one of the system's full-disk codes, 39 or
  // 112, or when errno holds ENOSPC now.
  bool is_disk_full() const;

  file_error_kind kind() const { return kind_; }
  uint32_t os_error() const { return os_error_; }

 private:
  file_error_kind kind_;
  uint32_t os_error_;
  char file_name_[path_size];
};

class text_exception : public base_exception {
 public:
  // The message formatted from a printf-style format, cut to 299 characters, with the
  // control bytes of %s and %c arguments shown as \xNN (printable_name). A format with a
  // conversion other than %d %i %o %x %X %u %c %f %g %s (flags and a width allowed) or %%
  // gives the format text itself.
  explicit text_exception(const char* format, ...) __attribute__((format(printf, 2, 3)));

  void get_text(char* buffer, size_t size) const override;

 private:
  char message_[300];
};

class memory_exception : public base_exception {
 public:
  // "Not enough memory".
  void get_text(char* buffer, size_t size) const override;
};

// The room report_error gives an exception's text: at most 511 characters.
constexpr size_t error_text_size = 512;

// Shows the exception's text (at most 511 characters) in a warning message box titled
// "Error", owned by the active window; an empty text shows nothing. Returns when the box
// is closed.
void report_error(const base_exception& error);

// The same for a text taken from an exception earlier.
void report_error_text(const char* text);
