// The packer's support library where POSIX itself is part of the case: the console
// message box, a full disk, FIFOs, and local time zones.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "disk_file.h"
#include "exceptions.h"
#include "test_support.h"

namespace {

// Sets TZ for the life of the object.
class time_zone {
 public:
  explicit time_zone(const char* zone) {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~time_zone() {
    if (had_)
      setenv("TZ", old_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  bool had_;
  std::string old_;
};

std::string reported(const base_exception& error) {
  testing::internal::CaptureStderr();
  report_error(error);
  return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST(ReportError, WritesCaptionAndTextToStandardErrorAndNothingForAnEmptyText) {
  EXPECT_EQ(reported(base_exception("No data defined")), "Error: No data defined\n");
  EXPECT_EQ(reported(text_exception("Syntax error in line '%s'\n", "x")), "Error: Syntax error in line 'x'\n");
  EXPECT_EQ(reported(base_exception("")), "");
  std::string long_text(600, 't');
  EXPECT_EQ(reported(base_exception(long_text.c_str())), "Error: " + std::string(511, 't') + "\n");
}

TEST(DiskFilePosix, AFullDiskReadsDiskFull) {
  if (!file_exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  disk_file out;
  out.open_write("/dev/full", 0, CREATE_ALWAYS);
  try {
    out.write("data", 4);
    ADD_FAILURE() << "written";
  } catch (const file_exception& error) {
    EXPECT_EQ(error.kind(), file_error_kind::write_failed);
    EXPECT_EQ(error.os_error(), 112u);
    char text[64];
    error.get_text(text, sizeof text);
    EXPECT_STREQ(text, "Disk full");
  }
}

TEST(DiskFilePosix, OnlyRegularFilesOpenForReadingAndAFifoDoesNotHang) {
  scratch_dir dir;
  std::string fifo = dir / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, dir.path(), std::string("/dev/null")}) {
    try {
      disk_file().open_read(path.c_str(), FILE_SHARE_READ, OPEN_EXISTING);
      ADD_FAILURE() << path << " opened";
    } catch (const file_exception& error) {
      EXPECT_EQ(error.kind(), file_error_kind::open_failed);
      EXPECT_EQ(error.os_error(), 5u);
    }
  }
  EXPECT_THROW(disk_file().open_write(fifo.c_str(), 0, CREATE_ALWAYS), file_exception);
}

TEST(FileTimePosix, IsTheModificationTimeOnTheLocalClock) {
  scratch_dir dir;
  std::string path = dir / "a.txt";
  write_file(path, "a");
  set_modification_time(path, 1000000000);  // 2001-09-09 01:46:40 UTC
  {
    time_zone utc("UTC");
    EXPECT_EQ(get_file_time(path.c_str()), 1000000000);
  }
  {
    time_zone east("<+02>-2");
    EXPECT_EQ(get_file_time(path.c_str()), 1000000000 + 7200);
  }
  {
    // The offset of the file's own moment: summer time in September, not in January.
    time_zone central("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(get_file_time(path.c_str()), 1000000000 + 7200);
    set_modification_time(path, 980000000);  // 2001-01-20
    EXPECT_EQ(get_file_time(path.c_str()), 980000000 + 3600);
  }
  {
    time_zone utc("UTC");
    set_modification_time(path, 10);
    EXPECT_EQ(get_file_time(path.c_str()), 10);
    time_zone west("<-02>2");
    EXPECT_EQ(get_file_time(path.c_str()), 0);  // before 1970 on the local clock
    set_modification_time(path, 4294967295LL + 7200);
    EXPECT_EQ(static_cast<uint32_t>(get_file_time(path.c_str())), 4294967295u);
    set_modification_time(path, 4294967296LL + 7200);
    EXPECT_EQ(get_file_time(path.c_str()), -1);
  }
}

TEST(FileTimePosix, ATimeBeyondWhatAFileTimeHoldsStillReadsAsAfter2106) {
  // tmpfs keeps any 64-bit time; the usual disk file systems stop long before.
  char path[] = "/dev/shm/tarn-far-future-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) GTEST_SKIP() << "no /dev/shm";
  close(fd);
  time_zone east("<+14>-14");
  for (int64_t seconds : {int64_t{1} << 62, INT64_MAX}) {
    set_modification_time(path, seconds);
    if (modification_time(path) != seconds) {
      unlink(path);
      GTEST_SKIP() << "the file system cuts far times";
    }
    EXPECT_EQ(get_file_time(path), -1) << seconds;
  }
  unlink(path);
}
