// The services of os_services.h for the fuzz targets: the input comes from memory and every
// created file goes to a sink that only records its path, so a run touches no real file.
// (The packer's Windows calls keep their POSIX implementation: its fuzz target reads a
// real scratch file.)
#include "os_services.h"

#include <cerrno>
#include <cstring>
#include <mutex>

#include "fuzz_platform.h"
#include "posix_errors.h"

namespace {

const uint8_t* g_input = nullptr;
size_t g_input_size = 0;
std::vector<std::string> g_created;
std::mutex g_created_mutex;  // tarnsplit's workers stage files side by side

FILE* null_stream(const char* mode) { return std::fopen("/dev/null", mode); }

}  // namespace

namespace fuzz_platform {

void set_input(const uint8_t* data, size_t size) {
  g_input = data;
  g_input_size = size;
  g_created.clear();
  record_error(0);
}

const std::vector<std::string>& created_files() { return g_created; }

}  // namespace fuzz_platform

uint32_t last_error() { return recorded_error(); }

bool full_path(const char* path, char* dest, size_t size) {
  size_t length = std::strlen(path);
  if (length + 1 > size) return false;
  std::memcpy(dest, path, length + 1);
  return true;
}

make_directory_result make_directory(const char*) { return make_directory_result::made; }

FILE* open_input_stream(const char*) {
  // fmemopen refuses an empty buffer; an empty file reads like /dev/null.
  if (g_input_size == 0) return null_stream("rb");
  return fmemopen(const_cast<uint8_t*>(g_input), g_input_size, "rb");
}

bool stream_identity(FILE*, file_identity*) { return false; }

bool path_identity(const char*, file_identity*) { return false; }

bool stage_output_file(const char* path, const std::vector<file_identity>&, staged_file* file) {
  {
    std::lock_guard<std::mutex> lock(g_created_mutex);
    g_created.emplace_back(path);
  }
  FILE* stream = null_stream("wb");
  if (!stream) return false;
  *file = staged_file{stream, path, std::string()};
  return true;
}

bool may_take_name(const staged_file&, const std::vector<file_identity>&) { return true; }

commit_result commit_staged_file(staged_file* file) {
  bool closed = close_stream(file->stream);
  file->stream = nullptr;
  return closed ? commit_result::committed : commit_result::write_failed;
}

void discard_staged_file(staged_file* file) {
  if (file->stream) std::fclose(file->stream);
  file->stream = nullptr;
}

bool write_stream(FILE* stream, const void* data, size_t count) {
  return std::fwrite(data, 1, count, stream) == count;
}

bool close_stream(FILE* stream) {
  bool failed_before = std::ferror(stream) != 0;
  bool closed = std::fclose(stream) == 0;
  if (!closed || failed_before) record_error(error_access_denied);
  return closed && !failed_before;
}

uint64_t stream_size(FILE*) { return g_input_size; }

bool set_stream_local_times(FILE* stream, uint32_t) { return std::fflush(stream) == 0; }

bool stdin_is_console() { return false; }

bool stdout_is_console() { return false; }

void wait_for_key_press() {}
