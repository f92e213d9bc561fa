// Memory for sections' bytes: how the allocator keeps the blocks it frees, and the pages it
// gives them. Fresh pages cost a fault each on first touch, which for a section read and
// inflated into new blocks is a good part of its time (on a virtual machine above all).
#pragma once

#include <cstddef>

// Sets the allocator up for blocks of sections, before any thread starts. Where the system
// gives large pages on request (Linux's transparent huge pages), allocate_block puts blocks of
// 2 MiB or more on them, each returned to the system when freed; other blocks of up to
// 32 MiB (without large pages, all of them) are kept in the process for the next allocations,
// where the system's allocator would give each large block its own mapping and return it when
// freed. Memory in use at once stays what the blocks hold.
void tune_block_allocation();

// A block of size bytes (at least one), released with free; nullptr when memory runs out. On
// large pages (see tune_block_allocation) a block of 2 MiB or more starts on a large page and
// asks for them for its whole large pages: one fault then fills 2 MiB instead of 4 KiB. Its
// last, partial page stays small.
void* allocate_block(size_t size);
