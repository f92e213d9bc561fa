// A container's sections read, checked and restored ahead by workers, and handed to one
// thread in the container's order: the thread that does everything the user sees, so that
// every number of workers shows the same messages and writes the same files.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "container_format.h"
#include "os_services.h"

// The bytes of a section's name that are kept (at most extracted_name_length) and its NUL.
constexpr size_t section_name_size = 255;

// What stops a section before any way of running sees it: the checks of reading and
// restoring it. Workers find them; the thread that handles the section reports them.
enum class section_fault { none, header_missing, header_invalid, data_past_end, no_memory, not_inflated };

// One section on its way from a worker to the thread that handles it.
struct section_slot {
  section_header header = {};
  char name[section_name_size] = {};
  bool objects = false;               // the object section
  unsigned char* stored = nullptr;    // stored_size bytes; none when the data was passed over
  unsigned char* inflated = nullptr;  // a compressed section's content
  uint64_t held = 0;                  // bytes that stored and inflated take
  section_fault fault = section_fault::none;
  int line = 0;  // where the fault was found, for the exit report
  staged_file written;  // the content written ahead under a temporary name, when it was

  const unsigned char* content() const { return inflated ? inflated : stored; }
  // Frees the blocks, removes a file written ahead, and makes the slot as new.
  void clear();
};

// What the workers do with each section.
class section_source {
 public:
  virtual ~section_source() = default;
  // Reads section index into slot (a cleared one) with the container to itself: called for
  // the sections in their order, one at a time. False when the section fails a check
  // (slot.fault set), after which no section is read.
  virtual bool read(uint32_t index, section_slot& slot) = 0;
  // Restores the content of a section read without fault, beside other workers restoring
  // others. False when it fails (slot.fault set).
  virtual bool restore(section_slot& slot) = 0;
  // Writes the content of a restored section ahead, beside other workers, under a temporary
  // name (slot.written), for the thread that handles the section to give it its name; or
  // leaves it to that thread, with slot.written empty. Called only while writing ahead.
  virtual void write_ahead(section_slot&) {}
};

// Runs workers workers over count sections of source. With one, the calling thread reads
// and restores each section when it asks for it. With more, as many threads read and restore
// the sections ahead, and write their content ahead (write_ahead), while the calling thread,
// which does everything else (naming the files above all), takes them in order; it never
// inflates, so that it never keeps a section that is ready waiting. Sections are read in
// order, at most look_ahead_per_worker per worker beyond the one being handled, and a section
// is started only while those restored and not yet handled hold less than window_bytes. So
// memory holds at most window_bytes plus, for each worker, one section's stored and inflated
// blocks: with the largest section L (stored_size + full_size), workers * L + window_bytes.
// With one worker nothing is read ahead: one section at a time, L.
class section_workers {
 public:
  static constexpr size_t look_ahead_per_worker = 64;
  static constexpr uint64_t window_bytes = uint64_t{8} << 20;
  // Sections read ahead while their files are written ahead, each holding a file open: well
  // within the open files that a process may have (512 streams on Windows).
  static constexpr size_t open_files_ahead = 256;

  // Starts workers threads when workers is 2 or more (fewer when the system has no more to
  // give), none with 1. write_ahead: whether the threads have the source write ahead.
  section_workers(section_source& source, uint32_t count, unsigned workers, bool write_ahead);
  // Stops the threads and waits for them; each finishes the section it has.
  ~section_workers();
  section_workers(const section_workers&) = delete;
  section_workers& operator=(const section_workers&) = delete;

  // Section index, the next in order, once read and restored, or once it failed (its fault
  // set; no section after it is handed out).
  section_slot& wait_for(uint32_t index);

  // Section index is handled: its blocks go and its slot takes a section further on.
  void handled(uint32_t index);

  // From now on nothing is written ahead, and what was written ahead is removed: the caller
  // writes the rest in order, as one thread would. False when nothing was being written
  // ahead (it had stopped, or never started).
  bool stop_writing_ahead();

 private:
  bool may_start() const;
  void write_ahead(section_slot& slot, std::unique_lock<std::mutex>& lock);
  bool take_next(std::unique_lock<std::mutex>& lock);
  void work();

  // Section i in entries_[i % entries_.size()], taken only once the section that had the
  // entry before is handled.
  struct entry {
    section_slot slot;
    bool ready = false;  // guarded by mutex_
  };

  section_source& source_;
  std::vector<entry> entries_;
  std::mutex mutex_;  // guards everything below, and an entry's ready flag
  std::condition_variable can_start_;
  std::condition_variable became_ready_;
  uint32_t next_ = 0;         // the next section to read
  uint32_t handled_ = 0;      // sections handled so far
  uint32_t end_;              // sections from here on are never read: the count, or after a fault
  uint64_t waiting_bytes_ = 0;  // taken by sections restored and not yet handled
  bool reading_ = false;        // a worker has the container
  bool caller_waits_ = false;
  bool stopping_ = false;
  bool writing_ahead_;    // changed by the calling thread only, under the mutex
  unsigned writers_ = 0;  // workers writing ahead this moment
  std::condition_variable writers_done_;
  std::vector<std::thread> threads_;
};
