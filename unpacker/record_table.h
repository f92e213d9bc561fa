// A table of fixed-size records that gives them back in the order they were added;
// the unpacker collects the lines of [mapobjects] and [screenobjects] in two of them.
// add, take_first and count_used take amortised constant time, so n records cost O(n).
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
  // Copies record_size bytes into a new block in the first free slot that follows an
  // occupied one (slot 0 when all are free), growing when the records fill the table.
  // 0, or -1 without a slot array or when memory runs out.
  int add(const void* record);
  // Copies the first record to destination, releases its slot and compacts: 1; 0 when
  // empty or without a slot array; -1 when taken but the compaction ran out of memory.
  int take_first(void* destination);
  // Occupied slots, or -1 without a slot array.
  int count_used() const;
  // Releases every record and the slot array: 0; 1 when there was none.
  int clear();
  // Releases the record in slot index: 0; 1 when it was free already; -1 for an index
  // outside 0 to capacity() - 1 or without a slot array.
  int remove_at(int32_t index);
  // Adds grow_step (10) free slots at the end, making a slot array when there is none.
  // 0, or the error code when memory runs out (the table stays as it was).
  int grow();
  // Moves the records, in order, to the front of max(used, 10) slots: 0; -1 without a
  // slot array. Does nothing while capacity() is below 10.
  int compact();

  // The number of slots.
  int32_t capacity() const { return capacity_; }

 private:
  // Slot i of the table is physical slot base_ + i of a possibly larger array, so that
  // taking the first record and compacting only moves base_. Every physical slot that
  // holds no record is null.
  void*& slot(int32_t index) { return slots_[base_ + index]; }
  int32_t free_slot_for_add();
  void close_holes();
  bool make_room(int32_t capacity, int32_t keep);

  int32_t capacity_ = 0;
  int32_t record_size_ = 0;
  void** slots_ = nullptr;
  int32_t grow_step_ = 10;
  int32_t allocated_ = 0;   // physical slots
  int32_t base_ = 0;        // physical index of slot 0
  int32_t used_ = 0;        // occupied slots
  int32_t first_used_ = 0;  // first occupied slot, when used_ > 0
  int32_t end_used_ = 0;    // one past the last occupied slot, when used_ > 0
  int32_t scan_from_ = 0;   // slots first_used_ to scan_from_ - 1 are all occupied
};
