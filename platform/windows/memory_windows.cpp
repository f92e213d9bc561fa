// The process heap keeps freed blocks for reuse by itself.
#include "memory.h"

void keep_freed_blocks() {}
