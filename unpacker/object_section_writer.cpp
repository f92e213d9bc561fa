// The object section rendered as description text.
#include "description_writer.h"

int write_object_section(FILE* out, const unsigned char* content, uint32_t length,
                         uint32_t full_size, uint32_t stored_size) {
  (void)content;
  (void)length;
  write_text(out, "\n; Object Information Compression Info:\n");
  write_text(out, "; FullSize: %7d  Compressed Size: %7d  Compression Percent: %5.1f%%\n\n",
             static_cast<int>(full_size), static_cast<int>(stored_size),
             compression_percent(full_size, stored_size));
  return 0;
}
