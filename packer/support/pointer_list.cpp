// A growable array of pointers.
#include "pointer_list.h"

#include <cstring>

#include "memory_blocks.h"
#include "packer_errors.h"

namespace {

constexpr uint32_t growth_step = 32;
constexpr uint32_t spare_limit = 32;
constexpr uint32_t shrink_step = 16;

}  // namespace

void pointer_list::append(void* item) {
  if (count_ == capacity_) {
    uint32_t step = capacity_ / 2 > growth_step ? capacity_ / 2 : growth_step;
    if (capacity_ > UINT32_MAX / sizeof(void*) - step) throw memory_exception();
    void* block = items_;
    mem_resize(block, (capacity_ + step) * sizeof(void*));
    items_ = static_cast<void**>(block);
    capacity_ += step;
  }
  items_[count_++] = item;
}

void pointer_list::remove_at(uint32_t index) {
  std::memmove(items_ + index, items_ + index + 1, (count_ - index - 1) * sizeof(void*));
  --count_;
  if (count_ == 0 || capacity_ - count_ <= spare_limit) return;
  void* block = items_;
  try {
    mem_resize(block, (capacity_ - shrink_step) * sizeof(void*));
  } catch (const memory_exception&) {
    return;  // the old, larger block serves as well
  }
  items_ = static_cast<void**>(block);
  capacity_ -= shrink_step;
}

void pointer_list::release() {
  mem_free(items_);
  items_ = nullptr;
  capacity_ = count_ = 0;
}
