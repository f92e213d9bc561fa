// File packing: one section per file, or for the object section, appended to the
// container held in a byte_buffer that begins with its 8-byte container header. Each
// section's content is stored as a zlib stream when that is shorter, raw otherwise, under
// the file-name part of the name given; a name already in the container (ignoring case)
// is left out silently, so the first entry of a name wins.
//
// A file entry is packed in two halves: load_file_entry reads, times and compresses the
// file, and may run on any thread; append_file_entry makes every decision that the bytes
// depend on and appends, on one thread, in the entries' order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_buffer.h"

// How compressing a content went; failures wait to be reported in the entries' order.
enum class compression {
  raw,            // not worth trying, or the stream was not shorter
  compressed,     // the stream is shorter
  failed,         // zlib failed
  out_of_memory,  // no memory for the stream
};

// What became of a file entry.
enum class entry_outcome { compressed, stored, left_out };

// A file entry's file as load_file_entry leaves it: only the bytes its section stores.
struct loaded_file {
  byte_buffer content;  // the file; released when its stream is kept or the entry left out
  byte_buffer stream;   // the zlib stream, exactly its length, when result is compressed
  uint32_t full_size = 0;
  uint32_t time = 0;
  bool time_clamped = false;  // the file is dated later than the latest time to store
  compression result = compression::raw;
};

// For each of the entries' paths, whether it is left out because an earlier path has the
// same stored name, ignoring case: the first entry of a name wins.
std::vector<bool> taken_names(const std::vector<std::string>& paths);

// Reads the file at path whole into file (also when the entry is left out, whose bytes are
// then dropped), takes its time (latest_time, in file-time ticks, for a file written later)
// and, unless left out, compresses it when worth trying. Safe on any thread. Throws
// file_exception when the file cannot be opened or read, text_exception when it is 4 GiB
// or more, memory_exception.
void load_file_entry(loaded_file& file, const char* path, bool left_out,
                     uint64_t latest_time = UINT64_MAX);

// Appends the section of the entry at path, loaded into file; a left-out entry appends
// nothing. Throws text_exception "Cannot pack %s: its name cannot be extracted safely"
// (with path) when tarnsplit would refuse the name, description_name being the
// description it writes for this container (also for a left-out entry), or one saying
// why when the name would not come back whole (stored_name_fault); and what pack_section
// throws for the content.
entry_outcome append_file_entry(byte_buffer& container, const char* path, bool left_out,
                                 const loaded_file& file, const char* description_name);

// Appends a section for content unless a section of name_text's file-name part (name_text
// cut to 259 characters first) is already in the container, which is walked once to look
// for it: meant for a single section, such as the object section (empty name, time 0).
// time is stored bit for bit. Throws text_exception "Cannot pack empty file %s" for an
// empty content, "Packing %s failed" when zlib fails, one about the size when the
// container would reach 2 GiB (all with name_text), and memory_exception. Nothing is
// appended when it throws. Returns what became of the content.
entry_outcome pack_section(byte_buffer& container, const byte_buffer& content, const char* name_text,
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
