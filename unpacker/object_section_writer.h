// The object section rendered as description text: its compression report, then the
// [objectimages], [mapobjects] and [screenobjects] sections.
#pragma once

#include <cstdint>
#include <cstdio>

#include "object_section_reader.h"
#include "unpack_status.h"

// Renders one object-definition block of length bytes into out, or formats it and drops the
// text when out is nullptr (tarnsplit --test). success, or the status of read_object_section
// after its message. What was written before a failure stays; object lines not written yet
// are dropped. On success *counts, when given, holds the section's counts.
unpack_status write_object_section(FILE* out, const unsigned char* content, uint32_t length,
                                   uint32_t full_size, uint32_t stored_size,
                                   object_section_counts* counts = nullptr);

// One object's fields as its description line writes them.
struct object_text {
  char x[32];      // a reference letter and the offset ("C-8", "320", "{Unknown 13}2")
  char y[32];
  char image[16];  // "IMAGE0": the image's position in the table
  char layer[24];  // the name, or "{Unknown 9}"
  char mode[24];
  int display_time;   // as the description gives it: the stored value times 10
  int object_number;
};

object_text describe_object(const object_record& record, object_version version);

// One animation loop in seconds: animation_time hundredths, taken with the single-precision
// value of 0.01 (0.00999999977648...) that the loop-time comment has always used.
double loop_time_seconds(uint16_t animation_time);

// One frame in seconds: loop / x_frames / y_frames, in that order; a frame count of 0 gives
// what IEEE division gives (infinity, or NaN for a loop time of 0).
double frame_time_seconds(double loop_time, uint16_t x_frames, uint16_t y_frames);
