// The number of workers TARN_JOBS gives, and tarnsplit's sections handed over by its workers
// in order, whatever the workers' pace.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "section_workers.h"
#include "workers.h"

namespace {

// Sections that only claim their sizes (every seventh 6 MiB), read and restored at random
// paces. It checks that reads come in order and one at a time, and tracks the bytes held.
class paced_sections : public section_source {
 public:
  static constexpr int no_fault = -1;
  static constexpr uint64_t largest = (uint64_t{6} << 20) + 1000;

  explicit paced_sections(int read_fault = no_fault, int restore_fault = no_fault)
      : read_fault_(read_fault), restore_fault_(restore_fault) {}

  static uint32_t size_of(uint32_t index) { return (index % 7 == 3 ? 6u << 20 : 1000u) + index % 1000; }

  bool read(uint32_t index, section_slot& slot) override {
    EXPECT_FALSE(reading_.exchange(true)) << "two reads at once";
    EXPECT_EQ(index, reads_.load()) << "read out of order";
    pause();
    slot.header.time = index;
    slot.header.full_size = size_of(index);
    slot.held = size_of(index);
    uint64_t now = held_ += slot.held;
    for (uint64_t peak = peak_; now > peak && !peak_.compare_exchange_weak(peak, now);) {
    }
    ++reads_;
    reading_ = false;
    return passes(index, read_fault_, slot);
  }

  bool restore(section_slot& slot) override {
    pause();
    return passes(slot.header.time, restore_fault_, slot);
  }

  // Marks the slot as written ahead by a name that names no file, so that removing it does
  // nothing.
  void write_ahead(section_slot& slot) override {
    slot.written.temporary = "no such folder/" + std::to_string(slot.header.time);
    ++written_ahead_;
  }

  void released(const section_slot& slot) { held_ -= slot.held; }
  uint32_t reads() const { return reads_; }
  uint32_t written_ahead() const { return written_ahead_; }
  uint64_t peak() const { return peak_; }

 private:
  static bool passes(uint32_t index, int fault_at, section_slot& slot) {
    if (static_cast<int>(index) != fault_at) return true;
    slot.fault = section_fault::not_inflated;
    slot.line = fault_at;
    return false;
  }

  static void pause() {
    thread_local std::minstd_rand random(
        static_cast<unsigned>(std::hash<std::thread::id>()(std::this_thread::get_id())));
    if (random() % 4 == 0) std::this_thread::sleep_for(std::chrono::microseconds(random() % 200));
  }

  int read_fault_, restore_fault_;
  std::atomic<bool> reading_{false};
  std::atomic<uint32_t> reads_{0}, written_ahead_{0};
  std::atomic<uint64_t> held_{0}, peak_{0};
};

// Takes sections from workers in order up to and including the first at fault, or all count;
// returns the index of the one at fault, or count. With stop_writing_at, files are written
// ahead until that section is taken, and none taken from then on may stay written ahead.
uint32_t take_sections(paced_sections& sections, uint32_t count, unsigned workers, int stop_writing_at = -1) {
  section_workers run(sections, count, workers, stop_writing_at >= 0);
  for (uint32_t index = 0; index < count; ++index) {
    section_slot& slot = run.wait_for(index);
    EXPECT_EQ(slot.header.time, index) << "handed over out of order";
    if (static_cast<int>(index) == stop_writing_at) {
      EXPECT_EQ(run.stop_writing_ahead(), workers > 1);
    }
    if (stop_writing_at >= 0 && static_cast<int>(index) >= stop_writing_at) {
      EXPECT_TRUE(slot.written.temporary.empty()) << index << " still written ahead";
    }
    bool at_fault = slot.fault != section_fault::none;
    // A slow section now and then, during which the workers run ahead as far as they may.
    if (index % 50 == 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    sections.released(slot);
    run.handled(index);
    if (at_fault) return index;
  }
  return count;
}

}  // namespace

TEST(Workers, TarnJobsSetsTheWorkersFromOneToEightAndAnythingElseGivesTheCores) {
  struct {
    const char* setting;
    unsigned cores, workers;
  } cases[] = {
      {nullptr, 2, 2}, {"", 4, 4},   {nullptr, 0, 1}, {nullptr, 64, 8},  {"1", 4, 1},
      {"3", 2, 3},     {"8", 1, 8},  {"12", 2, 8},    {"99999999999999999999", 2, 8},
      {"0", 2, 2},     {"-1", 2, 2}, {"+2", 4, 4},    {" 2", 4, 4},      {"2x", 4, 4},
      {"two", 3, 3},   {"03", 8, 3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(workers_for(c.setting, c.cores), c.workers)
        << (c.setting ? c.setting : "unset") << ", " << c.cores << " cores";
}

TEST(SectionWorkers, HandOverEverySectionInOrderWithinTheMemoryBound) {
  for (unsigned workers : {1u, 2u, 3u, 8u}) {
    SCOPED_TRACE(std::to_string(workers) + " workers");
    paced_sections sections;
    EXPECT_EQ(take_sections(sections, 300, workers), 300u);
    EXPECT_EQ(sections.reads(), 300u);
    EXPECT_EQ(sections.written_ahead(), 0u);
    paced_sections writing;
    EXPECT_EQ(take_sections(writing, 300, workers, 150), 300u);
    EXPECT_EQ(writing.written_ahead() > 0, workers > 1) << "the first section is written ahead before it is handed over";
    // Besides the window, one section in each worker's hands.
    EXPECT_LE(sections.peak(), section_workers::window_bytes + workers * paced_sections::largest);
    if (workers == 1) {
      uint64_t largest = 0;
      for (uint32_t index = 0; index < 300; ++index) largest = std::max<uint64_t>(largest, paced_sections::size_of(index));
      EXPECT_EQ(sections.peak(), largest) << "one thread read ahead";
    }
  }
}

TEST(SectionWorkers, StopAtTheFirstSectionAtFaultInOrder) {
  struct {
    int read_fault, restore_fault;
    uint32_t stop;
  } cases[] = {{0, paced_sections::no_fault, 0},   {57, paced_sections::no_fault, 57},
               {paced_sections::no_fault, 0, 0},  {paced_sections::no_fault, 140, 140},
               {90, 40, 40},                      {40, 90, 40}};
  for (unsigned workers : {1u, 2u, 8u}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::to_string(workers) + " workers, faults " + std::to_string(c.read_fault) + " " +
                   std::to_string(c.restore_fault));
      paced_sections sections(c.read_fault, c.restore_fault);
      EXPECT_EQ(take_sections(sections, 200, workers), c.stop);
      // Nothing is read past a section whose read failed; the last section is never passed.
      if (c.read_fault != paced_sections::no_fault) {
        EXPECT_LE(sections.reads(), uint32_t(c.read_fault) + 1);
      }
      EXPECT_LE(sections.reads(), 200u);
    }
  }
}
