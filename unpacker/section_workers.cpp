// Sections read and restored side by side, handed over in order.
#include "section_workers.h"

#include <algorithm>
#include <cstdlib>
#include <exception>

void section_slot::clear() {
  std::free(stored);
  std::free(inflated);
  discard_staged_file(&written);
  *this = section_slot();
}

section_workers::section_workers(section_source& source, uint32_t count, unsigned workers, bool write_ahead)
    : source_(source),
      entries_(std::clamp<size_t>(count, 1, look_ahead_per_worker * std::max(workers, 1u))),
      end_(count),
      writing_ahead_(write_ahead && workers >= 2) {
  if (workers < 2) return;
  for (unsigned i = 0; i < workers; ++i) {
    try {
      threads_.emplace_back(&section_workers::work, this);
    } catch (const std::exception&) {
      break;  // no more threads to be had: those started do the work, or none the caller
    }
  }
  if (threads_.empty()) writing_ahead_ = false;
}

section_workers::~section_workers() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  can_start_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  for (entry& e : entries_) e.slot.clear();
}

// Nobody reads the container now, no section before has failed, an entry is free, and the
// sections waiting to be handled leave room in the window. (The sections in the workers'
// hands are not counted: each worker holds one.)
bool section_workers::may_start() const {
  size_t look_ahead = writing_ahead_ ? std::min(entries_.size(), open_files_ahead) : entries_.size();
  return !stopping_ && !reading_ && next_ < end_ && next_ - handled_ < look_ahead && waiting_bytes_ < window_bytes;
}

// Reads the next section, with the container to this thread alone, and restores it, with the
// lock released meanwhile, when one may start; false when none may.
bool section_workers::take_next(std::unique_lock<std::mutex>& lock) {
  if (!may_start()) return false;
  uint32_t index = next_++;
  entry& e = entries_[index % entries_.size()];
  reading_ = true;
  lock.unlock();
  bool whole = source_.read(index, e.slot);
  lock.lock();
  reading_ = false;
  if (whole) {
    // The container is free for the next section.
    can_start_.notify_one();
    lock.unlock();
    whole = source_.restore(e.slot);
    lock.lock();
    if (whole) write_ahead(e.slot, lock);
  }
  if (!whole && index < end_) {
    end_ = index + 1;  // the run ends there: nothing after it is read
    can_start_.notify_all();
  }
  waiting_bytes_ += e.slot.held;
  e.ready = true;
  if (caller_waits_) became_ready_.notify_one();
  return true;
}

// Has the source write the slot's content ahead unless writing ahead has stopped, with the
// lock released meanwhile.
void section_workers::write_ahead(section_slot& slot, std::unique_lock<std::mutex>& lock) {
  if (!writing_ahead_) return;
  ++writers_;
  lock.unlock();
  source_.write_ahead(slot);
  lock.lock();
  if (--writers_ == 0 && !writing_ahead_) writers_done_.notify_all();
}

void section_workers::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    can_start_.wait(lock, [this] { return stopping_ || next_ >= end_ || may_start(); });
    if (!take_next(lock)) return;  // stopping, or no section is left to start
  }
}

section_slot& section_workers::wait_for(uint32_t index) {
  entry& e = entries_[index % entries_.size()];
  std::unique_lock<std::mutex> lock(mutex_);
  while (!e.ready) {
    if (threads_.empty() && take_next(lock)) continue;
    // Woken when a section is ready.
    caller_waits_ = true;
    became_ready_.wait(lock);
    caller_waits_ = false;
  }
  return e.slot;
}

void section_workers::handled(uint32_t index) {
  entry& e = entries_[index % entries_.size()];
  uint64_t held = e.slot.held;
  e.slot.clear();  // no worker touches the entry before handled_ passes index
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_bytes_ -= held;
    e.ready = false;
    handled_ = index + 1;
    // Workers held back by the look-ahead or the window are woken only once half of either
    // is free, not for each section handled: a wake for each tiny section costs more than
    // the section. Once everything read is handled, both are free.
    wake = (next_ - handled_) * 2 <= entries_.size() && waiting_bytes_ * 2 <= window_bytes;
  }
  if (wake) can_start_.notify_one();
}

bool section_workers::stop_writing_ahead() {
  if (!writing_ahead_) return false;
  std::unique_lock<std::mutex> lock(mutex_);
  writing_ahead_ = false;
  writers_done_.wait(lock, [this] { return writers_ == 0; });
  // Every section written ahead is ready now; none but the caller touches a ready one.
  for (entry& e : entries_)
    if (e.ready) discard_staged_file(&e.slot.written);
  return true;
}
