// tarnpack end to end where POSIX itself is part of the case: the file-open dialog's
// console stand-in on a real terminal, a FIFO named as a file, and a full disk.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
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
  EXPECT_EQ(output.err, "Error: Unable to create out.lvz\n");
}

TEST_F(TarnpackPosix, AFullDiskReadsDiskFull) {
  if (!file_exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  write_file(dir / "zone.ini", "OutFile=/dev/full\nFile=a.txt\n");
  run_result result = run_program(tarnpack_path(), {"zone.ini"}, dir.path());
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "Error: Disk full\n");
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
