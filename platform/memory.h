// Memory for sections' bytes: how the allocator keeps the blocks it frees, and the pages it
// gives them.
#pragma once

#include <cstddef>

// Keeps freed blocks of up to 32 MiB in the process for the next allocations, where the
// system's allocator would give each large block its own mapping and return it when freed:
// fresh pages cost a fault each on first touch, which for a section read and inflated into
// new blocks is a good part of its time. Memory in use at once stays what it was.
void keep_freed_blocks();

// A block of size bytes (at least one), released with free; nullptr when memory runs out.
// Where the system gives large pages on request (Linux's transparent huge pages), a block of
// 2 MiB or more starts on a large page and asks for them for its whole large pages: one fault
// then fills 2 MiB instead of 4 KiB. Its last, partial page stays small, so memory in use is
// what the block holds.
void* allocate_block(size_t size);
