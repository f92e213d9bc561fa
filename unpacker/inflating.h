// Inflating a compressed section's stored bytes. The library is chosen when building:
// inflating_libdeflate.cpp where libdeflate is found, inflating_zlib.cpp elsewhere; both
// keep the same rules. Blocks handed back come from malloc and belong to the caller
// (release with free).
#pragma once

#include <cstdint>

// Inflates one zlib stream. length is the expected size on entry and the produced size on
// return; a new block, or nullptr with length 0 when the stream does not end whole within
// the expected size (an expected size of 0 admits only a stream of no content).
unsigned char* inflate_to_buffer(const unsigned char* source, uint32_t source_length,
                                 uint32_t* length);

// A compressed section's content: a new block of exactly full_size bytes when source begins
// with one whole zlib stream (checksum correct, no preset dictionary) of that length; bytes
// after the stream's end are ignored, as uncompress ignores them and other writers may pad.
// nullptr otherwise (a stream that fails, ends short or runs long). A full_size that no
// stream of source_length bytes can reach is refused before anything is allocated.
unsigned char* inflate_exactly(const unsigned char* source, uint32_t source_length,
                               uint32_t full_size);
