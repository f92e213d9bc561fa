// record_table: owned record blocks in a slot array that lies inside a larger store.
#include "record_table.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int out_of_memory = 8;  // the system's code for "not enough memory"

void** new_store(int32_t count) {
  return static_cast<void**>(std::calloc(static_cast<size_t>(count), sizeof(void*)));
}

}  // namespace

bool record_table::make_room(int32_t slots) {
  if (base_ + slots <= store_size_) return true;
  int64_t wanted = 2 * static_cast<int64_t>(slots);
  if (wanted > INT32_MAX) wanted = slots;
  void** bigger = new_store(static_cast<int32_t>(wanted));
  if (!bigger) return false;
  // Every record lies before end_; the slots after it are free.
  if (used_) std::memcpy(bigger, store_ + base_, static_cast<size_t>(end_) * sizeof(void*));
  std::free(store_);
  store_ = bigger;
  store_size_ = static_cast<int32_t>(wanted);
  base_ = 0;
  return true;
}

int record_table::init(int32_t record_size) {
  if (store_) clear();
  store_ = new_store(grow_step_);
  if (!store_) return out_of_memory;
  store_size_ = capacity_ = grow_step_;
  base_ = used_ = first_ = end_ = 0;
  record_size_ = record_size;
  return 0;
}

int record_table::add(const void* record) {
  if (!store_) return -1;
  int32_t free_slot = -1;
  if (used_ == 0) {
    if (capacity_ > 0) free_slot = 0;
  } else if (!contiguous()) {
    // Only remove_at leaves gaps; the first lies between the first and last record.
    for (int32_t i = first_ + 1; i < end_ && free_slot < 0; ++i)
      if (!slot(i)) free_slot = i;
  } else if (end_ < capacity_) {
    free_slot = end_;
  }
  if (free_slot < 0) {
    if (grow() != 0) return -1;
    free_slot = used_ == 0 ? 0 : end_;
  }
  void* block = std::malloc(static_cast<size_t>(record_size_));
  if (!block) return -1;
  std::memcpy(block, record, static_cast<size_t>(record_size_));
  slot(free_slot) = block;
  if (used_ == 0) first_ = free_slot;
  if (used_ == 0 || free_slot >= end_) end_ = free_slot + 1;
  ++used_;
  return 0;
}

int record_table::take_first(void* destination) {
  if (!store_ || used_ == 0) return 0;
  std::memcpy(destination, slot(first_), static_cast<size_t>(record_size_));
  remove_at(first_);
  return compact() == 0 ? 1 : -1;
}

int record_table::count_used() const { return store_ ? used_ : -1; }

int record_table::clear() {
  if (!store_) return 1;
  for (int32_t i = 0; i < store_size_; ++i) std::free(store_[i]);
  std::free(store_);
  store_ = nullptr;
  store_size_ = capacity_ = record_size_ = 0;
  base_ = used_ = first_ = end_ = 0;
  return 0;
}

int record_table::remove_at(int32_t index) {
  if (!store_ || index < 0 || index >= capacity_) return -1;
  if (!slot(index)) return 1;
  std::free(slot(index));
  slot(index) = nullptr;
  if (--used_ == 0) {
    first_ = end_ = 0;
    return 0;
  }
  if (index == first_)
    while (!slot(first_)) ++first_;
  if (index == end_ - 1)
    while (!slot(end_ - 1)) --end_;
  return 0;
}

int record_table::grow() {
  if (!make_room(capacity_ + grow_step_)) return out_of_memory;
  capacity_ += grow_step_;
  return 0;
}

int record_table::compact() {
  if (!store_) return -1;
  if (grow_step_ < 0 || capacity_ < grow_step_) return 0;
  int32_t size = used_ > grow_step_ ? used_ : grow_step_;
  if (used_ == 0) {
    first_ = end_ = 0;
  } else if (contiguous()) {
    // The records stay where they are; the array now starts at the first of them.
    base_ += first_;
    end_ -= first_;
    first_ = 0;
  } else {
    int32_t next = 0;
    for (int32_t i = first_; i < end_; ++i) {
      void* block = slot(i);
      slot(i) = nullptr;
      if (block) slot(next++) = block;
    }
    first_ = 0;
    end_ = used_;
  }
  // Shifting the start down the store leaves dead entries before it; once they outnumber
  // the slots in use, the array moves back to the store's front (paid for by the takes
  // that made them).
  if (base_ > size + grow_step_) {
    std::memmove(store_, store_ + base_, static_cast<size_t>(used_) * sizeof(void*));
    std::memset(store_ + used_, 0, static_cast<size_t>(base_) * sizeof(void*));
    base_ = 0;
  }
  if (!make_room(size)) return -1;
  capacity_ = size;
  return 0;
}
