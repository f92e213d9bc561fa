// How the program's allocator keeps the blocks it frees.
#pragma once

// Keeps freed blocks of up to 32 MiB in the process for the next allocations, where the
// system's allocator would give each large block its own mapping and return it when freed:
// fresh pages cost a fault each on first touch, which for a section read and inflated into
// new blocks is a good part of its time. Memory in use at once stays what it was.
void keep_freed_blocks();
