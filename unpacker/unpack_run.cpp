// The unpacker's driver: one walk over a container, with the reads, checks, messages and
// statuses that every way of running shares, and what each way does with the sections the
// walk hands it: extraction writes them, --test only checks them, --list lists them. Workers
// read and restore the sections ahead (section_workers); this thread takes them in order.
#include "unpack_run.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "command_line.h"
#include "container_format.h"
#include "description_writer.h"
#include "exit_report.h"
#include "inflating.h"
#include "memory.h"
#include "object_section_reader.h"
#include "object_section_writer.h"
#include "os_services.h"
#include "output_paths.h"
#include "paths.h"
#include "safe_name.h"
#include "section_listing.h"
#include "section_workers.h"
#include "unpack_status.h"
#include "workers.h"

namespace {

constexpr int input_name_size = 255;      // the typed answer: at most 254 characters
constexpr size_t resolved_path_size = 999;
static_assert(extracted_name_length < section_name_size, "a kept name and its NUL fit");

// What the walk over one container holds; released (files closed, blocks freed) before the
// exit report.
struct run_state {
  const char* program = "";          // the program's own path, as main got it
  const char* given_name = nullptr;  // the container's name from the command line; none: typed
  char* input_name = nullptr;
  std::string description_name;
  FILE* container = nullptr;
  uint32_t section_count = 0;
  uint64_t total_full_size = 0;  // the description keeps the low 32 bits of both
  uint64_t total_stored_size = 0;
  section_workers* workers = nullptr;  // those taking the sections apart, during the walk

  void release() {
    std::free(input_name);
    input_name = nullptr;
    if (container) std::fclose(container);
    container = nullptr;
  }

  ~run_state() { release(); }
};

// How a step of the run ended. The exit report names this file and line, so line is always a
// line of this file: the check here at which the run ended, also where a helper elsewhere
// found the fault and handed back its status, or where a worker found it (container_sections
// below). People quote the report, and the tests match it.
struct outcome {
  unpack_status status;
  int line;
};

constexpr outcome finished = {unpack_status::success, 0};

namespace message = unpack_message;

// Files written ahead by the workers: those of this size and more.
constexpr uint32_t smallest_written_ahead = 64 << 10;

// The argument, or one line typed at the prompt (its line end, LF or CR LF, dropped; the end
// of input, or a read error, is an empty answer). *too_long tells of a typed line longer than
// the answer holds, which is read to its end and not kept: cut, it would name another file.
char* take_input_name(const char* given, bool* too_long) {
  *too_long = false;
  if (given) {
    size_t length = std::strlen(given);
    auto* name = static_cast<char*>(std::malloc(length + 1));
    if (name) std::memcpy(name, given, length + 1);
    return name;
  }
  std::printf("Please type in the name of the .lvz: ");
  std::fflush(stdout);
  auto* name = static_cast<char*>(std::calloc(input_name_size, 1));
  if (!name) return nullptr;
  size_t length = 0;
  auto keep = [&](int c) {
    if (length < input_name_size - 1)
      name[length++] = static_cast<char>(c);
    else
      *too_long = true;
  };
  int c;
  bool held_cr = false;  // a CR read last: part of the line end when an LF follows
  while ((c = std::getchar()) != '\n' && c != EOF) {
    if (held_cr) keep('\r');
    held_cr = c == '\r';
    if (!held_cr) keep(c);
  }
  if (held_cr && c == EOF) keep('\r');
  if (std::ferror(stdin)) length = 0;
  name[length] = '\0';
  return name;
}

// An output directory whose last part is empty, "." or ".." would be the parent or the
// current directory itself; so would one of dots and blanks only ("...", ". ."), since
// Windows drops the trailing dots and blanks of a path's last part.
bool names_new_directory(const char* path) {
  const char* last = system_file_name(path);
  return last[std::strspn(last, ". ")] != '\0';
}

// The folders that the run has extracted into, told apart by identity (by spelling where the
// system cannot tell it): a run never replaces what it wrote itself.
class written_folders {
 public:
  // Records path; false when the run went into it before.
  bool add(const std::string& path) {
    file_identity identity;
    if (!path_identity(path.c_str(), &identity)) return add_new(spellings_, path);
    return add_new(identities_, identity);
  }

