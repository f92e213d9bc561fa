// The packer's support library: exception texts, file access, buffers and string helpers.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "byte_buffer.h"
#include "disk_file.h"
#include "packer_errors.h"
#include "paths.h"
#include "pointer_list.h"
#include "string_helpers.h"
#include "test_harness.h"

namespace {

// get_text into a buffer of size bytes, checking that nothing is written past it.
std::string text_of(const base_exception& error, size_t size = 512) {
  std::vector<char> buffer(size + 16, '#');
  error.get_text(buffer.data(), size);
  EXPECT_EQ(std::string(buffer.begin() + size, buffer.end()), std::string(16, '#'));
  EXPECT_NE(std::memchr(buffer.data(), '\0', size), nullptr);
  return buffer.data();
}

// Runs call and returns the text of the file_exception it throws ("" when none).
template <typename Call>
std::string file_failure(Call call, file_error_kind expected_kind) {
  try {
    call();
  } catch (const file_exception& error) {
    EXPECT_EQ(error.kind(), expected_kind);
    return text_of(error);
  }
  ADD_FAILURE() << "no file_exception";
  return "";
}

file_exception file_error(int kind, const char* name = nullptr, uint32_t os_error = 0) {
  return file_exception(static_cast<file_error_kind>(kind), name, os_error);
}

std::string field(const char* text, int index, size_t size = 64, bool* found = nullptr) {
  char destination[64];
  const char* start = get_field(destination, size, text, ',', index);
  if (found) *found = start != nullptr;
  return destination;
}

std::string joined(const char* directory, const char* name) {
  char destination[path_size];
  join_path(destination, directory, name);
  return destination;
}

}  // namespace

TEST(BaseException, ShowsItsTextOrUnknownErrorCutToTheBuffer) {
  EXPECT_EQ(text_of(base_exception()), "Unknown error");
  EXPECT_EQ(text_of(base_exception("No data defined")), "No data defined");
  EXPECT_EQ(text_of(base_exception("No data defined"), 10), "No data d");
  EXPECT_EQ(text_of(base_exception("No data defined"), 1), "");
  EXPECT_EQ(text_of(memory_exception()), "Not enough memory");
  EXPECT_EQ(text_of(memory_exception(), 10), "Not enoug");
}

TEST(FileException, ComposesItsTextFromKindAndName) {
  EXPECT_EQ(text_of(file_error(0, "gfx\\ship.bmp", 2)), "Unable to open gfx\\ship.bmp");
  EXPECT_EQ(text_of(file_error(0)), "Unable to open file");
  EXPECT_EQ(text_of(file_error(1, "out.lvz", 3)), "Unable to create out.lvz");
  EXPECT_EQ(text_of(file_error(1, "")), "Unable to create file");
  EXPECT_EQ(text_of(file_error(2, "a.txt")), "File read error");  // no name for reads
  EXPECT_EQ(text_of(file_error(3, "a.txt")), "File read error");
  for (int kind : {5, 6, 1000}) EXPECT_EQ(text_of(file_error(kind, "a.txt")), "Unknown file error");
}

TEST(FileException, CutsItsTextToTheBuffer) {
  EXPECT_EQ(text_of(file_error(0, "ship.bmp"), 10), "Unable to");
  EXPECT_EQ(text_of(file_error(0, "ship.bmp"), 17), "Unable to open s");
  EXPECT_EQ(text_of(file_error(1, "ship.bmp"), 1), "");
  std::string long_name(400, 'n');
  EXPECT_EQ(text_of(file_error(0, long_name.c_str())), "Unable to open " + std::string(259, 'n'));
}

TEST(FileException, TellsAFullDiskFromOtherWriteFailures) {
  errno = 0;
  EXPECT_EQ(text_of(file_error(4, nullptr, 112)), "Disk full");
  EXPECT_EQ(text_of(file_error(4, nullptr, 39)), "Disk full");
  EXPECT_EQ(text_of(file_error(4, nullptr, 0x20000000 | 112)), "Disk full");  // low 12 bits
  EXPECT_EQ(text_of(file_error(4, nullptr, 5)), "File write error");
  errno = ENOSPC;
  EXPECT_EQ(text_of(file_error(4, nullptr, 5)), "Disk full");
  errno = 0;
  EXPECT_EQ(text_of(file_error(4, nullptr, 112), 5), "Disk");
}

