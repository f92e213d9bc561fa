// POSIX implementation of the Windows local heap declared in native_api.h: the C heap.
#include <cstdlib>

#include "native_api.h"
#include "posix_errors.h"

namespace {

// malloc(0) may give nullptr, which a caller would take for a failure.
SIZE_T at_least_one(SIZE_T bytes) { return bytes ? bytes : 1; }

HLOCAL failed(DWORD code) {
  record_error(code);
  return nullptr;
}

}  // namespace

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
  if (flags & LMEM_MOVEABLE) return failed(ERROR_INVALID_PARAMETER);  // handles are not blocks
  void* block = (flags & LMEM_ZEROINIT) ? std::calloc(at_least_one(bytes), 1)
                                        : std::malloc(at_least_one(bytes));
  return block ? block : failed(ERROR_NOT_ENOUGH_MEMORY);
}

HLOCAL LocalReAlloc(HLOCAL block, SIZE_T bytes, UINT flags) {
  // Without LMEM_MOVEABLE Windows grows a block only in place, which realloc cannot promise.
  if (!(flags & LMEM_MOVEABLE) || !block) return failed(ERROR_INVALID_PARAMETER);
  void* moved = std::realloc(block, at_least_one(bytes));
  return moved ? moved : failed(ERROR_NOT_ENOUGH_MEMORY);
}

HLOCAL LocalFree(HLOCAL block) {
  std::free(block);
  return nullptr;
}