 private:
  template <typename key_type>
  static bool add_new(std::vector<key_type>& keys, const key_type& key) {
    if (std::find(keys.begin(), keys.end(), key) != keys.end()) return false;
    keys.push_back(key);
    return true;
  }

  std::vector<file_identity> identities_;
  std::vector<std::string> spellings_;
};

// ---- What is done with the sections ------------------------------------------------------

// What a way of running does with each section that the walk has read and checked.
class section_handler {
 public:
  virtual ~section_handler() = default;
  // Whether a file section's data is restored (read and inflated) or passed over; the object
  // section's always is.
  virtual bool restores_files() const = 0;
  // Whether write_ahead writes files: then the workers call it on every restored section.
  virtual bool writes_ahead() const { return false; }
  // On a worker, beside other workers: writes a restored section's file ahead under a
  // temporary name (slot.written), or leaves it to file_section.
  virtual void write_ahead(const run_state&, section_slot&) const {}
  // After the container header's checks, before the first section.
  virtual outcome begin(run_state& state) = 0;
  // slot.content(): the restored content, or nullptr when restores_files() is false.
  virtual outcome file_section(run_state& state, section_slot& slot) = 0;
  virtual outcome object_section(run_state& state, const section_header& header,
                                 const unsigned char* content) = 0;
  // After the last section.
  virtual outcome end(run_state& state) = 0;
  // After the walk, however it ended, before the exit report: closes what the handler holds.
  virtual void finish(unpack_status) {}
};

// Extraction and --test refuse an unsafe name at the same check.
outcome refuse_unsafe_name(const run_state& state, const char* name) {
  if (!is_safe_file_name(name, state.description_name.c_str()))
    return {fail<message::unsafe_file_name>(printable_name(name).c_str()), __LINE__};
  return finished;
}

// Extraction renders the object section into the description, --test to nowhere.
outcome render_objects(FILE* out, const section_header& header, const unsigned char* content,
                       object_section_counts* counts) {
  return {write_object_section(out, content, header.full_size, header.full_size, header.stored_size, counts),
          __LINE__};
}

// Writes every file into the output directory and the description beside them. Each takes
// its name only once whole, the description only when the whole container is taken apart;
// neither ever replaces the container being read, nor what an earlier container wrote.
class extractor : public section_handler {
 public:
  // chosen_directory: -o DIR, or nullptr for the directory named after the container; with
  // several containers each goes into a folder of DIR named as that directory is.
  extractor(const char* chosen_directory, bool several, written_folders& written)
      : chosen_directory_(chosen_directory), several_(several), written_(written) {}
  ~extractor() override { finish(unpack_status::success); }

  bool restores_files() const override { return true; }

  outcome begin(run_state& state) override {
    if (!make_output_directory(state)) return {fail<message::directory_not_created>(), __LINE__};
    if (!written_.add(output_directory_))
      return {fail<message::directory_used_before>(output_directory_.c_str()), __LINE__};

    file_identity container;
    if (stream_identity(state.container, &container)) in_use_.push_back(container);
    if (!stage_in_dir(state.description_name.c_str(), output_directory_.c_str(), in_use_, &description_))
      return description_not_created(state, __LINE__);
    file_identity description;
    if (stream_identity(description_.stream, &description)) in_use_.push_back(description);
    write_description_head(description_.stream, state.input_name);
    return finished;
  }

  bool writes_ahead() const override { return true; }

  // A file whose creation or writing fails is left to file_section, which makes it again in
  // the container's order and reports what fails then. A small file is left to it too: it
  // costs less written in order than created beside the thread that names the others, the
  // two taking turns at the folder.
  void write_ahead(const run_state& state, section_slot& slot) const override {
    if (slot.objects || slot.header.full_size < smallest_written_ahead ||
        !is_safe_file_name(slot.name, state.description_name.c_str()))
      return;
    staged_file file;
    if (!stage_in_dir(slot.name, output_directory_.c_str(), in_use_, &file)) return;
    if (!write_content(file, slot.header, slot.content()) || std::ferror(file.stream))
      discard_staged_file(&file);
    else
      slot.written = file;
  }

