// Running the programs under test, and file times, on POSIX.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <utility>

#include "test_harness.h"

namespace {

std::string slurp_and_remove(const std::string& path) {
  std::string text = read_file(path);
  unlink(path.c_str());
  return text;
}

// The user and group ids of the user nobody.
std::pair<uid_t, gid_t> nobody() {
  const struct passwd* entry = getpwnam("nobody");
  if (entry) return {entry->pw_uid, entry->pw_gid};
  return {65534, 65534};
}

run_result run(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
               const std::string& stdin_text, bool unprivileged) {
  bool drop_root = unprivileged && geteuid() == 0;
  std::pair<uid_t, gid_t> user = drop_root ? nobody() : std::pair<uid_t, gid_t>{};
  scratch_dir io;
  std::string in = io / "in", out = io / "out", err = io / "err";
  write_file(in, stdin_text);

  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    int in_fd = open(in.c_str(), O_RDONLY);
    int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in_fd < 0 || out_fd < 0 || err_fd < 0 || chdir(cwd.c_str()) != 0) _exit(126);
    if (drop_root && (setgroups(0, nullptr) != 0 || setgid(user.second) != 0 || setuid(user.first) != 0))
      _exit(125);
    dup2(in_fd, 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  run_result result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = slurp_and_remove(out);
  result.err = slurp_and_remove(err);
  // A sanitizer's report fails the test whatever status the test expects.
  if (result.err.find("ERROR: AddressSanitizer") != std::string::npos ||
      result.err.find("ERROR: LeakSanitizer") != std::string::npos ||
      result.err.find("WARNING: ThreadSanitizer") != std::string::npos ||
      result.err.find("runtime error:") != std::string::npos)
    ADD_FAILURE() << program << " reported:\n" << result.err;
  return result;
}

}  // namespace

bool runs_on_windows() { return false; }

unsigned ansi_code_page() { return 0; }

run_result run_program(const std::string& program, const std::vector<std::string>& args,
                       const std::string& cwd, const std::string& stdin_text) {
  return run(program, args, cwd, stdin_text, false);
}

run_result run_program_unprivileged(const std::string& program, const std::vector<std::string>& args,
                                    const std::string& cwd) {
  return run(program, args, cwd, "", true);
}

int64_t modification_time(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_mtime) : -1;
}

void set_modification_time(const std::string& path, int64_t seconds) {
  struct timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

bool make_fifo(const std::string& path) { return mkfifo(path.c_str(), 0644) == 0; }

small_disk::small_disk(size_t size) {
  if (geteuid() != 0) {
    why_ = "mounting a small tmpfs for a full disk needs root";
    return;
  }
  std::string options = "size=" + std::to_string(size) + ",mode=0755";
  if (mount("tmpfs", mount_point_.path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
    why_ = std::string("cannot mount a small tmpfs for a full disk: ") + std::strerror(errno);
    return;
  }
  path_ = mount_point_.path();
}

small_disk::~small_disk() {
  // Detached at once even while something still has a file open there.
  if (!path_.empty()) umount2(path_.c_str(), MNT_DETACH);
}

time_zone::time_zone(const char* zone) {
  const char* old = std::getenv("TZ");
  had_ = old != nullptr;
  if (had_) old_ = old;
  setenv("TZ", zone, 1);
  tzset();
}

time_zone::~time_zone() {
  if (had_)
    setenv("TZ", old_.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

environment_variable::environment_variable(const char* name, const char* value) : name_(name) {
  const char* old = std::getenv(name);
  had_ = old != nullptr;
  if (had_) old_ = old;
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

environment_variable::~environment_variable() {
  if (had_)
    setenv(name_.c_str(), old_.c_str(), 1);
  else
    unsetenv(name_.c_str());
}
