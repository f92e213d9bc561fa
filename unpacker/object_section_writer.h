// The object section rendered as description text: its compression report, then the
// [objectimages], [mapobjects] and [screenobjects] sections.
#pragma once

#include <cstdint>
#include <cstdio>

#include "unpack_status.h"

// Renders one object-definition block of length bytes. success, or the status after printing
// the failure's message: description_not_written for a header cut short, objects_invalid for
// an unknown magic or a record cut short, image_entry_invalid for an image entry cut short or
// its name without NUL, out_of_memory for the object lines. What was written before a
// failure stays; object lines not written yet are dropped.
unpack_status write_object_section(FILE* out, const unsigned char* content, uint32_t length,
                                   uint32_t full_size, uint32_t stored_size);

// One animation loop in seconds: animation_time hundredths, taken with the single-precision
// value of 0.01 (0.00999999977648...) that the loop-time comment has always used.
double loop_time_seconds(uint16_t animation_time);

// One frame in seconds: loop / x_frames / y_frames, in that order; a frame count of 0 gives
// what IEEE division gives (infinity, or NaN for a loop time of 0).
double frame_time_seconds(double loop_time, uint16_t x_frames, uint16_t y_frames);