TEST(TextException, FormatsItsMessageAndNeverRunsPastIt) {
  EXPECT_EQ(text_of(text_exception("Packing %s failed", "a.txt")), "Packing a.txt failed");
  EXPECT_EQ(text_of(text_exception("%d%%|%-4s|%5d|%c|%g", -7, "ab", 42, 'z', 2.5)),
            "-7%|ab  |   42|z|2.5");
  EXPECT_EQ(text_of(text_exception("Packing %s failed", "a.txt"), 10), "Packing a");
  EXPECT_EQ(text_of(text_exception("Packing %s failed", "a.txt"), 1), "");

  std::string long_name(400, 'n');
  std::string formatted = "Packing " + long_name + " failed";
  EXPECT_EQ(text_of(text_exception("Packing %s failed", long_name.c_str())), formatted.substr(0, 299));
  EXPECT_EQ(text_of(text_exception("%500d|", 1)), std::string(299, ' '));
}

TEST(TextException, ShowsTheControlBytesOfItsTextArgumentsAsHex) {
  EXPECT_EQ(text_of(text_exception("Unable to open %s", "\x1b]0;pwned\x07.txt")),
            "Unable to open \\x1B]0;pwned\\x07.txt");
  EXPECT_EQ(text_of(text_exception("[%-8s|%c|%c]\n", "a\tb", '\x7f', 'c')), "[a\\x09b  |\\x7F|c]\n");
  EXPECT_EQ(text_of(text_exception("%s|%s", "\xE9t\xE9", "\x1b")), "\xE9t\xE9|\\x1B");  // only control bytes
  EXPECT_EQ(text_of(file_error(0, "a\x1b[2J", 2)), "Unable to open a\\x1B[2J");
}

TEST(TextException, KeepsTheFormatItselfForAConversionItDoesNotKnow) {
  EXPECT_EQ(text_of(text_exception("%.2f percent", 1.5)), "%.2f percent");
  EXPECT_EQ(text_of(text_exception("%ld items", 3L)), "%ld items");
  EXPECT_EQ(text_of(text_exception("%s at %p", "x", static_cast<void*>(nullptr))), "%s at %p");
  const char* trailing = "100%";
  EXPECT_EQ(text_of(text_exception(trailing)), "100%");
  std::string long_format = std::string(400, 'f') + "%.1f";
  EXPECT_EQ(text_of(text_exception(long_format.c_str(), 1.0)), std::string(299, 'f'));
}

class DiskFile : public ::testing::Test {
 protected:
  scratch_dir dir;
};

TEST_F(DiskFile, ReportsMissingFilesAndDirectoriesWithTheirPath) {
  std::string missing = dir / "missing.ini";
  EXPECT_EQ(file_failure([&] { disk_file().open_read(missing.c_str(), FILE_SHARE_READ, OPEN_EXISTING); },
                         file_error_kind::open_failed),
            "Unable to open " + missing);
  std::string in_missing_dir = dir / "nodir/out.lvz";
  try {
    disk_file().open_write(in_missing_dir.c_str(), 0, CREATE_ALWAYS);
    ADD_FAILURE() << "opened";
  } catch (const file_exception& error) {
    EXPECT_EQ(error.kind(), file_error_kind::create_failed);
    EXPECT_EQ(error.os_error(), 3u);  // path not found
    EXPECT_EQ(text_of(error), "Unable to create " + in_missing_dir);
  }
  try {
    disk_file().open_read(missing.c_str(), FILE_SHARE_READ, OPEN_EXISTING);
  } catch (const file_exception& error) {
    EXPECT_EQ(error.os_error(), 2u);  // file not found
  }
  EXPECT_EQ(file_failure([&] { disk_file().open_read(dir.path().c_str(), FILE_SHARE_READ, OPEN_EXISTING); },
                         file_error_kind::open_failed),
            "Unable to open " + dir.path());
}

