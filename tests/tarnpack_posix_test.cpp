// tarnpack end to end where POSIX itself is part of the case: the file-open dialog's
// console stand-in on a real terminal, a FIFO named as a file, a full disk, a kill, and
// permissions.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "test_harness.h"

namespace {

// Runs program in cwd with a terminal as standard input, on which typed has been typed;
// standard output and error are collected as by run_program.
run_result run_on_terminal(const std::string& program, const std::vector<std::string>& args,
                           const std::string& cwd, const std::string& typed) {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) throw std::runtime_error("no terminal");
  int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  if (terminal < 0) throw std::runtime_error("no terminal");
  scratch_dir io;
  std::string out = io / "out", err = io / "err";

  pid_t child = fork();
  if (child == 0) {
    int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out_fd < 0 || err_fd < 0 || chdir(cwd.c_str()) != 0) _exit(126);
    dup2(terminal, 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    close(master);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(terminal);
  if (write(master, typed.data(), typed.size()) != static_cast<ssize_t>(typed.size()))
    throw std::runtime_error("cannot type");
  int status = 0;
  waitpid(child, &status, 0);
  close(master);
  run_result result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = read_file(out);
  result.err = read_file(err);
  return result;
}

// Starts program with args in cwd, its output going nowhere; its process id.
pid_t start_program(const std::string& program, const std::vector<std::string>& args, const std::string& cwd) {
  pid_t child = fork();
  if (child == 0) {
    int nowhere = open("/dev/null", O_RDWR);
    if (nowhere < 0 || chdir(cwd.c_str()) != 0) _exit(126);
    dup2(nowhere, 0);
    dup2(nowhere, 1);
    dup2(nowhere, 2);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return child;
}

// The entries of folder whose names begin with prefix.
std::vector<std::string> names_beginning(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& name : list_directory(folder))
    if (name.compare(0, prefix.size(), prefix) == 0) found.push_back(name);
  return found;
}

const std::string prompt = "Open (Ini Files (*.ini)): ";

class TarnpackPosix : public ::testing::Test {
 protected:
  scratch_dir dir;

  void SetUp() override {
    write_file(dir / "a.txt", "a");
    write_file(dir / "zone.ini", "OutFile=out.lvz\nFile=a.txt\n");
  }

  run_result ask(const std::string& typed) { return run_on_terminal(tarnpack_path(), {}, dir.path(), typed); }
};

}  // namespace

TEST_F(TarnpackPosix, AsksOnTheTerminalUntilAnExistingFileIsNamed) {
  mkdir((dir / "sub").c_str(), 0755);
  run_result result = ask("missing.ini\nsub\nzone.ini\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, prompt + "missing.ini: file not found. Check the file name and try again.\n" +
                            prompt + "sub: file not found. Check the file name and try again.\n" + prompt);
  EXPECT_EQ(read_container(read_file(dir / "out.lvz")).size(), 1u);
}

TEST_F(TarnpackPosix, AnEmptyAnswerOrTheEndOfInputCancels) {
  for (const std::string& typed : {std::string("\n"), std::string("\x04"), std::string(300, 'n') + "\n\n"}) {
    run_result result = ask(typed);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(file_exists(dir / "out.lvz"));
  }
  EXPECT_EQ(ask(std::string(300, 'n') + "\n\n").err, prompt + "The file name is too long.\n" + prompt);
}