  outcome file_section(run_state& state, section_slot& slot) override {
    const char* name = slot.name;
    outcome named = refuse_unsafe_name(state, name);
    if (named.status != unpack_status::success) return named;
    file_failure failed = make_file(slot);
    // With files written ahead beside it (filling the disk, above all), a failure is tried
    // again with none: what it leaves is then what one thread leaves.
    if (failed.at != file_failure::none && state.workers->stop_writing_ahead()) failed = make_file(slot);
    const char* directory = output_directory_.c_str();
    int code = static_cast<int>(failed.code);
    switch (failed.at) {
      case file_failure::not_staged:
        return {fail<message::file_not_created>(directory, name, code), __LINE__};
      case file_failure::not_written:
        return {fail<message::file_not_written>(directory, name, code), __LINE__};
      case file_failure::not_renamed:
        return {fail<message::file_not_created>(directory, name, code), __LINE__};
      case file_failure::not_closed:
        return {fail<message::file_not_written>(directory, name, code), __LINE__};
      case file_failure::none:
        break;
    }
    write_file_entry(description_.stream, name, slot.header.full_size, slot.header.stored_size);
    if (std::ferror(description_.stream)) return description_failed(state, __LINE__);
    return finished;
  }

  outcome object_section(run_state& state, const section_header& header,
                         const unsigned char* content) override {
    outcome rendered = render_objects(description_.stream, header, content, nullptr);
    if (rendered.status != unpack_status::success) return rendered;
    if (std::ferror(description_.stream)) return description_failed(state, __LINE__);
    return finished;
  }

  outcome end(run_state& state) override {
    write_totals(description_.stream, static_cast<uint32_t>(state.total_full_size),
                 static_cast<uint32_t>(state.total_stored_size));
    // A write error of the description shows at the latest when it is closed.
    commit_result committed = commit_staged_file(&description_);
    if (committed == commit_result::not_renamed) return description_not_created(state, __LINE__);
    if (committed == commit_result::write_failed) return description_failed(state, __LINE__);
    return finished;
  }

  // Removes the description of a run that failed, so that one there before stays as it was
  // and no part of one is taken for a whole.
  void finish(unpack_status) override { discard_staged_file(&description_); }

 private:
  // Names the output directory and makes it, one level, or finds it there. False when its
  // path is not found or it names no new directory (or memory ran out).
  bool make_output_directory(const run_state& state) {
    if (chosen_directory_ && !several_) {
      output_directory_ = chosen_directory_;  // may be one that exists, "." among them
      return make(chosen_directory_);
    }
    if (!name_directory_after_container(state) || !names_new_directory(output_directory_.c_str()))
      return false;
    if (chosen_directory_) {
      if (!make(chosen_directory_)) return false;
      output_directory_ = std::string(chosen_directory_) + "\\" + system_file_name(output_directory_.c_str());
    }
    return make(output_directory_.c_str());
  }

  // Where making a file failed, and the system's code then.
  struct file_failure {
    enum step { none, not_staged, not_written, not_renamed, not_closed } at = none;
    uint32_t code = 0;
  };

  // Gives the file written ahead (slot.written) its name, after the checks of its creation
  // made again now, in order; or makes, writes and names it here.
  file_failure make_file(section_slot& slot) {
    staged_file& file = slot.written;
    bool written = file.stream != nullptr;
    if (written ? !may_take_name(file, in_use_) : !stage_in_dir(slot.name, output_directory_.c_str(), in_use_, &file))
      return dropped(file, file_failure::not_staged);
    if (!written && !write_content(file, slot.header, slot.content())) return dropped(file, file_failure::not_written);
    commit_result committed = commit_staged_file(&file);
    if (committed == commit_result::not_renamed) return {file_failure::not_renamed, last_error()};
    if (committed == commit_result::write_failed) return {file_failure::not_closed, last_error()};
    return {};
  }

  static file_failure dropped(staged_file& file, file_failure::step at) {
    file_failure failure = {at, last_error()};
    discard_staged_file(&file);
    return failure;
  }

  // The content, and the stored time (local wall-clock time) on the file just created,
  // through its stream, never by its path; false when the content was not written. A failure
  // to set the time goes unreported, a failed flush shows when the file is committed.
  static bool write_content(const staged_file& file, const section_header& header, const unsigned char* content) {
    if (!write_stream(file.stream, content, header.full_size)) return false;
    set_stream_local_times(file.stream, header.time);
    return true;
  }

  static bool make(const char* directory) {
    return make_directory(directory) != make_directory_result::path_not_found;
  }

