// The unpacker's driver: checks the container, extracts every file section with its time,
// and hands the description writer each section in container order.
#include "unpack_run.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "container_format.h"
#include "description_writer.h"
#include "exit_report.h"
#include "inflating.h"
#include "object_section_writer.h"
#include "os_services.h"
#include "output_paths.h"
#include "paths.h"
#include "safe_name.h"
#include "unpack_status.h"

namespace {

constexpr int input_name_size = 255;      // the typed answer: at most 254 characters
constexpr size_t resolved_path_size = 999;
constexpr size_t section_name_size = 255;
static_assert(extracted_name_length < section_name_size, "a kept name and its NUL fit");

// What the run holds; released (files closed, blocks freed) before the exit report.
struct run_state {
  char* input_name = nullptr;
  char* output_directory = nullptr;
  std::string description_name;
  FILE* container = nullptr;
  FILE* description = nullptr;
  uint64_t container_left = 0;  // bytes of the container not read yet
  uint32_t total_full_size = 0;
  uint32_t total_stored_size = 0;
  unsigned char* stored = nullptr;
  unsigned char* inflated = nullptr;

  void release_section() {
    std::free(stored);
    std::free(inflated);
    stored = inflated = nullptr;
  }

  void release() {
    release_section();
    std::free(input_name);
    std::free(output_directory);
    input_name = output_directory = nullptr;
    if (container) std::fclose(container);
    if (description) std::fclose(description);
    container = description = nullptr;
  }

