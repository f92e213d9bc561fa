// The description's head, file entries and totals, and the text output they share.
#include "description_writer.h"

#include <cstdarg>
#include <cstdlib>
#include <vector>

#include "decimal_text.h"
#include "os_services.h"
#include "paths.h"

namespace {

// Writes text with every '\n' stored as CR LF; nothing without a stream.
void write_with_crlf(FILE* out, const char* text, size_t length) {
  if (!out) return;
  size_t start = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != '\n') continue;
    write_stream(out, text + start, i - start);
    write_stream(out, "\r\n", 2);
    start = i + 1;
  }
  write_stream(out, text + start, length - start);
}

}  // namespace

void write_text(FILE* out, const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int length = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (length >= 0 && static_cast<size_t>(length) < sizeof text) {
    write_with_crlf(out, text, static_cast<size_t>(length));
  } else if (length >= 0) {  // a long image name: never cut
    std::vector<char> long_text(static_cast<size_t>(length) + 1);
    std::vsnprintf(long_text.data(), long_text.size(), format, again);
    write_with_crlf(out, long_text.data(), static_cast<size_t>(length));
  }
  va_end(again);
}

void write_description_head(FILE* out, const char* input_name) {
  write_text(out, "; This file was created by Tarnsplit, version 0.02, created Mar 16 2003 15:32:05\n\n");
  write_text(out, "Outfile=%s\n\n", system_file_name(input_name));
}

void write_file_entry(FILE* out, const char* name, uint32_t full_size, uint32_t stored_size) {
  write_text(out, "File=%s\n", name);
  // The percent is "%5.1f", written by percent_text.
  write_text(out,
             ";\t\t\tCompression Info: FullSize: %7d  Compressed Size: %7d   Compression Percent: %s%%\n",
             static_cast<int>(full_size), static_cast<int>(stored_size),
             percent_text(full_size, stored_size, 5).c_str());
}

void write_totals(FILE* out, uint32_t total_full_size, uint32_t total_stored_size) {
  int32_t saved = static_cast<int32_t>(total_full_size - total_stored_size);
  char grouped[32];
  format_thousands(saved, grouped);
  write_text(out, "; Bytes Saved in Compression: %s\n", grouped);
  // "%.1f"; the sums wrap around at 2^32, so the full size may be 0.
  write_text(out, "; File Compression Percent:   %s%%\n\n",
             fixed_decimal(quotient(saved * 100.0, total_full_size), 1).c_str());
}
