// record_table: slots of owned blocks, grown by ten and compacted after every take.
#include "record_table.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int out_of_memory = 8;  // the system's code for "not enough memory"

void** new_slots(int32_t count) {
  return static_cast<void**>(std::calloc(static_cast<size_t>(count), sizeof(void*)));
}

}  // namespace

int record_table::init(int32_t record_size) {
  if (slots_) clear();
  slots_ = new_slots(grow_step_);
  if (!slots_) return out_of_memory;
  capacity_ = grow_step_;
  record_size_ = record_size;
  return 0;
}

int record_table::add(const void* record) {
  if (!slots_) return -1;
  for (;;) {
    // The first free slot after an occupied one; slot 0 when every slot is free.
    int32_t free_slot = -1;
    bool seen_used = false;
    for (int32_t i = 0; i < capacity_ && free_slot < 0; ++i) {
      if (slots_[i])
        seen_used = true;
      else if (seen_used)
        free_slot = i;
    }
    if (!seen_used && capacity_ > 0) free_slot = 0;
    if (free_slot >= 0) {
      void* block = std::malloc(static_cast<size_t>(record_size_));
      if (!block) return -1;
      std::memcpy(block, record, static_cast<size_t>(record_size_));
      slots_[free_slot] = block;
      return 0;
    }
    if (grow() != 0) return -1;
  }
}

int record_table::take_first(void* destination) {
  if (!slots_) return 0;
  for (int32_t i = 0; i < capacity_; ++i) {
    if (slots_[i]) {
      std::memcpy(destination, slots_[i], static_cast<size_t>(record_size_));
      remove_at(i);
      return compact() == 0 ? 1 : -1;
    }
  }
  return 0;
}

int record_table::count_used() const {
  if (!slots_) return -1;
  int used = 0;
  for (int32_t i = 0; i < capacity_; ++i)
    if (slots_[i]) ++used;
  return used;
}

int record_table::clear() {
  if (!slots_) return 1;
  for (int32_t i = 0; i < capacity_; ++i) std::free(slots_[i]);
  std::free(slots_);
  slots_ = nullptr;
  capacity_ = 0;
  record_size_ = 0;
  return 0;
}

int record_table::remove_at(int32_t index) {
  if (!slots_ || index < 0 || index >= capacity_) return -1;
  if (!slots_[index]) return 1;
  std::free(slots_[index]);
  slots_[index] = nullptr;
  return 0;
}

int record_table::grow() {
  void** bigger = new_slots(capacity_ + grow_step_);
  if (!bigger) return out_of_memory;
  if (capacity_) std::memcpy(bigger, slots_, static_cast<size_t>(capacity_) * sizeof(void*));
  std::free(slots_);
  slots_ = bigger;
  capacity_ += grow_step_;
  return 0;
}

int record_table::compact() {
  if (!slots_) return -1;
  if (grow_step_ < 0 || capacity_ < grow_step_) return 0;
  int32_t used = count_used();
  int32_t size = used > grow_step_ ? used : grow_step_;
  void** packed = new_slots(size);
  if (!packed) return -1;
  int32_t next = 0;
  for (int32_t i = 0; i < capacity_; ++i)
    if (slots_[i]) packed[next++] = slots_[i];
  std::free(slots_);
  slots_ = packed;
  capacity_ = size;
  return 0;
}
