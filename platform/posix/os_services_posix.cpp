// POSIX implementation of the services declared in os_services.h.
#include "os_services.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include "local_clock.h"
#include "paths.h"
#include "posix_errors.h"

uint32_t last_error() { return recorded_error(); }

bool full_path(const char* path, char* dest, size_t size) {
  std::string native = native_path(path);
  std::string result;
  if (native.empty() || native[0] != '/') {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) {
      record_errno(errno);
      return false;
    }
    result = cwd;
    if (!native.empty()) {
      if (result.back() != '/') result += '/';
      result += native;
    }
  } else {
    result = native;
  }
  if (result.size() + 1 > size) {
    record_errno(ENAMETOOLONG);
    return false;
  }
  std::memcpy(dest, result.c_str(), result.size() + 1);
  return true;
}

make_directory_result make_directory(const char* path) {
  std::string native = native_path(path);
  if (mkdir(native.c_str(), 0777) == 0) return make_directory_result::made;
  int err = errno;
  record_errno(err, native);
  if (err == ENOENT || err == ENOTDIR || err == ENAMETOOLONG)
    return make_directory_result::path_not_found;
  // Something that is no directory (a link to one counts as one) may hold the name.
  struct stat st;
  if (err == EEXIST && (stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
    return make_directory_result::path_not_found;
  return make_directory_result::other_failure;
}

FILE* open_input_stream(const char* path) {
  std::string native = native_path(path);
  // Non-blocking, so that a FIFO cannot hang the open; cleared again for a regular file.
  int fd = open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    record_errno(errno, native);
    return nullptr;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    record_error(error_access_denied);  // what Windows says for a directory
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE* stream = fdopen(fd, "rb");
  if (!stream) {
    record_errno(errno);
    close(fd);
  }
  return stream;
}

namespace {

// Temporary names tried before giving up: the first is taken only by a run of the same
// process number killed before, or by a file of that name extracted earlier.
constexpr int temporary_attempts = 100;

constexpr uint32_t error_sharing_violation = 32;

file_identity identity_of(const struct stat& st) {
  return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

bool is_in_use(const struct stat& st, const std::vector<file_identity>& in_use) {
  return std::find(in_use.begin(), in_use.end(), identity_of(st)) != in_use.end();
}

// Creates the temporary file of path exclusively, never through a link: its descriptor and
// name, or -1.
int create_temporary(const std::string& path, std::string* temporary) {
  std::string process = std::to_string(getpid());
  for (int attempt = 0; attempt < temporary_attempts; ++attempt) {
    *temporary = temporary_path(path.c_str(), attempt ? process + "-" + std::to_string(attempt) : process);
    int fd = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) {
      if (fd < 0) record_errno(errno, *temporary);
      return fd;
    }
  }
  record_errno(EEXIST);
  return -1;
}

}  // namespace

bool stream_identity(FILE* stream, file_identity* identity) {
  struct stat st;
  if (fstat(fileno(stream), &st) != 0) {
    record_errno(errno);
    return false;
  }
  *identity = identity_of(st);
  return true;
}

bool path_identity(const char* path, file_identity* identity) {
  std::string native = native_path(path);
  struct stat st;
  if (stat(native.c_str(), &st) != 0) {
    record_errno(errno, native);
    return false;
  }
  *identity = identity_of(st);
  return true;
}

namespace {

// Whether a file staged for native may replace what is there: nothing, a link, or a regular
// file the user may write that is none of in_use. False (last_error set) otherwise.
bool replaceable(const std::string& native, const std::vector<file_identity>& in_use) {
  struct stat st;
  if (lstat(native.c_str(), &st) != 0) return true;
  if (is_in_use(st, in_use)) {
    record_error(error_sharing_violation);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    record_error(error_access_denied);
    return false;
  }
  // A file that the user may not open for writing stays as it is, as a "wb" open would
  // leave it.
  if (S_ISREG(st.st_mode) && faccessat(AT_FDCWD, native.c_str(), W_OK, AT_EACCESS) != 0) {
    record_errno(errno, native);
    return false;
  }
  return true;
}

}  // namespace

bool stage_output_file(const char* path, const std::vector<file_identity>& in_use, staged_file* file) {
  std::string native = native_path(path);
  if (!replaceable(native, in_use)) return false;
  std::string temporary;
  int fd = create_temporary(native, &temporary);
  if (fd < 0) return false;
  FILE* stream = fdopen(fd, "wb");
  if (!stream) {
    record_errno(errno);
    close(fd);
    unlink(temporary.c_str());
    return false;
  }
  *file = staged_file{stream, native, temporary};
  return true;
}

bool may_take_name(const staged_file& file, const std::vector<file_identity>& in_use) {
  return replaceable(file.path, in_use);
}

commit_result commit_staged_file(staged_file* file) {
  // What writing into a regular file there would have kept (a link's target is no concern).
  struct stat st;
  if (lstat(file->path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    int fd = fileno(file->stream);
    if (fchown(fd, st.st_uid, st.st_gid) != 0) {
      // Only root may give a file away; anyone else's stays theirs, as a file they wrote.
    }
    fchmod(fd, st.st_mode & 0777);
  }
  bool closed = close_stream(file->stream);
  file->stream = nullptr;
  bool renamed = closed && rename(file->temporary.c_str(), file->path.c_str()) == 0;
  if (closed && !renamed) record_errno(errno, file->path);
  if (!renamed) unlink(file->temporary.c_str());
  file->temporary.clear();
  if (renamed) return commit_result::committed;
  return closed ? commit_result::not_renamed : commit_result::write_failed;
}

void discard_staged_file(staged_file* file) {
  if (file->stream) std::fclose(file->stream);
  file->stream = nullptr;
  if (!file->temporary.empty()) unlink(file->temporary.c_str());
  file->temporary.clear();
}

bool write_stream(FILE* stream, const void* data, size_t count) {
  if (std::fwrite(data, 1, count, stream) == count) return true;
  record_errno(errno);
  return false;
}

bool close_stream(FILE* stream) {
  bool failed_before = std::ferror(stream) != 0;
  int saved = errno;
  if (std::fclose(stream) != 0) {
    record_errno(errno);
    return false;
  }
  if (failed_before) record_errno(saved ? saved : EIO);
  return !failed_before;
}

uint64_t stream_size(FILE* stream) {
  struct stat st;
  if (fstat(fileno(stream), &st) != 0 || !S_ISREG(st.st_mode)) return UINT64_MAX;
  return static_cast<uint64_t>(st.st_size);
}

bool set_stream_local_times(FILE* stream, uint32_t local_seconds) {
  // Written data still in the buffer would move the write time when it reaches the file.
  if (std::fflush(stream) != 0) {
    record_errno(errno);
    return false;
  }
  int64_t instant = 0;
  if (!instant_of_local(local_seconds, &instant)) {
    record_errno(EINVAL);
    return false;
  }
  struct timespec times[2];
  times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(instant);
  times[0].tv_nsec = times[1].tv_nsec = 0;
  if (futimens(fileno(stream), times) != 0) {
    record_errno(errno);
    return false;
  }
  return true;
}

bool stdin_is_console() { return isatty(STDIN_FILENO) == 1; }

bool stdout_is_console() { return isatty(STDOUT_FILENO) == 1; }

namespace {

// The terminal's settings from before the wait, for a signal that ends the program during it.
struct termios g_terminal_before;
constexpr int ending_signals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

void restore_terminal_and_end(int signal_number) {
  tcsetattr(STDIN_FILENO, TCSANOW, &g_terminal_before);
  struct sigaction ending = {};
  ending.sa_handler = SIG_DFL;
  sigaction(signal_number, &ending, nullptr);
  raise(signal_number);  // delivered, with its default action, when the handler returns
}

}  // namespace

void wait_for_key_press() {
  struct termios before;
  if (tcgetattr(STDIN_FILENO, &before) != 0) return;  // no terminal
  g_terminal_before = before;
  struct sigaction restoring = {}, previous[std::size(ending_signals)];
  restoring.sa_handler = restore_terminal_and_end;
  sigemptyset(&restoring.sa_mask);
  for (size_t i = 0; i < std::size(ending_signals); ++i) {
    sigaction(ending_signals[i], nullptr, &previous[i]);
    if (previous[i].sa_handler != SIG_IGN) sigaction(ending_signals[i], &restoring, nullptr);
  }

  // Without canonical mode the terminal hands over a key at once, not at the end of a line;
  // without echo the key never shows.
  struct termios quiet = before;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  quiet.c_cc[VMIN] = 0;
  quiet.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
  struct pollfd in = {STDIN_FILENO, POLLIN, 0};
  int ready;
  while ((ready = poll(&in, 1, 50)) == 0 || (ready < 0 && errno == EINTR)) {
  }
  char key[64];  // a key may send several bytes (an arrow key's escape sequence)
  ssize_t consumed = read(STDIN_FILENO, key, sizeof key);
  static_cast<void>(consumed);  // a terminal that is gone ends the wait just as well
  // TCSAFLUSH drops whatever else of the key press is still unread.
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);

  for (size_t i = 0; i < std::size(ending_signals); ++i)
    if (previous[i].sa_handler != SIG_IGN) sigaction(ending_signals[i], &previous[i], nullptr);
}
