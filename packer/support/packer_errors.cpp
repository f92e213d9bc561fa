// The texts of the exception family, and their reporting in a message box.
#include "packer_errors.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "native_api.h"

namespace {

bool is_one_of(char c, const char* set) { return c && std::strchr(set, c); }

// True when every conversion in format is %% or one of %d %i %o %x %X %u %c %f %g %s, with
// flags and a width allowed: those whose arguments the messages pass.
bool has_only_known_conversions(const char* format) {
  for (const char* p = std::strchr(format, '%'); p; p = std::strchr(p + 1, '%')) {
    ++p;
    if (*p == '%') continue;
    while (is_one_of(*p, "-+0 #")) ++p;
    while (*p >= '0' && *p <= '9') ++p;
    if (!is_one_of(*p, "dioxXucfgs")) return false;
  }
  return true;
}

}  // namespace

void base_exception::get_text(char* buffer, size_t size) const {
  copy_bounded(buffer, text_ ? text_ : "Unknown error", size);
}

file_exception::file_exception(file_error_kind kind, const char* file_name, uint32_t os_error)
    : kind_(kind), os_error_(os_error) {
  copy_path(file_name_, file_name ? file_name : "");
}

bool file_exception::is_disk_full() const {
  uint32_t code = os_error_ & 0xFFF;
  return code == ERROR_HANDLE_DISK_FULL || code == ERROR_DISK_FULL || errno == ENOSPC;
}

void file_exception::get_text(char* buffer, size_t size) const {
  const char* lead;
  switch (kind_) {
    case file_error_kind::open_failed: lead = "Unable to open "; break;
    case file_error_kind::create_failed: lead = "Unable to create "; break;
    case file_error_kind::read_failed:
    case file_error_kind::read_short: lead = "File read error"; break;
    case file_error_kind::write_failed: lead = is_disk_full() ? "Disk full" : "File write error"; break;
    default: lead = "Unknown file error"; break;
  }
  copy_bounded(buffer, lead, size);
  if (kind_ == file_error_kind::open_failed || kind_ == file_error_kind::create_failed) {
    size_t used = std::strlen(buffer);
    copy_bounded(buffer + used, file_name_[0] ? file_name_ : "file", size - used);
  }
}

text_exception::text_exception(const char* format, ...) {
  va_list args;
  va_start(args, format);
  // vsnprintf cuts the text at the end of message_ however long the arguments make it.
  if (!has_only_known_conversions(format) || std::vsnprintf(message_, sizeof message_, format, args) < 0)
    copy_bounded(message_, format, sizeof message_);
  va_end(args);
}

void text_exception::get_text(char* buffer, size_t size) const { copy_bounded(buffer, message_, size); }

void memory_exception::get_text(char* buffer, size_t size) const {
  copy_bounded(buffer, "Not enough memory", size);
}

void report_error(const base_exception& error) {
  char text[error_text_size];
  error.get_text(text, sizeof text);
  report_error_text(text);
}

void report_error_text(const char* text) {
  if (!text[0]) return;
  MessageBoxA(GetActiveWindow(), text, "Error", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}
