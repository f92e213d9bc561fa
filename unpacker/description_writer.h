// Writes the regenerated description: the head, one entry per file section, the object
// section (object_section_writer.h), and the totals, with comment lines that report the
// compression. Every line ends in CR LF on every platform, and numbers with decimals are
// written by fixed_decimal, so the bytes never depend on the platform.
#pragma once

#include <cstdint>
#include <cstdio>

void write_description_head(FILE* out, const char* input_name);
void write_file_entry(FILE* out, const char* name, uint32_t full_size, uint32_t stored_size);

void write_totals(FILE* out, uint32_t total_full_size, uint32_t total_stored_size);

// printf into the description, of any length, each "\n" stored as CR LF. A write failure
// shows in the stream's error state. Without a stream (nullptr) the text is formatted and
// dropped.
void write_text(FILE* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
