// record_table: order, growth and compaction.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