  // Where output_directory_path puts it: next to the container, or, for a name typed without
  // its root, next to the program. False when memory ran out.
  bool name_directory_after_container(const run_state& state) {
    char* arguments[] = {const_cast<char*>(state.program), state.input_name};
    char* path = output_directory_path(state.given_name ? 2 : 1, arguments, state.input_name);
    if (!path) return false;
    output_directory_ = path;
    std::free(path);
    return true;
  }

  outcome description_not_created(const run_state& state, int line) {
    uint32_t code = last_error();
    return {fail<message::description_not_created>(output_directory_.c_str(), state.description_name.c_str(),
                                                   static_cast<int>(code)),
            line};
  }

  outcome description_failed(const run_state& state, int line) {
    uint32_t code = last_error();
    return {fail<message::description_not_written>(output_directory_.c_str(), state.description_name.c_str(),
                                                   static_cast<int>(code)),
            line};
  }

  const char* chosen_directory_;
  bool several_;
  written_folders& written_;
  std::string output_directory_;
  staged_file description_;
  std::vector<file_identity> in_use_;  // the container, then the description being written
};

// --test: everything extraction reads and checks, nothing created; one line on success.
class tester : public section_handler {
 public:
  bool restores_files() const override { return true; }

  outcome begin(run_state&) override { return finished; }

  outcome file_section(run_state& state, section_slot& slot) override {
    outcome named = refuse_unsafe_name(state, slot.name);
    if (named.status == unpack_status::success) ++files_;
    return named;
  }

  outcome object_section(run_state&, const section_header& header, const unsigned char* content) override {
    object_section_counts counts;
    outcome rendered = render_objects(nullptr, header, content, &counts);
    images_ += counts.images;
    objects_ += uint64_t{counts.map_objects} + counts.screen_objects;
    return rendered;
  }

  outcome end(run_state& state) override {
    std::printf("%s: OK, %s, %s, %s\n", state.input_name, count_text(files_, "file").c_str(),
                count_text(images_, "image").c_str(), count_text(objects_, "object").c_str());
    return finished;
  }

 private:
  uint64_t files_ = 0, images_ = 0, objects_ = 0;
};

// --list: every section shown, file sections passed over without inflating; an unsafe name
// is marked, and the first one ends the run once everything is listed.
class lister : public section_handler {
 public:
  explicit lister(std::unique_ptr<section_listing> listing) : listing_(std::move(listing)) {}

  bool restores_files() const override { return false; }

  outcome begin(run_state&) override {
    listing_->begin();
    return finished;
  }

  outcome file_section(run_state& state, section_slot& slot) override {
    bool extractable = is_safe_file_name(slot.name, state.description_name.c_str());
    if (!extractable && !unsafe_seen_) {
      unsafe_seen_ = true;
      first_unsafe_ = slot.name;
    }
    listing_->file(slot.name, slot.header, extractable);
    return finished;
  }

  outcome object_section(run_state&, const section_header& header, const unsigned char* content) override {
    unpack_status status = read_object_section(content, header.full_size, listing_->objects(header));
    if (status != unpack_status::success) return {status, __LINE__};
    listing_->objects_read();
    return finished;
  }

  outcome end(run_state& state) override {
    listing_->totals(state.section_count, state.total_full_size, state.total_stored_size);
    if (unsafe_seen_)
      return {fail<message::unsafe_file_name>(printable_name(first_unsafe_.c_str()).c_str()), __LINE__};
    return finished;
  }

  void finish(unpack_status status) override { listing_->end(status); }

 private:
  std::unique_ptr<section_listing> listing_;
  bool unsafe_seen_ = false;
  std::string first_unsafe_;
};

// ---- The walk ----------------------------------------------------------------------------

// The input name, and the container opened.
outcome open_container(run_state& state) {
  bool too_long = false;
  state.input_name = take_input_name(state.given_name, &too_long);
  if (!state.input_name) return {fail<message::out_of_memory>(0u), __LINE__};
  if (too_long) return {fail<message::typed_name_too_long>(input_name_size - 1, state.input_name), __LINE__};

  char resolved[resolved_path_size];
  if (full_path(state.input_name, resolved, sizeof resolved))
    state.container = open_input_stream(resolved);
  else
    std::snprintf(resolved, sizeof resolved, "%s", state.input_name);
  if (!state.container) {
    uint32_t code = last_error();
    return {fail<message::container_not_opened>(resolved, state.program, static_cast<int>(code)), __LINE__};
  }
  return finished;
}

// The sections of a container as the workers take them: read from the stream, checked,
// restored and written ahead as the handler does. Their faults are told to the walk with the
// line of the check that found them, here in this file like every other line of the exit
// report.
class container_sections : public section_source {
 public:
  // container: the stream after the container header, with left bytes to its end.
  container_sections(FILE* container, uint64_t left, const section_handler& handler, const run_state& state)
      : container_(container), left_(left), restores_files_(handler.restores_files()), handler_(handler),
        state_(state) {}

