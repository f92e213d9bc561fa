// Writes the regenerated description: the head, one entry per file section, the object
// section as [objectimages], [mapobjects] and [screenobjects] text, and the totals, with
// comment lines that report the compression. Every line ends in CR LF on every platform,
// and numbers with decimals are written by fixed_decimal, so the bytes never depend on the
// platform.
#pragma once

#include <cstdint>
#include <cstdio>

void write_description_head(FILE* out, const char* input_name);
void write_file_entry(FILE* out, const char* name, uint32_t full_size, uint32_t stored_size);

// Renders one object-definition block of length bytes. 0, or the exit status after printing
// the failure's message: 12 header cut short, 13 unknown magic or record cut short, 14 image
// entry cut short or its name without NUL, 7 no memory for the object lines. What was
// written before a failure stays; object lines not written yet are dropped.
int write_object_section(FILE* out, const unsigned char* content, uint32_t length,
                         uint32_t full_size, uint32_t stored_size);

void write_totals(FILE* out, uint32_t total_full_size, uint32_t total_stored_size);

// printf into the description, of any length, each "\n" stored as CR LF. A write failure
// shows in the stream's error state.
void write_text(FILE* out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// (full - stored) * 100 / full, in double precision; negative when stored is larger.
double compression_percent(uint32_t full_size, uint32_t stored_size);

// One animation loop in seconds: animation_time hundredths, taken with the single-precision
// value of 0.01 (0.00999999977648...) that the loop-time comment has always used.
double loop_time_seconds(uint16_t animation_time);

// One frame in seconds: loop / x_frames / y_frames, in that order; a frame count of 0 gives
// what IEEE division gives (infinity, or NaN for a loop time of 0).
double frame_time_seconds(double loop_time, uint16_t x_frames, uint16_t y_frames);
