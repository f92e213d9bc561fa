// tarnsplit end to end where POSIX itself is part of the case: the wait for a key after a
// failure when a person is watching on a terminal, a full disk, and permissions.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "test_harness.h"
#include "unpack_status.h"

namespace {

using namespace std::chrono_literals;

// Polls condition for up to ten seconds.
template <typename condition_type>
bool eventually(condition_type condition) {
  for (auto end = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(10ms))
    if (condition()) return true;
  return false;
}

tcflag_t local_modes(int terminal) {
  struct termios settings;
  if (tcgetattr(terminal, &settings) != 0) throw std::runtime_error("no terminal settings");
  return settings.c_lflag;
}

bool echoes(int terminal) { return (local_modes(terminal) & ECHO) != 0; }

// Whatever the terminal holds for its next reader, taken without waiting for a line end.
std::string unread_input(int terminal) {
  struct termios settings;
  tcgetattr(terminal, &settings);
  settings.c_lflag &= ~static_cast<tcflag_t>(ICANON);
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  tcsetattr(terminal, TCSANOW, &settings);
  char bytes[64];
  ssize_t count = read(terminal, bytes, sizeof bytes);
  return count > 0 ? std::string(bytes, static_cast<size_t>(count)) : "";
}

// What the terminal showed (the program's output and any echo): the bytes that arrive within
// 200 ms, with the terminal's CR LF line ends as LF.
std::string shown(int master) {
  struct pollfd out = {master, POLLIN, 0};
  std::string text;
  char bytes[64];
  ssize_t count;
  while (poll(&out, 1, 200) > 0 && (count = read(master, bytes, sizeof bytes)) > 0)
    text.append(bytes, static_cast<size_t>(count));
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  return text;
}

const char key_prompt[] = " -- < PRESS ANY KEY TO EXIT > -- \n";

class TarnsplitTerminal : public ::testing::Test {
 protected:
  scratch_dir dir;
  int master = -1;
  int terminal = -1;  // tarnsplit's standard input and output, unless redirected
  struct termios original = {};  // the terminal's settings before tarnsplit runs
  pid_t child = -1;

  void SetUp() override {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(tcgetattr(terminal, &original), 0);
    ASSERT_TRUE((original.c_lflag & ECHO) && (original.c_lflag & ICANON));
  }

  void TearDown() override {
    if (child > 0 && waitpid(child, nullptr, WNOHANG) == 0) {
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
    }
    close(terminal);
    close(master);
  }

  enum redirected { nothing, input, output };

  // Starts tarnsplit with args and the terminal as its standard input and output, except
  // the one redirected: input from an empty file, or output to the file out.
  void start(std::vector<std::string> args, redirected away = nothing) {
    std::string in = dir / "in", out = dir / "out";
    write_file(in, "");
    std::string program = tarnsplit_path();
    std::vector<char*> argv = {&program[0]};
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    child = fork();
    if (child == 0) {
      int in_fd = away == input ? open(in.c_str(), O_RDONLY) : terminal;
      int out_fd = away == output ? open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644) : terminal;
      if (in_fd < 0 || out_fd < 0 || chdir(dir.path().c_str()) != 0) _exit(126);
      dup2(in_fd, 0);
      dup2(out_fd, 1);
      close(master);
      execv(argv[0], argv.data());
      _exit(127);
    }
  }

  // Starts tarnsplit on a missing container, so that it fails and waits for a key; true once
  // the wait has turned the echo off (a key typed before that would be echoed).
  bool start_waiting() {
    start({"missing.lvz"});
    return child > 0 && eventually([&] { return !echoes(terminal); });
  }

  std::string not_opened(const std::string& name) {
    return "Could not open file: " + (dir / name) + "\nExe's location: " + tarnsplit_path() +
           "\nGetLastError(): 2\n";
  }

  // tarnsplit's wait status once it has ended, or -1 when it did not end within ten seconds.
  int end_status() {
    int status = 0;
    return eventually([&] { return waitpid(child, &status, WNOHANG) == child; }) ? status : -1;
  }
};

}  // namespace