  bool read(uint32_t, section_slot& slot) override {
    unsigned char raw_header[section_header_size];
    if (!read_exact(raw_header, sizeof raw_header)) return failed(slot, section_fault::header_missing, __LINE__);
    const section_header& header = slot.header = decode_section_header(raw_header);
    if (!has_container_magic(header.magic) || header.stored_size == 0 || header.full_size == 0)
      return failed(slot, section_fault::header_invalid, __LINE__);
    if (!read_section_name(slot.name)) return failed(slot, section_fault::data_past_end, __LINE__);

    // Never allocate for data that is not there, nor for a content it cannot inflate to; every
    // way of running checks both, also where it passes over the data.
    if (header.stored_size > left_) return failed(slot, section_fault::data_past_end, __LINE__);
    if (!full_size_reachable(header)) return failed(slot, section_fault::not_inflated, __LINE__);
    slot.objects = is_object_section(header.time, slot.name);
    if (!slot.objects && !restores_files_) {
      if (!skip_exact(header.stored_size)) return failed(slot, section_fault::data_past_end, __LINE__);
      return true;
    }
    slot.stored = static_cast<unsigned char*>(allocate_block(header.stored_size));
    if (!slot.stored) return failed(slot, section_fault::no_memory, __LINE__);
    slot.held = header.stored_size;
    if (!read_exact(slot.stored, header.stored_size)) return failed(slot, section_fault::data_past_end, __LINE__);
    return true;
  }

  bool restore(section_slot& slot) override {
    const section_header& header = slot.header;
    if (!slot.stored || is_raw_section(header)) return true;
    slot.inflated = inflate_exactly(slot.stored, header.stored_size, header.full_size);
    if (!slot.inflated) return failed(slot, section_fault::not_inflated, __LINE__);
    // Only the content waits to be handled.
    std::free(slot.stored);
    slot.stored = nullptr;
    slot.held = header.full_size;
    return true;
  }

  void write_ahead(section_slot& slot) override { handler_.write_ahead(state_, slot); }

 private:
  static bool failed(section_slot& slot, section_fault fault, int line) {
    slot.fault = fault;
    slot.line = line;
    return false;
  }

  bool read_exact(void* destination, size_t count) {
    size_t got = std::fread(destination, 1, count, container_);
    left_ -= std::min<uint64_t>(got, left_);
    return got == count;
  }

  // Reads count bytes and drops them, without holding them in memory.
  bool skip_exact(uint64_t count) {
    unsigned char chunk[65536];
    for (; count > sizeof chunk; count -= sizeof chunk)
      if (!read_exact(chunk, sizeof chunk)) return false;
    return read_exact(chunk, static_cast<size_t>(count));
  }

  // The name up to its NUL, of which the first extracted_name_length bytes are kept. False
  // at the end of file.
  bool read_section_name(char* name) {
    size_t length = 0;
    for (;;) {
      int c = std::getc(container_);
      if (c == EOF) return false;
      if (left_) --left_;
      if (c == 0) return true;
      if (length < extracted_name_length) name[length++] = static_cast<char>(c);
    }
  }

