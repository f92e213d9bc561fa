// The description's head, file entries and totals.
#include "description_writer.h"

#include <cstdarg>
#include <cstdlib>

#include "paths.h"
#include "system.h"
#include "unpacker_support.h"

void write_text(FILE* out, const char* format, ...) {
  char text[5000];
  va_list args;
  va_start(args, format);
  int length = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (length < 0) return;
  if (length >= static_cast<int>(sizeof text)) length = sizeof text - 1;
  char lines[2 * sizeof text];
  size_t used = 0;
  for (int i = 0; i < length; ++i) {
    if (text[i] == '\n') lines[used++] = '\r';
    lines[used++] = text[i];
  }
  write_stream(out, lines, used);  // a failure shows in the stream's error state
}

double compression_percent(uint32_t full_size, uint32_t stored_size) {
  double saved = static_cast<double>(static_cast<int64_t>(full_size) - stored_size);
  return saved * 100.0 / full_size;
}

void write_description_head(FILE* out, const char* input_name) {
  write_text(out, "; This file was created by Tarnsplit, version 0.02, created Mar 16 2003 15:32:05\n\n");
  write_text(out, "Outfile=%s\n\n", file_name_of(input_name));
}

void write_file_entry(FILE* out, const char* name, uint32_t full_size, uint32_t stored_size) {
  write_text(out, "File=%s\n", name);
  write_text(out,
             ";\t\t\tCompression Info: FullSize: %7d  Compressed Size: %7d   Compression Percent: %5.1f%%\n",
             static_cast<int>(full_size), static_cast<int>(stored_size),
             compression_percent(full_size, stored_size));
}

void write_totals(FILE* out, uint32_t total_full_size, uint32_t total_stored_size) {
  int32_t saved = static_cast<int32_t>(total_full_size - total_stored_size);
  char grouped[16];
  format_thousands(saved, grouped);
  write_text(out, "; Bytes Saved in Compression: %s\n", grouped);
  write_text(out, "; File Compression Percent:   %.1f%%\n\n", saved * 100.0 / total_full_size);
}
