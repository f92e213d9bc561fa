// A growable array of pointers, which it does not own (the ini reader's lines).
#pragma once

#include <cstdint>

class pointer_list {
 public:
  pointer_list() = default;
  ~pointer_list() { release(); }
  pointer_list(const pointer_list&) = delete;
  pointer_list& operator=(const pointer_list&) = delete;

  uint32_t count() const { return count_; }
  uint32_t capacity() const { return capacity_; }
  // Slot index, from 0 to count - 1.
  void* at(uint32_t index) const { return items_[index]; }
  void set_at(uint32_t index, void* item) { items_[index] = item; }

  // Adds item after the last slot in use. A full block grows by 32 slots, or by half its
  // capacity once that is more (so that filling a list stays linear). Throws
  // memory_exception, and then the list is unchanged.
  void append(void* item);

  // Removes slot index (from 0 to count - 1), moving the later ones one place down. While
  // slots are in use and more than 32 are spare, the block gives 16 back; a failure of
  // that shrink is ignored.
  void remove_at(uint32_t index);

  // Releases the block: no slots, capacity 0.
  void release();

 private:
  void** items_ = nullptr;
  uint32_t capacity_ = 0;
  uint32_t count_ = 0;
};
