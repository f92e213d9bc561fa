// record_table: slots of owned blocks in a window of a larger array, grown by ten and
// compacted after every take without moving more than a few records.
#include "record_table.h"

#include <cstdint>
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
  allocated_ = capacity_ = grow_step_;
  base_ = used_ = first_used_ = end_used_ = scan_from_ = 0;
  record_size_ = record_size;
  return 0;
}

int32_t record_table::free_slot_for_add() {
  if (used_ == 0) return 0;
  if (end_used_ - first_used_ == used_) return end_used_;  // no hole among the records
  // A hole left by remove_at: the first one after the first record. The scan resumes
  // where the last one stopped, so it passes each slot once until the next remove_at.
  int32_t i = scan_from_ > first_used_ ? scan_from_ : first_used_;
  while (slot(i)) ++i;
  scan_from_ = i;
  return i;
}

int record_table::add(const void* record) {
  if (!slots_) return -1;
  int32_t target = free_slot_for_add();
  if (target == capacity_ && grow() != 0) return -1;
  void* block = std::malloc(static_cast<size_t>(record_size_));
  if (!block) return -1;
  std::memcpy(block, record, static_cast<size_t>(record_size_));
  slot(target) = block;
  if (used_ == 0) {
    first_used_ = scan_from_ = target;
    end_used_ = target + 1;
  } else if (target >= end_used_) {
    end_used_ = target + 1;
  }
  ++used_;
  return 0;
}

int record_table::take_first(void* destination) {
  if (!slots_ || used_ == 0) return 0;
  std::memcpy(destination, slot(first_used_), static_cast<size_t>(record_size_));
  remove_at(first_used_);
  return compact() == 0 ? 1 : -1;
}

int record_table::count_used() const { return slots_ ? used_ : -1; }

int record_table::clear() {
  if (!slots_) return 1;
  for (int32_t i = 0; i < capacity_; ++i) std::free(slot(i));
  std::free(slots_);
  slots_ = nullptr;
  capacity_ = record_size_ = allocated_ = 0;
  base_ = used_ = first_used_ = end_used_ = scan_from_ = 0;
  return 0;
}

int record_table::remove_at(int32_t index) {
  if (!slots_ || index < 0 || index >= capacity_) return -1;
  if (!slot(index)) return 1;
  std::free(slot(index));
  slot(index) = nullptr;
  if (--used_ == 0) {
    first_used_ = end_used_ = scan_from_ = 0;
    return 0;
  }
  if (index == first_used_)
    while (!slot(first_used_)) ++first_used_;
  if (index == end_used_ - 1)
    while (!slot(end_used_ - 1)) --end_used_;
  if (index < scan_from_) scan_from_ = index;
  return 0;
}

// Room in the physical array for capacity slots from base_ on, of which the first keep may
// hold records. The window moves to the front of the array in place when it fits there and
// the move is paid for (by at least as many takes since the last move, or by being short);
// otherwise it moves into a new array of twice the capacity, paid for by the adds since the
// last one.
bool record_table::make_room(int32_t capacity, int32_t keep) {
  if (slots_ && base_ + capacity <= allocated_) return true;
  if (slots_ && allocated_ >= capacity && (keep <= base_ || keep <= grow_step_)) {
    std::memmove(slots_, slots_ + base_, static_cast<size_t>(keep) * sizeof(void*));
    int32_t stale_from = base_ > keep ? base_ : keep;
    for (int32_t i = stale_from; i < base_ + keep; ++i) slots_[i] = nullptr;
  } else {
    int32_t size = capacity <= INT32_MAX / 2 ? 2 * capacity : capacity;
    void** bigger = new_slots(size);
    if (!bigger) return false;
    if (slots_) std::memcpy(bigger, slots_ + base_, static_cast<size_t>(keep) * sizeof(void*));
    std::free(slots_);
    slots_ = bigger;
    allocated_ = size;
  }
  base_ = 0;
  return true;
}

int record_table::grow() {
  if (!make_room(capacity_ + grow_step_, capacity_)) return out_of_memory;
  capacity_ += grow_step_;
  return 0;
}

// Moves the records after the first into the holes that remove_at left among them.
void record_table::close_holes() {
  int32_t next = first_used_;
  for (int32_t i = first_used_; i < end_used_; ++i) {
    if (!slot(i)) continue;
    if (i != next) {
      slot(next) = slot(i);
      slot(i) = nullptr;
    }
    ++next;
  }
  end_used_ = next;
}

int record_table::compact() {
  if (!slots_) return -1;
  if (grow_step_ < 0 || capacity_ < grow_step_) return 0;
  int32_t size = used_ > grow_step_ ? used_ : grow_step_;
  if (used_ > 0) {
    if (end_used_ - first_used_ != used_) close_holes();
    base_ += first_used_;  // the records now start at slot 0
  }
  // The records fill size slots where they lie, or fewer than 10 move in place: this
  // never allocates.
  if (!make_room(size, used_)) return -1;
  capacity_ = size;
  first_used_ = 0;
  end_used_ = scan_from_ = used_;
  return 0;
}
