// The unpacker's small helpers. None of them prints except report_exit_and_wait; blocks and
// strings they hand back come from malloc and belong to the caller (release with free).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Inflates one zlib stream (zlib's uncompress). length is the expected size on entry and
// the produced size on return; a new block, or nullptr with length 0 when zlib reports
// anything but Z_OK.
unsigned char* inflate_to_buffer(const unsigned char* source, uint32_t source_length,
                                 uint32_t* length);

// A compressed section's content: a new block of exactly full_size bytes when source begins
// with one whole zlib stream (checksum correct, no preset dictionary) of that length; bytes
// after the stream's end are ignored, as uncompress ignores them and other writers may pad.
// nullptr otherwise (a stream that fails, ends short or runs long). A full_size that no
// stream of source_length bytes can reach is refused before anything is allocated.
unsigned char* inflate_exactly(const unsigned char* source, uint32_t source_length,
                               uint32_t full_size);

// Copies count bytes from block + *offset to destination and advances *offset: 1. Returns 0,
// copying nothing, when offset + count would pass total.
int read_from_buffer(void* destination, const unsigned char* block, int* offset, int count,
                     int total);

// The output directory for the container named input_name: next to the container when it
// came as an argument (argc >= 2), next to the program (argv[0]) when it was typed, with the
// typed name's directories; named by the container's file name without its extension (a
// dot in a directory's name is no extension). A new string.
char* output_directory_path(int argc, char** argv, const char* input_name);

// Creates directory + "\\" + name anew for binary writing (never through a link), or nullptr.
FILE* open_in_dir(const char* name, const char* directory);

// Formats (printf rules, cut to 4999 characters) and appends to destination, which must
// have room. Returns the destination's new length.
int append_formatted(char* destination, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Writes value in decimal with "," between groups of three digits. Returns the length.
int format_thousands(int32_t value, char* destination);

// Prints the exit report naming source_file and line, then waits for a key press, at once
// when standard input is not a console.
void report_exit_and_wait(const char* source_file, int line);