TEST_F(DiskFile, WritesReadsAndRefusesToReadPastTheEnd) {
  std::string path = dir / "data.bin";
  disk_file out;
  out.open_write(path.c_str(), 0, CREATE_ALWAYS);
  out.write("0123456789", 10);
  out.close();
  out.close();  // harmless
  EXPECT_EQ(read_file(path), "0123456789");

  disk_file in;
  in.open_read(path.c_str(), FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_EQ(in.size(), 10u);
  char bytes[16] = {};
  in.read(bytes, 0);
  in.read(bytes, 4);
  EXPECT_EQ(std::string(bytes, 4), "0123");
  EXPECT_EQ(file_failure([&] { in.read(bytes, 7); }, file_error_kind::read_short), "File read error");
  in.close();  // Windows refuses an unshared open for writing while it is open

  out.open_write(path.c_str(), 0, CREATE_ALWAYS);  // replaces the content
  out.write("new", 3);
  out.close();
  EXPECT_EQ(read_file(path), "new");
}

TEST(FileTime, CountsSecondsSince1970AndClampsBothEnds) {
  const uint64_t epoch = 116444736000000000ULL;
  EXPECT_EQ(filetime_to_seconds(epoch), 0);
  EXPECT_EQ(filetime_to_seconds(epoch - 1), 0);
  EXPECT_EQ(filetime_to_seconds(0), 0);
  EXPECT_EQ(filetime_to_seconds(epoch + 10 * 10000000ULL + 9999999), 10);
  EXPECT_EQ(filetime_to_seconds(epoch + 1000000000ULL * 10000000ULL), 1000000000);
  EXPECT_EQ(static_cast<uint32_t>(filetime_to_seconds(epoch + 4000000000ULL * 10000000ULL)), 4000000000u);
  EXPECT_EQ(filetime_to_seconds(epoch + 10000000ULL * (1ULL << 32)), -1);
  EXPECT_EQ(filetime_to_seconds(UINT64_MAX), 0);  // negative as a signed count
}

TEST(FileTime, IsZeroForAMissingFile) {
  scratch_dir dir;
  EXPECT_EQ(get_file_time((dir / "missing.txt").c_str()), 0);
}

TEST(ByteBuffer, AppendsAtTheEndAndReleasesAtSizeZero) {
  byte_buffer buffer;
  EXPECT_EQ(buffer.size(), 0u);
  EXPECT_EQ(buffer.data(), nullptr);
  EXPECT_EQ(buffer.append("CONT\0\0\0\0", 8), 0u);
  EXPECT_EQ(buffer.append("abcd", 4), 8u);
  EXPECT_EQ(buffer.size(), 12u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()), 12), std::string("CONT\0\0\0\0abcd", 12));
  std::string big(100000, 'b');
  for (int i = 0; i < 50; ++i) buffer.append(big.data(), big.size());
  EXPECT_EQ(buffer.size(), 12u + 50 * 100000);
  EXPECT_EQ(std::memcmp(buffer.data(), "CONT", 4), 0);
  EXPECT_EQ(buffer.data()[buffer.size() - 1], 'b');
  buffer.set_size(4);
  EXPECT_EQ(std::memcmp(buffer.data(), "CONT", 4), 0);
  buffer.set_size(0);
  EXPECT_EQ(buffer.size(), 0u);
  EXPECT_EQ(buffer.data(), nullptr);
}

TEST(ByteBuffer, LoadsAWholeFileAndStaysUnchangedWhenItCannotOpenOne) {
  scratch_dir dir;
  write_file(dir / "empty.txt", "");
  write_file(dir / "data.bin", std::string("a\0b\r\n", 5));
  byte_buffer buffer;
  buffer.load_file((dir / "data.bin").c_str());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()), buffer.size()), std::string("a\0b\r\n", 5));
  EXPECT_EQ(file_failure([&] { buffer.load_file((dir / "missing").c_str()); }, file_error_kind::open_failed),
            "Unable to open " + (dir / "missing"));
  EXPECT_EQ(buffer.size(), 5u);
  buffer.load_file((dir / "empty.txt").c_str());
  EXPECT_EQ(buffer.size(), 0u);
}

TEST(PointerList, GrowsBy32AndGivesBack16OnceMoreThan32AreSpare) {
  std::vector<int> values(200);
  pointer_list list;
  for (int i = 0; i < 33; ++i) list.append(&values[i]);
  EXPECT_EQ(list.count(), 33u);
  EXPECT_EQ(list.capacity(), 64u);
  list.remove_at(0);
  EXPECT_EQ(list.capacity(), 64u);
  for (uint32_t i = 0; i < 32; ++i) EXPECT_EQ(list.at(i), &values[i + 1]);

  list.remove_at(31);  // count 31: 33 spare
  EXPECT_EQ(list.capacity(), 48u);
  while (list.count() > 16) list.remove_at(5);
  EXPECT_EQ(list.capacity(), 48u);
  list.remove_at(15);  // count 15: 33 spare
  EXPECT_EQ(list.capacity(), 32u);
  EXPECT_EQ(list.at(0), &values[1]);
  EXPECT_EQ(list.at(4), &values[5]);
  EXPECT_EQ(list.at(5), &values[21]);
  while (list.count() > 0) list.remove_at(list.count() - 1);
  EXPECT_EQ(list.capacity(), 32u);  // the last removal keeps the block

  for (int i = 0; i < 200; ++i) list.append(&values[i]);
  EXPECT_GE(list.capacity(), 200u);
  EXPECT_EQ(list.at(199), &values[199]);
  list.release();
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(list.capacity(), 0u);
}