// As Windows' dialog does, choosing a description makes its folder the current one; given
// as an argument, its paths stay relative to the folder tarnpack runs in.
TEST_F(TarnpackPosix, PathsOfADescriptionChosenAtThePromptAreRelativeToItsFolder) {
  mkdir((dir / "sub").c_str(), 0755);
  write_file(dir / "sub/a.txt", "sub's a");
  write_file(dir / "sub/zone.ini", "OutFile=out.lvz\nFile=a.txt\n");
  for (const std::string typed : {"sub/zone.ini\n", "sub\\zone.ini\n"}) {
    EXPECT_EQ(ask(typed).status, 0) << typed;
    EXPECT_FALSE(file_exists(dir / "out.lvz"));
    std::vector<container_section> sections = read_container(read_file(dir / "sub/out.lvz"));
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections[0].data, "sub's a");
    std::remove((dir / "sub/out.lvz").c_str());
  }
  EXPECT_EQ(run_program(tarnpack_path(), {"sub/zone.ini"}, dir.path()).status, 0);
  EXPECT_FALSE(file_exists(dir / "sub/out.lvz"));
  std::vector<container_section> sections = read_container(read_file(dir / "out.lvz"));
  ASSERT_EQ(sections.size(), 1u);
  EXPECT_EQ(sections[0].data, "a");
}

TEST_F(TarnpackPosix, AFifoNamedAsAFileFailsAtOnce) {
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  write_file(dir / "zone.ini", "OutFile=out.lvz\nFile=a.txt\nFile=pipe\n");
  run_result result = run_program(tarnpack_path(), {"zone.ini"}, dir.path());
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "Error: Unable to open pipe\n");
  EXPECT_FALSE(file_exists(dir / "out.lvz"));
}

TEST_F(TarnpackPosix, DevicesAndFifosFailAtOnceWherePackingReadsOrWrites) {
  write_file(dir / "a.txt", "a");
  for (const char* device : {"/dev/zero", "/dev/null"}) {
    write_file(dir / "zone.ini", std::string("OutFile=out.lvz\nFile=a.txt\nExtractFile=") + device + "\n");
    run_result result = run_program(tarnpack_path(), {"zone.ini"}, dir.path());
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, std::string("Error: Unable to open ") + device + "\n");
  }
  ASSERT_EQ(mkfifo((dir / "pipe.ini").c_str(), 0600), 0);
  run_result description = run_program(tarnpack_path(), {"pipe.ini"}, dir.path());
  EXPECT_EQ(description.status, 2);
  EXPECT_EQ(description.err, "Error: Unable to open pipe.ini\n");
  ASSERT_EQ(mkfifo((dir / "out.lvz").c_str(), 0600), 0);
  write_file(dir / "zone.ini", "OutFile=out.lvz\nFile=a.txt\n");
  run_result output = run_program(tarnpack_path(), {"zone.ini"}, dir.path());
  EXPECT_EQ(output.status, 2);
  EXPECT_EQ(output.err, "Error: OutFile out.lvz is not a regular file\n");
}

// A device as OutFile, however it is reached, is neither written nor renamed over (which
// would replace the device node itself).
TEST_F(TarnpackPosix, AnOutFileOnADeviceIsRefusedAndLeftAsItIs) {
  write_file(dir / "a.txt", "a");
  std::vector<std::string> outputs = {"/dev/null"};
  ASSERT_EQ(symlink("/dev/null", (dir / "link.lvz").c_str()), 0);
  outputs.push_back("link.lvz");
  // A device node of its own (/dev/null's numbers) needs root; CI runs as root.
  if (mknod((dir / "node.lvz").c_str(), S_IFCHR | 0644, makedev(1, 3)) == 0) outputs.push_back("node.lvz");
  for (const std::string& output : outputs)
    for (const std::vector<std::string>& args : {std::vector<std::string>{"zone.ini"}, {"--check", "zone.ini"}}) {
      SCOPED_TRACE(args[0] + " " + output);
      write_file(dir / "zone.ini", "OutFile=" + output + "\nFile=a.txt\n");
      auto before = tree_snapshot(dir.path());
      run_result result = run_program(tarnpack_path(), args, dir.path());
      EXPECT_EQ(result.status, 2);
      EXPECT_EQ(result.err, "Error: OutFile " + output + " is not a regular file\n");
      EXPECT_EQ(tree_snapshot(dir.path()), before);
    }
  if (outputs.size() < 3) GTEST_SKIP() << "making a device node needs root";
}

