// POSIX implementation of the Windows local heap declared in native_api.h: the C heap.
#include <cerrno>
#include <cstdlib>

#include "native_api.h"
#include "posix_errors.h"

namespace {

// malloc(0) may give nullptr, which a caller would take for a failure.
SIZE_T at_least_one(SIZE_T bytes) { return bytes ? bytes : 1; }

HLOCAL out_of_memory() {
  record_errno(ENOMEM);
  return nullptr;
}

}  // namespace

HLOCAL LocalAlloc(UINT, SIZE_T bytes) {
  void* block = std::malloc(at_least_one(bytes));
  return block ? block : out_of_memory();
}

HLOCAL LocalReAlloc(HLOCAL block, SIZE_T bytes, UINT) {
  void* moved = std::realloc(block, at_least_one(bytes));
  return moved ? moved : out_of_memory();
}

HLOCAL LocalFree(HLOCAL block) {
  std::free(block);
  return nullptr;
}
