// What the tests share: scratch directories, files, running the real programs, and a
// builder for containers of any shape (valid or damaged).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A fresh, empty directory, removed with everything in it when the object goes.
class scratch_dir {
 public:
  scratch_dir();
  ~scratch_dir();
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;

  // The directory's path in the system's own form (backslashes on Windows).
  const std::string& path() const { return path_; }
  // path() joined with name, whose '/' become the system's separator.
  std::string operator/(const std::string& name) const;

 private:
  std::string path_;
};

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
bool file_exists(const std::string& path);
bool is_directory(const std::string& path);
// The last-write time in seconds since 1970 UTC, or -1.
int64_t modification_time(const std::string& path);
void set_modification_time(const std::string& path, int64_t seconds);
// Makes a FIFO (named pipe) at path; false where the system has none.
bool make_fifo(const std::string& path);

// The tests run in Berlin's zone (TZ=Europe/Berlin, set by tests/CMakeLists.txt); its
// offsets from UTC in seconds, for times that tests pack or unpack.
constexpr int64_t berlin_winter_offset = 3600, berlin_summer_offset = 7200;

// POSIX only: sets TZ for this process and the programs it runs, for the life of the
// object. (A program under wine takes its zone from the TZ it was started with.)
class time_zone {
 public:
  explicit time_zone(const char* zone);
  ~time_zone();
  time_zone(const time_zone&) = delete;
  time_zone& operator=(const time_zone&) = delete;

 private:
  bool had_;
  std::string old_;
};
// POSIX only: a disk of about size bytes that fills up (a tmpfs), mounted on a fresh directory
// for the life of the object and unmounted however the test ends. Mounting needs root, as CI
// runs the tests: where it cannot be mounted, path() is empty and why() tells why, for the
// test to skip.
class small_disk {
 public:
  explicit small_disk(size_t size);
  ~small_disk();
  small_disk(const small_disk&) = delete;
  small_disk& operator=(const small_disk&) = delete;

  const std::string& path() const { return path_; }
  const std::string& why() const { return why_; }

 private:
  scratch_dir mount_point_;
  std::string path_;
  std::string why_;
};

// Sets the environment variable name to value (nullptr: unsets it) for this process and the
// programs it runs, for the life of the object; its old value (or its absence) comes back
// after.
class environment_variable {
 public:
  environment_variable(const char* name, const char* value);
  ~environment_variable();
  environment_variable(const environment_variable&) = delete;
  environment_variable& operator=(const environment_variable&) = delete;

 private:
  std::string name_;
  bool had_;
  std::string old_;
};

// The names in a directory, sorted, without "." and "..".
std::vector<std::string> list_directory(const std::string& path);

// Every entry below root, links not followed, by its path relative to root: its kind and
// content (a file's bytes, a link's target). The subtree at the relative path skip is left out.
std::map<std::string, std::string> tree_snapshot(const std::string& root, const std::string& skip = "");

struct run_result {
  int status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs program with args in directory cwd, standard input fed from stdin_text (not a
// terminal), and waits for it.
run_result run_program(const std::string& program, const std::vector<std::string>& args,
                       const std::string& cwd, const std::string& stdin_text = "");

// Like run_program, but never with root's privileges, so that file permissions hold for the
// program: when the tests run as root on POSIX it runs as the user nobody (the program and
// cwd must be open to that user). Elsewhere the same as run_program.
run_result run_program_unprivileged(const std::string& program, const std::vector<std::string>& args,
                                    const std::string& cwd);

// What tarnsplit prints after a failure's message (a regular expression)
// when nobody is watching, as run_program runs it: the exit report's line and no key prompt.
extern const char tarnsplit_exit_report_pattern[];

// True when out is exactly message followed by tarnsplit's exit report.
bool is_failure_output(const std::string& out, const std::string& message);

// True in the Windows build of the tests (process_windows.cpp), false on POSIX: for the
// few tests of POSIX-only mechanisms (a shell's ulimit, symbolic links).
bool runs_on_windows();

// The ANSI code page in which the Windows programs read names (GetACP; under wine the locale
// of LC_ALL sets it, 1252 for C.UTF-8); 0 on POSIX, where names are bytes.
unsigned ansi_code_page();

// Expects tarnpack to have shown message: on standard error ("Error: " message) on POSIX.
// On Windows it is in a message box, which returns at once without a display; the unit
// tests check its texts there.
void expect_tarnpack_error(const run_result& result, const std::string& message);

// Absolute paths of the programs under test, set by the build, in the system's own form.
std::string tarnsplit_path();
std::string tarnpack_path();

// Little-endian bytes of v.
std::string u32le(uint32_t v);
std::string u16le(uint16_t v);
std::string zlib_compress(const std::string& data);
// The content of a zlib stream that inflates to at most size bytes; "" when it does not inflate.
std::string zlib_uncompress(const std::string& stream, size_t size);

// Object-section content written field by field, with the values exactly as stored.
std::string object_header(const std::string& magic, uint32_t object_count, uint32_t image_count);
std::string object_record_bytes(uint16_t kind_and_id, uint16_t x, uint16_t y, uint8_t image_index,
                                uint8_t layer, uint16_t time_and_mode);
std::string image_entry_bytes(uint16_t x_frames, uint16_t y_frames, uint16_t animation_time,
                              const std::string& file_name);  // the NUL is added

// Bytes from hexadecimal digits ("789c..."), for literal zlib streams.
std::string from_hex(const std::string& hex);

// 3000 bytes of 'x', and the stream that zlib's default level makes of them (26 bytes), as
// literal bytes: a container that holds it does not change with the zlib the tests run with.
const std::string& three_thousand_x();
const std::string& three_thousand_x_stream();

// One section of a container as its bytes stand.
struct container_section {
  std::string magic;
  uint32_t full_size = 0;
  uint32_t time = 0;
  uint32_t stored_size = 0;
  std::string name;
  std::string data;  // the stored_size bytes after the name
};

// The sections of container bytes, read by the container header's section_count. Records
// a test failure when the bytes are not a well-formed container or bytes follow the last
// section.
std::vector<container_section> read_container(const std::string& bytes);

// Builds container bytes section by section; fields can be set to anything.
class container_builder {
 public:
  // A section stored raw: stored_size = full_size = data length.
  container_builder& raw(const std::string& name, const std::string& data, uint32_t time = 1000000000);
  // A section holding data compressed with zlib.
  container_builder& compressed(const std::string& name, const std::string& data, uint32_t time = 1000000000);
  // A section with every field given (magic included) and arbitrary data bytes.
  container_builder& section(const std::string& magic, uint32_t full_size, uint32_t time,
                             uint32_t stored_size, const std::string& name, const std::string& data);
  // The object section (empty name, time 0) holding content stored raw.
  container_builder& objects(const std::string& content);
  // Bytes appended as they are.
  container_builder& bytes(const std::string& extra);
  // The container, with the section count of the sections added unless one is given.
  std::string build() const;
  std::string build(uint32_t section_count) const;

 private:
  std::string body_;
  uint32_t sections_ = 0;
};