TEST_F(TarnpackPosix, AFullDiskLeavesTheOldContainerAndTheDescriptionAsTheyWere) {
  small_disk disk(1 << 20);
  if (disk.path().empty()) GTEST_SKIP() << disk.why();
  const std::string folder = disk.path();
  // 900 KB stored as they are: more than the disk holds beside the old container.
  write_file(dir / "big.gif", "GIF89a" + std::string(900000, 'g'));
  const std::string description = "OutFile=zone.lvz\nFile=" + (dir / "big.gif") + "\n";
  const std::string old_container = container_builder().raw("old.gif", "GIF89a" + std::string(300000, 'o')).build();
  write_file(folder + "/zone.ini", description);
  write_file(folder + "/zone.lvz", old_container);

  run_result result = run_program(tarnpack_path(), {"zone.ini"}, folder);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "Error: Disk full\n");
  EXPECT_TRUE(read_file(folder + "/zone.lvz") == old_container);
  EXPECT_EQ(read_file(folder + "/zone.ini"), description);
  EXPECT_EQ(list_directory(folder), (std::vector<std::string>{"zone.ini", "zone.lvz"}));
}

TEST_F(TarnpackPosix, AKillWhileTheContainerIsWrittenLeavesTheOldOneOrTheNew) {
  ASSERT_EQ(run_program(tarnpack_path(), {"zone.ini"}, dir.path()).status, 0);
  const std::string old_container = read_file(dir / "out.lvz");
  // 32 MiB stored as they are, so that writing them takes a while.
  write_file(dir / "big.gif", "GIF89a" + std::string(32 << 20, 'g'));
  write_file(dir / "zone.ini", "OutFile=out.lvz\nFile=a.txt\nFile=big.gif\n");

  pid_t child = start_program(tarnpack_path(), {"zone.ini"}, dir.path());
  ASSERT_GT(child, 0);
  // Killed once its temporary file, beside out.lvz and named after it, holds some bytes.
  bool writing = false;
  for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
       !writing && std::chrono::steady_clock::now() < end;)
    for (const std::string& name : names_beginning(dir.path(), "out.lvz.")) {
      std::error_code gone;  // it may be renamed meanwhile
      writing = writing || std::filesystem::file_size(dir / name, gone) > 0;
    }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  ASSERT_TRUE(writing) << "tarnpack never wrote a temporary file";
  const std::string after_kill = read_file(dir / "out.lvz");
  for (const std::string& name : names_beginning(dir.path(), "out.lvz."))
    std::filesystem::remove(dir / name);

  ASSERT_EQ(run_program(tarnpack_path(), {"zone.ini"}, dir.path()).status, 0);
  const std::string new_container = read_file(dir / "out.lvz");
  EXPECT_EQ(read_container(new_container).size(), 2u);
  EXPECT_TRUE(after_kill == old_container || after_kill == new_container)
      << "after the kill OutFile held " << after_kill.size() << " bytes";
  EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.txt", "big.gif", "out.lvz", "zone.ini"}));
}

