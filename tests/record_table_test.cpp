// record_table: order, growth and compaction.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "record_table.h"

namespace {

struct line {
  char text[255];
};

line make_line(int i) {
  line l = {};
  std::snprintf(l.text, sizeof l.text, "line %d\r\n", i);
  return l;
}

// The table's rules as plainly as they can be written (slots of record numbers, -1 free),
// to hold the real table to them.
struct model_table {
  std::vector<int> slots;

  void init() { slots.assign(10, -1); }
  int first_used() const {
    for (size_t i = 0; i < slots.size(); ++i)
      if (slots[i] >= 0) return static_cast<int>(i);
    return -1;
  }
  void add(int record) {
    for (;;) {
      int first = first_used();
      if (first < 0) {
        slots[0] = record;
        return;
      }
      for (size_t i = static_cast<size_t>(first) + 1; i < slots.size(); ++i)
        if (slots[i] < 0) {
          slots[i] = record;
          return;
        }
      slots.resize(slots.size() + 10, -1);
    }
  }
  void compact() {
    std::vector<int> packed;
    for (int record : slots)
      if (record >= 0) packed.push_back(record);
    size_t size = packed.size() > 10 ? packed.size() : 10;
    packed.resize(size, -1);
    slots = packed;
  }
  int take_first() {
    int first = first_used();
    if (first < 0) return -1;
    int record = slots[static_cast<size_t>(first)];
    slots[static_cast<size_t>(first)] = -1;
    compact();
    return record;
  }
  int used() const {
    int count = 0;
    for (int record : slots) count += record >= 0;
    return count;
  }
};

}  // namespace

TEST(RecordTable, GivesRecordsBackInTheOrderAdded) {
  record_table table;
  ASSERT_EQ(table.init(sizeof(line)), 0);
  EXPECT_EQ(table.capacity(), 10);
  for (int i = 0; i < 25; ++i) {
    line l = make_line(i);
    ASSERT_EQ(table.add(&l), 0);
  }
  EXPECT_EQ(table.capacity(), 30);
  EXPECT_EQ(table.count_used(), 25);
  for (int i = 0; i < 25; ++i) {
    line out;
    ASSERT_EQ(table.take_first(&out), 1);
    EXPECT_STREQ(out.text, make_line(i).text);
  }
  line out;
  EXPECT_EQ(table.take_first(&out), 0);
  EXPECT_EQ(table.count_used(), 0);
  EXPECT_EQ(table.capacity(), 10);
}

TEST(RecordTable, WithoutSlotArrayRefusesWork) {
  record_table table;
  line l = make_line(1);
  EXPECT_EQ(table.add(&l), -1);
  EXPECT_EQ(table.take_first(&l), 0);
  EXPECT_EQ(table.count_used(), -1);
  EXPECT_EQ(table.clear(), 1);
  EXPECT_EQ(table.compact(), -1);
}

TEST(RecordTable, RemoveAtFreesOneSlot) {
  record_table table;
  table.init(sizeof(line));
  line a = make_line(0), b = make_line(1);
  table.add(&a);
  table.add(&b);
  EXPECT_EQ(table.remove_at(0), 0);
  EXPECT_EQ(table.remove_at(0), 1);
  EXPECT_EQ(table.remove_at(10), -1);
  EXPECT_EQ(table.remove_at(-1), -1);
  line out;
  ASSERT_EQ(table.take_first(&out), 1);
  EXPECT_STREQ(out.text, b.text);
  EXPECT_EQ(table.clear(), 0);
  EXPECT_EQ(table.capacity(), 0);
}

TEST(RecordTable, AddFillsTheFirstHoleAfterTheFirstRecord) {
  record_table table;
  table.init(sizeof(line));
  for (int i = 0; i < 4; ++i) {
    line l = make_line(i);
    table.add(&l);
  }
  EXPECT_EQ(table.remove_at(2), 0);  // a hole among the records
  EXPECT_EQ(table.remove_at(0), 0);  // the slot before the first record is no hole
  line fresh = make_line(9);
  ASSERT_EQ(table.add(&fresh), 0);  // into slot 2
  line after = make_line(10);
  ASSERT_EQ(table.add(&after), 0);  // after the last record, slot 4
  EXPECT_EQ(table.count_used(), 4);
  for (int expected : {1, 9, 3, 10}) {
    line out;
    ASSERT_EQ(table.take_first(&out), 1);
    EXPECT_STREQ(out.text, make_line(expected).text);
  }
  EXPECT_EQ(table.count_used(), 0);
  EXPECT_EQ(table.add(&fresh), 0);  // an empty table starts again at slot 0
  EXPECT_EQ(table.remove_at(0), 0);
}

