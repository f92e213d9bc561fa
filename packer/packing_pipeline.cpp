// The file entries packed side by side: workers load, the calling thread appends in order.
#include "packing_pipeline.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "container_format.h"
#include "file_packing.h"

namespace {

// How many entries per worker may be loaded ahead of the one being appended: enough that a
// large file does not leave the other workers idle. A loaded entry holds only the bytes
// its section stores, so what waits is part of the container to be.
constexpr size_t look_ahead_per_worker = 16;

// One entry on its way from a worker to the appending thread.
struct slot {
  loaded_file file;
  std::exception_ptr error;  // what loading it threw
  uint64_t held = 0;         // bytes the loaded file holds
  bool loaded = false;
};

// Loads the entries ahead of the thread that appends them: entry i in slots_[i %
// slots_.size()], started only once the entry that held the slot before is appended. The
// appending thread is one of the workers: while the entry it waits for is not loaded, it
// loads the next one itself, so that it seldom sleeps and one worker needs no thread.
class entry_loader {
 public:
  // Starts workers - 1 threads (fewer when the system has no more to give).
  entry_loader(const std::vector<std::string>& paths, const std::vector<bool>& left_out,
               uint64_t latest_time, unsigned workers);
  // Stops the threads and waits for them; each finishes the file it has.
  ~entry_loader();
  entry_loader(const entry_loader&) = delete;
  entry_loader& operator=(const entry_loader&) = delete;

  // Entry index, the next to append, once it is loaded; rethrows what loading it threw.
  const loaded_file& wait_for(size_t index);

  // Entry index is appended, which leaves the container container_size bytes long: its
  // bytes go, and its slot takes an entry further on.
  void appended(size_t index, uint32_t container_size);

 private:
  void work();
  bool may_start() const;
  bool load_next(std::unique_lock<std::mutex>& lock);

  const std::vector<std::string>& paths_;
  const std::vector<bool>& left_out_;
  const uint64_t latest_time_;
  std::vector<slot> slots_;
  std::mutex mutex_;  // guards everything below, and a slot's loaded flag
  std::condition_variable can_start_;
  std::condition_variable loaded_;
  size_t next_ = 0;             // the next entry to start
  size_t appended_ = 0;         // entries appended so far
  size_t end_;                  // entries from here on never start: the end, or after a failure
  uint64_t waiting_bytes_ = 0;  // held by loaded entries not yet appended
  uint64_t container_size_ = container_header_size;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

entry_loader::entry_loader(const std::vector<std::string>& paths,
                           const std::vector<bool>& left_out, uint64_t latest_time, unsigned workers)
    : paths_(paths),
      left_out_(left_out),
      latest_time_(latest_time),
      slots_(look_ahead_per_worker * std::max(workers, 1u)),
      end_(paths.size()) {
  if (workers < 2) return;
  threads_.reserve(workers - 1);
  for (unsigned i = 1; i < workers; ++i) {
    try {
      threads_.emplace_back(&entry_loader::work, this);
    } catch (const std::exception&) {
      break;  // no more threads to be had: those started, and the appending thread, do the work
    }
  }
}

entry_loader::~entry_loader() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  can_start_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

// A slot is free, no entry before has failed, and the entries loaded and appended stay
// below the container's limit (an entry that would pass it fails when its turn comes;
// nothing beyond it need be held).
bool entry_loader::may_start() const {
  return !stopping_ && next_ < end_ && next_ < appended_ + slots_.size() &&
         container_size_ + waiting_bytes_ < container_size_limit;
}

// Loads the next entry, with the lock released meanwhile, when one may start; false when
// none may.
bool entry_loader::load_next(std::unique_lock<std::mutex>& lock) {
  if (!may_start()) return false;
  size_t index = next_++;
  slot& entry = slots_[index % slots_.size()];
  lock.unlock();
  try {
    load_file_entry(entry.file, paths_[index].c_str(), left_out_[index], latest_time_);
  } catch (...) {
    entry.error = std::current_exception();
  }
  entry.held = uint64_t{entry.file.content.size()} + entry.file.stream.size();
  lock.lock();
  if (entry.error) end_ = std::min(end_, index + 1);  // the run ends there
  waiting_bytes_ += entry.held;
  entry.loaded = true;
  loaded_.notify_one();
  return true;
}

void entry_loader::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    can_start_.wait(lock, [this] { return stopping_ || next_ >= end_ || may_start(); });
    if (!load_next(lock)) return;  // stopping, or no entry is left to start
  }
}

const loaded_file& entry_loader::wait_for(size_t index) {
  slot& entry = slots_[index % slots_.size()];
  {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!entry.loaded)
      if (!load_next(lock)) loaded_.wait(lock, [&entry] { return entry.loaded; });
  }
  if (entry.error) std::rethrow_exception(entry.error);
  return entry.file;
}

void entry_loader::appended(size_t index, uint32_t container_size) {
  slot& entry = slots_[index % slots_.size()];
  // No worker touches the slot before appended_ passes index.
  entry.file.content.set_size(0);
  entry.file.stream.set_size(0);
  entry.error = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_bytes_ -= entry.held;
    entry.loaded = false;
    appended_ = index + 1;
    container_size_ = container_size;
  }
  can_start_.notify_one();
}

}  // namespace

uint32_t pack_file_entries(byte_buffer& container, const std::vector<std::string>& paths,
                           const char* description_name, unsigned workers, uint64_t latest_time,
                           packing_observer& observer) {
  std::vector<bool> left_out = taken_names(paths);
  entry_loader loader(paths, left_out, latest_time,
                      static_cast<unsigned>(std::min<size_t>(workers, paths.size())));
  uint32_t clamped = 0;
  for (size_t i = 0; i < paths.size(); ++i) {
    uint32_t offset = container.size();
    const loaded_file& file = loader.wait_for(i);
    entry_outcome outcome = append_file_entry(container, paths[i].c_str(), left_out[i], file, description_name);
    if (outcome != entry_outcome::left_out && file.time_clamped) ++clamped;
    loader.appended(i, container.size());
    observer.entry_packed(paths[i].c_str(), outcome, container, offset);
  }
  return clamped;
}