TEST(StringHelpers, CopyTrimAndReplaceWithinTheirBounds) {
  char destination[10];
  EXPECT_STREQ(copy_bounded(destination, "0123456789", sizeof destination), "012345678");
  EXPECT_STREQ(copy_bounded(destination, "short", sizeof destination), "short");
  char text[] = " \t value \t ";
  EXPECT_STREQ(skip_blanks(text), "value \t ");
  trim_right(text);
  EXPECT_STREQ(text, " \t value");
  char line[] = "a;b;c";
  replace_char(line, ';', ',');
  EXPECT_STREQ(line, "a,b,c");
  replace_char(line, ',', '\0');
  EXPECT_STREQ(line, "a");
}

TEST(StringHelpers, PathsFollowTheSystemsSeparators) {
  EXPECT_STREQ(file_name_part("ship.bmp"), "ship.bmp");
  EXPECT_STREQ(file_name_part("C:\\gfx\\ship.bmp"), "ship.bmp");
  EXPECT_STREQ(file_name_part("gfx/ship.bmp"), is_path_separator('/') ? "ship.bmp" : "gfx/ship.bmp");
  EXPECT_TRUE(is_absolute_path("\\\\server\\share\\a.bmp"));
  EXPECT_TRUE(is_absolute_path("C:\\a.bmp"));
  EXPECT_TRUE(is_absolute_path("c:a.bmp"));
  EXPECT_FALSE(is_absolute_path("a.bmp"));
  EXPECT_FALSE(is_absolute_path("gfx\\a.bmp"));
  EXPECT_FALSE(is_absolute_path(""));
  EXPECT_EQ(is_absolute_path("/tmp/a.bmp"), is_path_separator('/'));
}

TEST(StringHelpers, JoinPathAddsOneBackslashAndCutsTo259) {
  EXPECT_EQ(joined("", "ship.bmp"), "ship.bmp");
  EXPECT_EQ(joined("gfx", "ship.bmp"), "gfx\\ship.bmp");
  EXPECT_EQ(joined("gfx\\", "ship.bmp"), "gfx\\ship.bmp");
  EXPECT_EQ(joined("gfx", "C:\\ship.bmp"), "C:\\ship.bmp");
  EXPECT_EQ(joined("", std::string(300, 'n').c_str()), std::string(259, 'n'));
  EXPECT_EQ(joined(std::string(250, 'd').c_str(), "0123456789"), std::string(250, 'd') + "\\01234567");
  EXPECT_EQ(joined(std::string(259, 'd').c_str(), "x"), std::string(259, 'd'));
}

TEST(StringHelpers, GetFieldSplitsTrimsAndCuts) {
  bool found = false;
  EXPECT_EQ(field("a, b ,  c d  ", 2, 64, &found), "c d");
  EXPECT_TRUE(found);
  EXPECT_EQ(field("a, b ,  c d  ", 1), "b");
  EXPECT_EQ(field("a, b ,  c d  ", 3, 64, &found), "");
  EXPECT_FALSE(found);
  EXPECT_EQ(field("  whole text \t", 0, 64, &found), "whole text");
  EXPECT_TRUE(found);
  EXPECT_EQ(field("a,,b", 1, 64, &found), "");
  EXPECT_TRUE(found);
  EXPECT_EQ(field("a,", 1, 64, &found), "");
  EXPECT_TRUE(found);
  EXPECT_EQ(field("x, abcdef  ,y", 1, 5), "abcd");
  EXPECT_EQ(field("x, ab    cd,y", 1, 6), "ab");  // cut, then trimmed

  const char* text = "IMAGE0, 10,  20";
  char destination[8];
  EXPECT_EQ(get_field(destination, sizeof destination, text, ',', 2), text + 13);
}
