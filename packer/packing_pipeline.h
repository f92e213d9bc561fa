// The file entries of a description packed side by side: worker threads read, time and
// compress the files while the calling thread appends their sections in the entries'
// order, so that the container is byte for byte the one a single thread builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_buffer.h"
#include "packing_observer.h"

// Appends the sections of the File and ExtractFile entries at paths, in their order, with
// up to workers workers, never more than there are entries: the calling thread, which
// appends, and workers - 1 threads (with 1, none is started). Throws what the first failing
// entry in paths' order throws (see load_file_entry and append_file_entry), once the
// sections before it are appended; entries after it may have been read, and are dropped.
// Each worker holds one file and its zlib stream at a time; a file waiting to be appended
// holds only the bytes its section stores. A file written later than latest_time
// (file-time ticks) is stored with that time instead; returns how many of the sections
// appended were. observer is told of each entry's turn (entry_packed), on the calling thread.
uint32_t pack_file_entries(byte_buffer& container, const std::vector<std::string>& paths,
                           const char* description_name, unsigned workers, uint64_t latest_time = UINT64_MAX,
                           packing_observer& observer = unobserved());