TEST(RecordTable, CompactionClosesHolesAndKeepsAtLeastTenSlots) {
  record_table table;
  table.init(sizeof(line));
  for (int i = 0; i < 15; ++i) {
    line l = make_line(i);
    table.add(&l);
  }
  EXPECT_EQ(table.capacity(), 20);
  for (int i = 3; i < 14; i += 2) table.remove_at(i);  // 6 holes
  EXPECT_EQ(table.compact(), 0);
  EXPECT_EQ(table.capacity(), 10);  // 9 records, at least 10 slots
  EXPECT_EQ(table.count_used(), 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(table.remove_at(i), 0);  // all at the front
  EXPECT_EQ(table.grow(), 0);
  EXPECT_EQ(table.capacity(), 20);
}

TEST(RecordTable, HandlesHundredsOfThousandsOfRecordsInLinearTime) {
  const int count = 200000;  // a table that scans and compacts every slot takes minutes
  auto start = std::chrono::steady_clock::now();
  record_table table;
  table.init(sizeof(line));
  line l = {};
  for (int i = 0; i < count; ++i) {
    std::snprintf(l.text, sizeof l.text, "%d", i);
    ASSERT_EQ(table.add(&l), 0);
  }
  EXPECT_EQ(table.capacity(), count);
  // Takes and adds in turn, then all takes: the order stays that of the adds.
  int next_out = 0, next_in = count;
  for (int i = 0; i < count; ++i) {
    ASSERT_EQ(table.take_first(&l), 1);
    ASSERT_EQ(std::atoi(l.text), next_out++);
    if (i % 2 == 0) {
      std::snprintf(l.text, sizeof l.text, "%d", next_in++);
      ASSERT_EQ(table.add(&l), 0);
    }
  }
  while (table.take_first(&l) == 1) ASSERT_EQ(std::atoi(l.text), next_out++);
  EXPECT_EQ(next_out, next_in);
  EXPECT_EQ(table.count_used(), 0);
  EXPECT_EQ(table.capacity(), 10);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 20.0);
}

TEST(RecordTable, FollowsTheTableRulesThroughAnyMixOfOperations) {
  std::mt19937 random(20030316);
  for (int round = 0; round < 200; ++round) {
    record_table table;
    model_table model;
    ASSERT_EQ(table.init(sizeof(line)), 0);
    model.init();
    int next = 0;
    for (int step = 0; step < 300; ++step) {
      unsigned choice = random() % 10;
      if (choice < 5) {
        line l = make_line(next);
        ASSERT_EQ(table.add(&l), 0);
        model.add(next++);
      } else if (choice < 8) {
        line out = {};
        int expected = model.take_first();
        ASSERT_EQ(table.take_first(&out), expected >= 0 ? 1 : 0);
        if (expected >= 0) {
          ASSERT_STREQ(out.text, make_line(expected).text);
        }
      } else if (choice < 9) {
        auto index = static_cast<int32_t>(random() % (model.slots.size() + 2)) - 1;
        bool valid = index >= 0 && static_cast<size_t>(index) < model.slots.size();
        int expected = !valid ? -1 : model.slots[static_cast<size_t>(index)] < 0 ? 1 : 0;
        ASSERT_EQ(table.remove_at(index), expected);
        if (expected == 0) model.slots[static_cast<size_t>(index)] = -1;
      } else {
        ASSERT_EQ(table.compact(), 0);
        model.compact();
      }
      ASSERT_EQ(table.capacity(), static_cast<int32_t>(model.slots.size())) << "step " << step;
      ASSERT_EQ(table.count_used(), model.used());
    }
  }
}