TEST_F(TarnpackPosix, AReplacedContainerKeepsItsPermissionsAndOwnerAndALinkToItStays) {
  namespace fs = std::filesystem;
  ASSERT_EQ(run_program(tarnpack_path(), {"zone.ini"}, dir.path()).status, 0);
  fs::permissions(dir / "out.lvz", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  struct stat before;
  ASSERT_EQ(stat((dir / "out.lvz").c_str(), &before), 0);
  bool root = geteuid() == 0;  // gives the container away, to see that it stays the user's
  if (root) {
    ASSERT_EQ(chown((dir / "out.lvz").c_str(), 65534, 65534), 0);
  }

  write_file(dir / "a.txt", "changed");
  fs::create_symlink("out.lvz", dir / "link.lvz");
  write_file(dir / "zone.ini", "OutFile=link.lvz\nFile=a.txt\n");
  run_result result = run_program(tarnpack_path(), {"zone.ini"}, dir.path());
  ASSERT_EQ(result.status, 0) << result.err;
  struct stat after;
  ASSERT_EQ(stat((dir / "out.lvz").c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino) << "not replaced";
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(after.st_uid, 65534u);
  }
  EXPECT_EQ(read_container(read_file(dir / "out.lvz")).at(0).data, "changed");
  EXPECT_EQ(fs::read_symlink(dir / "link.lvz"), "out.lvz");
  EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.txt", "link.lvz", "out.lvz", "zone.ini"}));
}

// Where the user may not write, the run is refused as it always was; a file that they may
// write, in a folder where they may create none, is written in place as it always was.
TEST_F(TarnpackPosix, WhatTheUserMayNotWriteIsRefusedAsBefore) {
  namespace fs = std::filesystem;
  const fs::perms open_to_all = fs::perms::all;
  const fs::perms read_only = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  const fs::perms writable = read_only | fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  const fs::perms closed = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec;
  struct row {
    const char* title;
    fs::perms folder;
    bool existing;
    fs::perms container;
    int status;
  };
  const row rows[] = {
      {"a read-only container in a folder open to all", open_to_all, true, read_only, 2},
      {"a new container in a folder the user may not write", closed, false, writable, 2},
      {"a writable container in a folder the user may not write", closed, true, writable, 0},
  };
  fs::copy_file(tarnpack_path(), dir / "tarnpack");
  for (const row& r : rows) {
    SCOPED_TRACE(r.title);
    scratch_dir scratch;
    const std::string folder = scratch / "w";
    fs::create_directory(folder);
    fs::permissions(scratch.path(), open_to_all);
    write_file(folder + "/a.txt", "a");
    write_file(folder + "/zone.ini", "OutFile=out.lvz\nFile=a.txt\n");
    if (r.existing) {
      write_file(folder + "/out.lvz", "old container");
      fs::permissions(folder + "/out.lvz", r.container);
    }
    fs::permissions(folder, r.folder);
    run_result result = run_program_unprivileged(dir / "tarnpack", {"zone.ini"}, folder);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(result.status, r.status);
    if (r.status == 0) {
      EXPECT_EQ(read_container(read_file(folder + "/out.lvz")).size(), 1u);
      continue;
    }
    EXPECT_EQ(result.err, "Error: Unable to create out.lvz\n");
    EXPECT_EQ(file_exists(folder + "/out.lvz") ? read_file(folder + "/out.lvz") : "", r.existing ? "old container" : "");
    EXPECT_EQ(list_directory(folder).size(), r.existing ? 3u : 2u);
  }
}

TEST_F(TarnpackPosix, TheUsageIsWrappedForATerminal) {
  // The usage holds each paragraph on one line, as a message box wraps it; the console
  // breaks it at blanks within 80 characters.
  EXPECT_EQ(run_program(tarnpack_path(), {"--help"}, dir.path()).out,
            "Usage: tarnpack [description.ini]\n"
            "       tarnpack -c|--check [description.ini]\n"
            "       tarnpack -h|--help | -V|--version\n"
            "Builds the level-zone container named by the description's OutFile from its File\n"
            "and ExtractFile entries and its object definitions, and writes it in one piece.\n"
            "Without an argument it asks for the description.\n"
            "-c, --check: builds the container in memory as packing would, writes nothing,\n"
            "and reports each section and each entry left out, with warnings for lines that\n"
            "packing ignores and numbers that it changes.\n"
            "Options come before the name, which is taken verbatim; -- ends them.\n"
            "TARN_JOBS=N in the environment: the number of files read and compressed side by\n"
            "side (1 to 8; by default the machine's cores, at most 8).\n"
            "SOURCE_DATE_EPOCH=SECONDS in the environment: files written later than that\n"
            "moment (seconds since 1970 UTC) are stored with its time, so that fresh copies\n"
            "of the same files give the same container.\n"
            "Exit status: 0 written (or sound, when checking), 1 cancelled, 2 failed (after\n"
            "showing the error).\n");
}
