// The texts of the exception family, and their reporting in a message box.
#include "packer_errors.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <algorithm>

#include "native_api.h"
#include "safe_name.h"

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

// A fixed buffer that takes what fits of each piece appended to it, always terminated.
class bounded_text {
 public:
  bounded_text(char* buffer, size_t size) : buffer_(buffer), size_(size) { buffer_[0] = '\0'; }

  void append(char c) {
    if (used_ + 1 < size_) buffer_[used_++] = c;
    buffer_[used_] = '\0';
  }

  // One conversion of printf's (its text, such as "%-8s"), with its value.
  template <typename value_type>
  void append_formatted(const char* conversion, value_type value) {
    int length = std::snprintf(buffer_ + used_, size_ - used_, conversion, value);
    if (length > 0) used_ += std::min(static_cast<size_t>(length), size_ - used_ - 1);
  }

 private:
  char* buffer_;
  size_t size_;
  size_t used_ = 0;
};

// printf of format with args into message, for the conversions that
// has_only_known_conversions allows, with every %s and %c argument shown as printable_name
// shows it: they come from descriptions and command lines, and a control byte in a message
// could drive the terminal.
void format_shown(bounded_text& message, const char* format, va_list args) {
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      message.append(*p);
      continue;
    }
    const char* start = p++;
    if (*p == '%') {
      message.append('%');
      continue;
    }
    while (is_one_of(*p, "-+0 #") || (*p >= '0' && *p <= '9')) ++p;
    // The flags and width, with the text conversion for both %s and %c.
    char conversion[32];
    char shown[error_text_size];  // more than any message keeps
    std::snprintf(conversion, sizeof conversion, "%.*s%c", static_cast<int>(p - start), start, *p == 'c' ? 's' : *p);
    switch (*p) {
      case 's': {
        const char* text = va_arg(args, const char*);
        copy_printable(shown, sizeof shown, text ? text : "(null)");
        message.append_formatted(conversion, shown);
        break;
      }
      case 'c': {
        const char text[2] = {static_cast<char>(va_arg(args, int)), '\0'};
        copy_printable(shown, sizeof shown, text);
        message.append_formatted(conversion, shown);
        break;
      }
      case 'd':
      case 'i': message.append_formatted(conversion, va_arg(args, int)); break;
      case 'f':
      case 'g': message.append_formatted(conversion, va_arg(args, double)); break;
      default: message.append_formatted(conversion, va_arg(args, unsigned)); break;  // o u x X
    }
  }
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
    if (file_name_[0])
      copy_printable(buffer + used, size - used, file_name_);
    else
      copy_bounded(buffer + used, "file", size - used);
  }
}

text_exception::text_exception(const char* format, ...) {
  if (!has_only_known_conversions(format)) {
    copy_bounded(message_, format, sizeof message_);
    return;
  }
  va_list args;
  va_start(args, format);
  bounded_text message(message_, sizeof message_);  // cut at its end however long the arguments
  format_shown(message, format, args);
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
