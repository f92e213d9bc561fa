// A table of fixed-size records that gives them back in the order they were added;
// the unpacker collects the lines of [mapobjects] and [screenobjects] in two of them.
#pragma once

#include <cstdint>

class record_table {
 public:
  record_table() = default;
  ~record_table() { clear(); }
  record_table(const record_table&) = delete;
  record_table& operator=(const record_table&) = delete;

  // Makes 10 free slots for records of record_size bytes. 0, or the error code when
  // memory runs out (then there is no slot array).
  int init(int32_t record_size);
  // Copies record_size bytes into a new slot after the last occupied one. 0, or -1.
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
  // Moves the records to the front of a new array of max(used, grow_step) slots. 0 or -1.
  int compact();

  int32_t capacity() const { return capacity_; }

 private:
  int32_t capacity_ = 0;
  int32_t record_size_ = 0;
  void** slots_ = nullptr;
  int32_t grow_step_ = 10;
};
