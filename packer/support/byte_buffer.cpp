// A growable block of bytes.
#include "byte_buffer.h"

#include <cstring>

#include "disk_file.h"
#include "memory_blocks.h"
#include "packer_errors.h"

void byte_buffer::grow_to(uint32_t n) {
  uint64_t wanted = static_cast<uint64_t>(capacity_) + capacity_ / 2;
  if (wanted < n) wanted = n;
  if (wanted > UINT32_MAX) wanted = UINT32_MAX;
  void* block = data_;
  try {
    mem_resize(block, static_cast<size_t>(wanted));
  } catch (const memory_exception&) {
    if (wanted == n) throw;
    mem_resize(block, n);  // the spare room was too much to ask; the exact size may do
    wanted = n;
  }
  data_ = static_cast<unsigned char*>(block);
  capacity_ = static_cast<uint32_t>(wanted);
}

void byte_buffer::set_size(uint32_t n) {
  if (n == 0) {
    mem_free(data_);
    data_ = nullptr;
    size_ = capacity_ = 0;
    return;
  }
  if (n > capacity_) grow_to(n);
  size_ = n;
}

void byte_buffer::shrink_to_fit() {
  if (size_ == capacity_) return;
  void* block = data_;
  try {
    mem_resize(block, size_);
  } catch (const memory_exception&) {
    return;
  }
  data_ = static_cast<unsigned char*>(block);
  capacity_ = size_;
}

uint32_t byte_buffer::append(const void* source, size_t count) {
  uint32_t offset = size_;
  if (count > UINT32_MAX - offset) throw memory_exception();
  if (count == 0) return offset;
  set_size(offset + static_cast<uint32_t>(count));
  std::memcpy(data_ + offset, source, count);
  return offset;
}

void byte_buffer::load_file(const char* path) {
  disk_file file;
  file.open_read(path, FILE_SHARE_READ, OPEN_EXISTING);
  uint32_t n = file.size();
  set_size(n);
  file.read(data_, n);
  file.close();
}
