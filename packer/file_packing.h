// File packing: one section per file, or for the object section, appended to the
// container held in a byte_buffer that begins with its 8-byte container header. Each
// section's content is stored as a zlib stream when that is shorter, raw otherwise, under
// the file-name part of the name given; a name already in the container (ignoring case)
// is left out silently, so the first entry of a name wins.
#pragma once

#include <cstdint>

#include "byte_buffer.h"
#include "section_names.h"

// Reads the file at path whole (also when its name turns out to be taken) and appends its
// section with the file's time; names holds the names of the container's sections and
// gains this one. Throws file_exception when the file cannot be opened or read;
// text_exception "Cannot pack %s: its name cannot be extracted safely" (with path) when
// tarnsplit would refuse the name, description_name being the description it writes for
// this container; and what pack_section throws.
void pack_file_entry(byte_buffer& container, section_names& names, const char* path,
                     const char* description_name);

// Appends a section for content unless a section of name_text's file-name part (name_text
// cut to 259 characters first) is already in the container, found in names, which gains
// the name. time is stored bit for bit. Throws text_exception "Cannot pack empty file %s"
// for an empty content, "Packing %s failed" when zlib fails, one about the size when the
// container would reach 2 GiB (all with name_text), and memory_exception. Nothing is
// appended when it throws.
void pack_section(byte_buffer& container, section_names& names, const byte_buffer& content,
                  const char* name_text, uint32_t time);

// The same for a container whose names are not at hand: it is walked once to look for
// the name. Meant for a single section, such as the object section (empty name, time 0).
void pack_section(byte_buffer& container, const byte_buffer& content, const char* name_text,
                  uint32_t time);

// zlib's one-call compress (default level, zlib format) of length bytes into destination,
// which has room for capacity bytes. The length of the stream, or -1 on any zlib error.
int64_t compress_block(unsigned char* destination, uint32_t capacity, const unsigned char* source,
                       uint32_t length);

// Room enough for any zlib stream of length bytes: length, a thousandth of it rounded up,
// and 12 bytes (at least zlib's own bound), as far as 32 bits reach.
uint32_t compress_capacity(uint32_t length);

// The start of the section after the one at section: its name, the name's NUL and its
// stored_size data bytes further on.
const unsigned char* section_after(const unsigned char* section);

// The name of the container's first section named name (ignoring case), as it is stored;
// nullptr when there is none.
const char* section_named(const byte_buffer& container, const char* name);

// The container's section_count.
uint32_t section_count(const byte_buffer& container);