  FILE* container_;
  uint64_t left_;
  bool restores_files_;  // whether a file section's data is read and inflated or passed over
  const section_handler& handler_;
  const run_state& state_;
};

// The message and status of a section that its worker found at fault.
outcome section_failure(const section_slot& slot, uint32_t index) {
  switch (slot.fault) {
    case section_fault::header_missing:
      return {fail<message::section_header_missing>(index), slot.line};
    case section_fault::header_invalid:
      return {fail<message::section_header_invalid>(), slot.line};
    case section_fault::data_past_end:
      return {fail<message::data_past_end>(), slot.line};
    case section_fault::no_memory:
      return {fail<message::out_of_memory>(slot.header.stored_size), slot.line};
    case section_fault::not_inflated:
    case section_fault::none:
      break;
  }
  return {fail<message::not_inflated>(), slot.line};
}

// One section, in the container's order, as its worker handed it over.
outcome handle_section(run_state& state, section_handler& handler, uint32_t index, section_slot& slot) {
  if (slot.fault != section_fault::none) return section_failure(slot, index);
  state.total_full_size += slot.header.full_size;
  state.total_stored_size += slot.header.stored_size;
  return slot.objects ? handler.object_section(state, slot.header, slot.content())
                      : handler.file_section(state, slot);
}

outcome walk(run_state& state, section_handler& handler) {
  outcome opened = open_container(state);
  if (opened.status != unpack_status::success) return opened;

  uint64_t size = stream_size(state.container);
  unsigned char raw_header[container_header_size];
  if (std::fread(raw_header, 1, sizeof raw_header, state.container) != sizeof raw_header)
    return {fail<message::container_header_short>(), __LINE__};
  container_header header = decode_container_header(raw_header);
  if (!has_container_magic(header.magic)) return {fail<message::not_a_container>(), __LINE__};
  if (header.section_count == 0) return {fail<message::no_sections>(), __LINE__};
  state.section_count = header.section_count;
  state.description_name = description_name_for(system_file_name(state.input_name));

  outcome begun = handler.begin(state);
  if (begun.status != unpack_status::success) return begun;
  // Listing inflates nothing: the workers would only take turns at the stream.
  container_sections sections(state.container, size - std::min<uint64_t>(size, sizeof raw_header), handler, state);
  section_workers workers(sections, header.section_count,
                          handler.restores_files() ? configured_workers(header.section_count) : 1,
                          handler.writes_ahead());
  state.workers = &workers;
  for (uint32_t index = 0; index < header.section_count; ++index) {
    outcome section = handle_section(state, handler, index, workers.wait_for(index));
    workers.handled(index);
    if (section.status != unpack_status::success) return section;
  }
  return handler.end(state);
}

// What the mode does with the sections of the container name; written: the run's folders.
std::unique_ptr<section_handler> handler_for(const tarnsplit_command& command, const char* name,
                                             written_folders& written) {
  switch (command.mode) {
    case run_mode::list:
      return std::make_unique<lister>(make_text_listing(stdout));
    case run_mode::list_json:
      return std::make_unique<lister>(make_json_listing(stdout, name));
    case run_mode::test:
      return std::make_unique<tester>();
    case run_mode::extract:
      break;
  }
  return std::make_unique<extractor>(command.output_directory, command.containers.size() > 1, written);
}

// One container, named or (name nullptr) typed: its status, after the failure's message
// and exit report. No key is awaited here.
unpack_status run_container(section_handler& handler, const char* program, const char* name) {
  run_state state;
  state.program = program;
  state.given_name = name;
  outcome result = walk(state, handler);
  handler.finish(result.status);
  state.release();
  if (result.status != unpack_status::success) report_exit(__FILE__, result.line);
  return result.status;
}

}  // namespace

int run_tarnsplit(int argc, char** argv) {
  tarnsplit_command command;
  unpack_status read = read_command_line(argc, argv, command);
  if (read != unpack_status::success) return static_cast<int>(read);
  if (command.action == command_action::help) print_help();
  if (command.action == command_action::version) print_version();
  if (command.action != command_action::run) return 0;

  tune_block_allocation();  // sections come and go in blocks of similar sizes
  const run_mode_rules& rules = rules_of(command.mode);
  message_stream() = rules.messages_on_stderr ? stderr : stdout;
  if (command.containers.empty()) command.containers.push_back(nullptr);  // asked for
  bool several = command.containers.size() > 1;
  written_folders written;
  unpack_status first_failure = unpack_status::success;
  for (size_t i = 0; i < command.containers.size(); ++i) {
    if (several) message_subject() = printable_name(command.containers[i]);
    if (several && rules.heads_each_container)
      std::printf("%s%s:\n", i == 0 ? "" : "\n", command.containers[i]);
    std::unique_ptr<section_handler> handler = handler_for(command, command.containers[i], written);
    unpack_status status = run_container(*handler, argc >= 1 ? argv[0] : "", command.containers[i]);
    if (first_failure == unpack_status::success) first_failure = status;
  }
  if (first_failure != unpack_status::success && rules.waits_for_key) wait_for_key_when_watched();
  return static_cast<int>(first_failure);
}