TEST_F(TarnsplitTerminal, TheKeyThatEndsTheWaitIsConsumedWithoutEcho) {
  for (const std::string key : {"q", "\x1b[A"}) {  // a letter, and an arrow key's three bytes
    SCOPED_TRACE(key);
    ASSERT_TRUE(start_waiting()) << "tarnsplit did not start waiting for a key";
    std::string out = shown(master);
    ASSERT_GE(out.size(), std::strlen(key_prompt));
    EXPECT_EQ(out.substr(out.size() - std::strlen(key_prompt)), key_prompt);
    EXPECT_TRUE(is_failure_output(out.substr(0, out.size() - std::strlen(key_prompt)), not_opened("missing.lvz")))
        << out;
    ASSERT_EQ(write(master, key.data(), key.size()), static_cast<ssize_t>(key.size()));
    int status = end_status();
    ASSERT_NE(status, -1) << "tarnsplit did not end at the key";
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(unpack_status::container_not_opened));
    EXPECT_EQ(shown(master), "") << "echoed";
    EXPECT_EQ(local_modes(terminal), original.c_lflag) << "the terminal was not restored";
    EXPECT_EQ(unread_input(terminal), "");
    ASSERT_EQ(tcsetattr(terminal, TCSANOW, &original), 0);
  }
}

TEST_F(TarnsplitTerminal, ASignalDuringTheWaitRestoresTheTerminal) {
  ASSERT_TRUE(start_waiting()) << "tarnsplit did not start waiting for a key";
  kill(child, SIGTERM);
  int status = end_status();
  ASSERT_NE(status, -1) << "tarnsplit did not end at the signal";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(local_modes(terminal), original.c_lflag) << "the terminal was not restored";
}

// Without a person watching, standard input or output redirected (a script, a log), and for
// --list and --test, tarnsplit neither prompts nor waits.
TEST_F(TarnsplitTerminal, NeverWaitsUnwatchedNorForListAndTest) {
  const std::pair<std::vector<std::string>, redirected> runs[] = {
      {{"missing.lvz"}, output}, {{"missing.lvz"}, input}, {{"--list", "missing.lvz"}, nothing},
      {{"--test", "missing.lvz"}, nothing}};
  for (const auto& [args, away] : runs) {
    SCOPED_TRACE(args[0] + (away == output ? " > out" : away == input ? " < in" : ""));
    start(args, away);
    int status = end_status();
    ASSERT_NE(status, -1) << "tarnsplit waited";
    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(unpack_status::container_not_opened));
    std::string out = away == output ? read_file(dir / "out") : shown(master);
    EXPECT_TRUE(is_failure_output(out, not_opened("missing.lvz"))) << out;
    EXPECT_EQ(local_modes(terminal), original.c_lflag);
  }
}

TEST_F(TarnsplitTerminal, SeveralContainersWaitOnceAfterTheLast) {
  start({"missing.lvz", "other.lvz"});
  ASSERT_TRUE(eventually([&] { return !echoes(terminal); })) << "tarnsplit did not wait for a key";
  // Each failure's report, and the prompt once, after the last.
  std::string out = shown(master);
  size_t second = out.find("other.lvz: "), prompt = out.find(key_prompt);
  ASSERT_TRUE(second != std::string::npos && prompt != std::string::npos) << out;
  EXPECT_TRUE(is_failure_output(out.substr(0, second), "missing.lvz: " + not_opened("missing.lvz"))) << out;
  EXPECT_TRUE(is_failure_output(out.substr(second, prompt - second), "other.lvz: " + not_opened("other.lvz")))
      << out;
  EXPECT_EQ(out.substr(prompt), key_prompt);
  ASSERT_EQ(write(master, "q", 1), 1);
  int status = end_status();
  ASSERT_NE(status, -1) << "tarnsplit did not end at the first key";
  EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(unpack_status::container_not_opened));
}

