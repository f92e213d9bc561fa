// The packer's support library where POSIX itself is part of the case: the console
// message box, a full disk, FIFOs, and local time zones.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "disk_file.h"
#include "packer_errors.h"
#include "test_harness.h"

namespace {

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

TEST(SystemTimePosix, KeepsMillisecondsAndRefusesWhatWindowsRefuses) {
  const SYSTEMTIME leap_day = {2020, 2, 6, 29, 23, 59, 59, 999};  // a Saturday
  FILETIME time;
  ASSERT_TRUE(SystemTimeToFileTime(&leap_day, &time));
  EXPECT_EQ(static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime,
            (1583020799ULL + 11644473600ULL) * 10000000ULL + 9990000ULL);
  SYSTEMTIME back;
  ASSERT_TRUE(FileTimeToSystemTime(&time, &back));
  EXPECT_EQ(std::memcmp(&back, &leap_day, sizeof back), 0);

  const SYSTEMTIME out_of_range[] = {
      {2021, 2, 0, 29, 0, 0, 0, 0}, {2021, 4, 0, 31, 0, 0, 0, 0}, {2021, 13, 0, 1, 0, 0, 0, 0},
      {2021, 1, 0, 1, 24, 0, 0, 0}, {2021, 1, 0, 1, 0, 0, 0, 1000}, {1600, 12, 0, 31, 23, 59, 59, 999},
  };
  for (const SYSTEMTIME& fields : out_of_range) {
    EXPECT_FALSE(SystemTimeToFileTime(&fields, &time))
        << fields.wYear << "-" << fields.wMonth << "-" << fields.wDay << " " << fields.wHour;
    EXPECT_FALSE(SystemTimeToTzSpecificLocalTime(nullptr, &fields, &back));
  }
  const FILETIME past_2_to_the_63 = {0, 0x80000000u};
  EXPECT_FALSE(FileTimeToSystemTime(&past_2_to_the_63, &back));
}
