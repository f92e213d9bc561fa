// Memory blocks from the local heap. A block has one owner, which releases it with
// mem_free; running out throws memory_exception.
#pragma once

#include <cstddef>

// A new block of bytes bytes. Throws memory_exception.
void* mem_alloc(size_t bytes);

// Makes the owner's block bytes long, keeping its content up to the smaller size (it may
// move), or gives the owner a new block when it holds none. Throws memory_exception, and
// the owner keeps its old block.
void mem_resize(void*& block, size_t bytes);

// Releases block; nullptr is allowed.
void mem_free(void* block);
