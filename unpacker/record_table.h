// A table of fixed-size records that gives them back in the order they were added;
// the unpacker collects the lines of [mapobjects] and [screenobjects] in two of them.
#pragma once

#include <cstdint>

// The slots form an array of `capacity` entries, each free or holding one record's own
// block: it grows by 10 slots when full, and after every take the records move to the
// front of an array of max(used, 10) slots. Moving them is done by shifting where the
// array starts inside a larger store, so adding and taking n records costs O(n), not
// O(n^2), whatever a container makes the unpacker collect.
class record_table {
 public:
  record_table() = default;
  ~record_table() { clear(); }
  record_table(const record_table&) = delete;
  record_table& operator=(const record_table&) = delete;

  // Makes 10 free slots for records of record_size bytes. 0, or the error code when
  // memory runs out (then there is no slot array).
  int init(int32_t record_size);
  // Copies record_size bytes into a new block in the first free slot after an occupied one
  // (slot 0 when all are free), growing when there is none. 0, or -1.
  int add(const void* record);
  // Copies the first record to destination and releases its slot: 1; 0 when empty;
  // -1 when taken but the compaction after it ran out of memory.
  int take_first(void* destination);
  // Occupied slots, or -1 without a slot array.
  int count_used() const;
  // Releases every record and the slot array: 0; 1 when there was none.
  int clear();
  // Releases one slot: 0; 1 when it was free already; -1 for a bad index.
  int remove_at(int32_t index);
  // Adds grow_step free slots at the end. 0, or the error code.
  int grow();
  // Moves the records to the front of an array of max(used, grow_step) slots. 0 or -1.
  int compact();

  int32_t capacity() const { return capacity_; }

 private:
  void*& slot(int32_t index) const { return store_[base_ + index]; }
  bool contiguous() const { return used_ == end_ - first_; }
  // Makes the store hold slots entries from base_ on, moving the records to a larger
  // store when it does not. False when memory runs out (nothing changed then).
  bool make_room(int32_t slots);

  int32_t capacity_ = 0;
  int32_t record_size_ = 0;
  int32_t grow_step_ = 10;

  void** store_ = nullptr;  // the slot array is store_[base_] to store_[base_ + capacity_ - 1]
  int32_t store_size_ = 0;  // every store entry outside an occupied slot is nullptr
  int32_t base_ = 0;
  int32_t used_ = 0;
  int32_t first_ = 0;  // the first occupied slot, when used_ > 0
  int32_t end_ = 0;    // one past the last occupied slot, when used_ > 0
};
