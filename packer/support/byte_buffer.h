// A growable block of bytes: the container is assembled in one, and each file is read
// into one whole.
#pragma once

#include <cstddef>
#include <cstdint>

class byte_buffer {
 public:
  byte_buffer() = default;
  ~byte_buffer() { set_size(0); }
  byte_buffer(const byte_buffer&) = delete;
  byte_buffer& operator=(const byte_buffer&) = delete;

  // The bytes in use; nullptr while the buffer is empty.
  unsigned char* data() { return data_; }
  const unsigned char* data() const { return data_; }
  uint32_t size() const { return size_; }

  // Makes the buffer n bytes long, keeping the content up to the smaller size; 0 releases
  // the block. The block grows by half again when it must grow, so that appending stays
  // linear. Throws memory_exception, and then the buffer is unchanged.
  void set_size(uint32_t n);

  // Gives the block's spare room back, so that it holds size bytes exactly. When the system
  // cannot, the block stays as it was.
  void shrink_to_fit();

  // Appends count bytes from source (which must not lie inside this buffer). Returns the
  // offset at which they now stand, the old size. Throws memory_exception, also when the
  // size would pass what 32 bits hold.
  uint32_t append(const void* source, size_t count);

  // Replaces the content with the whole file at path. Throws file_exception when the file
  // cannot be opened or read, text_exception when it is 4 GiB or more. When the open or
  // the size query fails the buffer is unchanged; when the read fails its content is
  // undefined.
  void load_file(const char* path);

 private:
  void grow_to(uint32_t n);

  unsigned char* data_ = nullptr;
  uint32_t size_ = 0;
  uint32_t capacity_ = 0;  // bytes in the block, at least size_
};
