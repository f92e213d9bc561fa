// Writes the regenerated description: the head, one entry per file section, the object
// section as [objectimages], [mapobjects] and [screenobjects] text, and the totals, with
// comment lines that report the compression. Every line ends in CR LF on every platform.
#pragma once

#include <cstdint>
#include <cstdio>

void write_description_head(FILE* out, const char* input_name);
void write_file_entry(FILE* out, const char* name, uint32_t full_size, uint32_t stored_size);

// Renders one object-definition block of length bytes. 0, or the exit status (12, 13 or 14)
// after printing the failure's message; what was written before a failure stays.
int write_object_section(FILE* out, const unsigned char* content, uint32_t length,
                         uint32_t full_size, uint32_t stored_size);

void write_totals(FILE* out, uint32_t total_full_size, uint32_t total_stored_size);

// printf into the description, each "\n" stored as CR LF.
void write_text(FILE* out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// (full - stored) * 100 / full, in double precision; negative when stored is larger.
double compression_percent(uint32_t full_size, uint32_t stored_size);