  ~run_state() { release(); }
};

struct outcome {
  unpack_status status;
  int line;  // of the failing check, for the exit report
};

constexpr outcome finished = {unpack_status::success, 0};

namespace message = unpack_message;

const char* program_path(int argc, char** argv) { return argc >= 1 ? argv[0] : ""; }

// The argument, or one line typed at the prompt (its line end, LF or CR LF, dropped, the
// rest of an over-long line discarded; the end of input, or a read error, is an empty answer).
char* take_input_name(int argc, char** argv) {
  if (argc >= 2) {
    size_t length = std::strlen(argv[1]);
    auto* name = static_cast<char*>(std::malloc(length + 1));
    if (name) std::memcpy(name, argv[1], length + 1);
    return name;
  }
  std::printf("Please type in the name of the .lvz: ");
  std::fflush(stdout);
  auto* name = static_cast<char*>(std::calloc(input_name_size, 1));
  if (!name) return nullptr;
  if (!std::fgets(name, input_name_size, stdin)) {
    name[0] = '\0';  // a read error may leave the block's contents undefined
    return name;
  }
  size_t length = std::strlen(name);
  if (length > 0 && name[length - 1] == '\n') {
    name[--length] = '\0';
    if (length > 0 && name[length - 1] == '\r') name[--length] = '\0';
  } else {
    int c;
    while ((c = std::getchar()) != '\n' && c != EOF) {
    }
  }
  return name;
}

// An output directory whose last part is empty, "." or ".." would be the parent or the
// current directory itself; so would one of dots and blanks only ("...", ". ."), since
// Windows drops the trailing dots and blanks of a path's last part.
bool names_new_directory(const char* path) {
  const char* last = file_name_part(path);
  return last[std::strspn(last, ". ")] != '\0';
}

bool read_exact(run_state& state, void* destination, size_t count) {
  size_t got = std::fread(destination, 1, count, state.container);
  state.container_left -= got < state.container_left ? got : state.container_left;
  return got == count;
}

// The name up to its NUL, of which the first extracted_name_length bytes are kept. False
// at the end of file.
bool read_section_name(run_state& state, char* name) {
  size_t length = 0;
  for (;;) {
    int c = std::getc(state.container);
    if (c == EOF) return false;
    if (state.container_left) --state.container_left;
    if (c == 0) return true;
    if (length < extracted_name_length) name[length++] = static_cast<char>(c);
  }
}

outcome extract_file(run_state& state, const char* name, const section_header& header,
                     const unsigned char* content) {
  const char* directory = state.output_directory;
  if (!is_safe_file_name(name, state.description_name.c_str()))
    return {fail<message::unsafe_file_name>(printable_name(name).c_str()), __LINE__};
  FILE* file = open_in_dir(name, directory);
  if (!file) {
    uint32_t code = last_error();
    return {fail<message::file_not_created>(directory, name, static_cast<int>(code)), __LINE__};
  }
  bool written = write_stream(file, content, header.full_size);
  // The stored time (local wall-clock time) goes on the file just created, through its
  // stream, never by its path; a failure to set it goes unreported, a failed flush shows in
  // the close.
  if (written) set_stream_local_times(file, header.time);
  if (!close_stream(file) || !written) {
    uint32_t code = last_error();
    return {fail<message::file_not_written>(directory, name, static_cast<int>(code)), __LINE__};
  }
  write_file_entry(state.description, name, header.full_size, header.stored_size);
  return finished;
}

outcome description_failed(run_state& state, int line) {
  uint32_t code = last_error();
  return {fail<message::description_not_written>(state.output_directory, state.description_name.c_str(),
                                                 static_cast<int>(code)),
          line};
}

outcome unpack_section(run_state& state, uint32_t index) {
  unsigned char raw_header[section_header_size];
  if (!read_exact(state, raw_header, sizeof raw_header))
    return {fail<message::section_header_missing>(index), __LINE__};
  section_header header = decode_section_header(raw_header);
  if (!has_container_magic(header.magic) || header.stored_size == 0 || header.full_size == 0)
    return {fail<message::section_header_invalid>(), __LINE__};

  char name[section_name_size] = {};
  if (!read_section_name(state, name)) return {fail<message::data_past_end>(), __LINE__};

  // Never allocate for data that is not there.
  if (header.stored_size > state.container_left) return {fail<message::data_past_end>(), __LINE__};
  state.stored = static_cast<unsigned char*>(std::malloc(header.stored_size));
  if (!state.stored) return {fail<message::out_of_memory>(header.stored_size), __LINE__};
  if (!read_exact(state, state.stored, header.stored_size))
    return {fail<message::data_past_end>(), __LINE__};

  const unsigned char* content = state.stored;
  if (!is_raw_section(header)) {
    state.inflated = inflate_exactly(state.stored, header.stored_size, header.full_size);
    if (!state.inflated) return {fail<message::not_inflated>(), __LINE__};
    content = state.inflated;
  }
  state.total_full_size += header.full_size;
  state.total_stored_size += header.stored_size;

  if (is_object_section(header.time, name)) {
    unpack_status status = write_object_section(state.description, content, header.full_size,
                                                header.full_size, header.stored_size);
    if (status != unpack_status::success) return {status, __LINE__};
  } else {
    outcome extracted = extract_file(state, name, header, content);
    if (extracted.status != unpack_status::success) return extracted;
  }
  if (std::ferror(state.description)) return description_failed(state, __LINE__);
  state.release_section();
  return finished;
}

// The input name, the container opened, and the output directory's path.
outcome open_container(run_state& state, int argc, char** argv) {
  state.input_name = take_input_name(argc, argv);
  if (!state.input_name) return {fail<message::out_of_memory>(0u), __LINE__};

  char resolved[resolved_path_size];
  if (full_path(state.input_name, resolved, sizeof resolved))
    state.container = open_input_stream(resolved);
  else
    std::snprintf(resolved, sizeof resolved, "%s", state.input_name);
  if (!state.container) {
    uint32_t code = last_error();
    return {fail<message::container_not_opened>(resolved, program_path(argc, argv), static_cast<int>(code)),
            __LINE__};
  }
  state.container_left = stream_size(state.container);
  state.output_directory = output_directory_path(argc, argv, state.input_name);
  return finished;
}

outcome unpack(run_state& state, int argc, char** argv) {
  outcome opened = open_container(state, argc, argv);
  if (opened.status != unpack_status::success) return opened;

  unsigned char raw_header[container_header_size];
  if (!read_exact(state, raw_header, sizeof raw_header))
    return {fail<message::container_header_short>(), __LINE__};
  container_header header = decode_container_header(raw_header);
  if (!has_container_magic(header.magic)) return {fail<message::not_a_container>(), __LINE__};
  if (header.section_count == 0) return {fail<message::no_sections>(), __LINE__};

  if (!state.output_directory || !names_new_directory(state.output_directory) ||
      make_directory(state.output_directory) == make_directory_result::path_not_found)
    return {fail<message::directory_not_created>(), __LINE__};

  state.description_name = description_name_for(file_name_part(state.input_name));
  state.description = open_in_dir(state.description_name.c_str(), state.output_directory);
  if (!state.description) {
    uint32_t code = last_error();
    return {fail<message::description_not_created>(state.output_directory, state.description_name.c_str(),
                                                   static_cast<int>(code)),
            __LINE__};
  }
  write_description_head(state.description, state.input_name);

  for (uint32_t index = 0; index < header.section_count; ++index) {
    outcome section = unpack_section(state, index);
    if (section.status != unpack_status::success) return section;
  }
  write_totals(state.description, state.total_full_size, state.total_stored_size);

  // A write error of the description shows at the latest when it is closed.
  FILE* description = state.description;
  state.description = nullptr;
  if (!close_stream(description)) return description_failed(state, __LINE__);
  return finished;
}

}  // namespace

int run_tarnsplit(int argc, char** argv) {
  run_state state;
  outcome result = unpack(state, argc, argv);
  state.release();
  if (result.status != unpack_status::success) report_exit_and_wait(__FILE__, result.line);
  return static_cast<int>(result.status);
}