TEST(TarnsplitFiles, AFullDiskLeavesTheUsersFileAndDescriptionAsTheyWere) {
  small_disk disk(1 << 20);
  if (disk.path().empty()) GTEST_SKIP() << disk.why();
  const std::string folder = disk.path();
  // Letters of four kinds compress to a quarter, so the containers fit on the disk.
  std::mt19937 random(5);
  auto letters = [&](size_t size) {
    std::string text(size, 'a');
    for (char& c : text) c = static_cast<char>('a' + random() % 4);
    return text;
  };
  const std::string big = letters(1200000), half = letters(420000);
  struct {
    std::string container;
    const char* failing;
    std::vector<std::string> left;
  } rows[] = {
      // big.bmp never fits.
      {container_builder().raw("small.txt", "small").compressed("big.bmp", big).build(), "big.bmp",
       {"big.bmp", "small.txt", "zone.ini"}},
      // Either half fits, not both: whatever workers write ahead, the first is extracted and
      // the second fails, as on one thread.
      {container_builder().compressed("first.bin", half).compressed("second.bin", half).raw("small.txt", "small").build(),
       "second.bin", {"big.bmp", "first.bin", "zone.ini"}},
  };
  const std::string users_file(200000, 'u'), users_description = "OutFile=zone.lvz\r\nFile=mine.txt\r\n";
  for (const auto& r : rows) {
    for (const char* jobs : {"1", "2", "8"}) {
      SCOPED_TRACE(std::string(r.failing) + ", TARN_JOBS=" + jobs);
      environment_variable setting("TARN_JOBS", jobs);
      std::filesystem::remove_all(folder + "/zone");
      std::filesystem::create_directory(folder + "/zone");
      write_file(folder + "/zone.lvz", r.container);
      write_file(folder + "/zone/big.bmp", users_file);
      write_file(folder + "/zone/zone.ini", users_description);

      run_result result = run_program(tarnsplit_path(), {"zone.lvz"}, folder);
      EXPECT_EQ(result.status, static_cast<int>(unpack_status::file_not_extracted));
      EXPECT_TRUE(is_failure_output(result.out, "Could not write zone\\" + std::string(r.failing) +
                                                    ". GetLastError(): 112\n"))
          << result.out;
      EXPECT_TRUE(read_file(folder + "/zone/big.bmp") == users_file);
      EXPECT_EQ(read_file(folder + "/zone/zone.ini"), users_description);
      EXPECT_EQ(list_directory(folder + "/zone"), r.left);
      if (r.left[1] == "first.bin") {
        EXPECT_TRUE(read_file(folder + "/zone/first.bin") == half);
      } else {
        EXPECT_EQ(read_file(folder + "/zone/small.txt"), "small");
      }
    }
  }
}

TEST(TarnsplitFiles, AReplacedFileKeepsItsPermissionsAndOwner) {
  scratch_dir dir;
  std::filesystem::create_directory(dir / "zone");
  const std::pair<const char*, mode_t> files[] = {{"secret.txt", 0600}, {"run.sh", 0755}, {"zone.ini", 0640}};
  bool root = geteuid() == 0;  // gives the files away, to see that they stay the user's
  for (const auto& [name, mode] : files) {
    write_file(dir / ("zone/" + std::string(name)), "old");
    ASSERT_EQ(chmod((dir / ("zone/" + std::string(name))).c_str(), mode), 0);
    if (root) {
      ASSERT_EQ(chown((dir / ("zone/" + std::string(name))).c_str(), 65534, 65534), 0);
    }
  }
  write_file(dir / "zone.lvz", container_builder().raw("secret.txt", "new").raw("run.sh", "new").build());
  ASSERT_EQ(run_program(tarnsplit_path(), {"zone.lvz"}, dir.path()).status, 0);
  for (const auto& [name, mode] : files) {
    SCOPED_TRACE(name);
    struct stat st;
    ASSERT_EQ(stat((dir / ("zone/" + std::string(name))).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
    if (root) {
      EXPECT_EQ(st.st_uid, 65534u);
    }
    EXPECT_NE(read_file(dir / ("zone/" + std::string(name))), "old");
  }
}
