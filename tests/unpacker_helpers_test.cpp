// The unpacker's helpers: number formatting, bounded reads, inflating, output paths.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "bounded_read.h"
#include "clock_text.h"
#include "decimal_text.h"
#include "inflating.h"
#include "output_paths.h"
#include "test_harness.h"
#include "text_formatting.h"

namespace {

std::string thousands(int64_t value) {
  char text[32];
  int length = format_thousands(value, text);
  EXPECT_EQ(static_cast<size_t>(length), std::string(text).size());
  return text;
}

std::string directory_for(std::vector<std::string> args, const char* input_name) {
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(&arg[0]);
  char* path = output_directory_path(static_cast<int>(argv.size()), argv.data(), input_name);
  std::string result = path;
  std::free(path);
  return result;
}

}  // namespace

TEST(FormatThousands, GroupsDigitsInThrees) {
  EXPECT_EQ(thousands(0), "0");
  EXPECT_EQ(thousands(999), "999");
  EXPECT_EQ(thousands(1000), "1,000");
  EXPECT_EQ(thousands(1234567), "1,234,567");
  EXPECT_EQ(thousands(-1234), "-1,234");
  EXPECT_EQ(thousands(-999), "-999");
  EXPECT_EQ(thousands(INT32_MAX), "2,147,483,647");
  EXPECT_EQ(thousands(INT32_MIN), "-2,147,483,648");
  EXPECT_EQ(thousands(UINT32_MAX), "4,294,967,295");  // a file's size, as --check shows it
  EXPECT_EQ(thousands(INT64_MIN), "-9,223,372,036,854,775,808");
}

TEST(ReadFromBuffer, CopiesWithinTheBlockAndRefusesReadsPastItsEnd) {
  const unsigned char block[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  unsigned char out[10] = {};
  int offset = 4;
  EXPECT_EQ(read_from_buffer(out, block, &offset, 6, 10), 1);
  EXPECT_EQ(offset, 10);
  EXPECT_EQ(out[0], 4);
  EXPECT_EQ(out[5], 9);
  EXPECT_EQ(read_from_buffer(out, block, &offset, 1, 10), 0);
  EXPECT_EQ(offset, 10);
  offset = 2;
  EXPECT_EQ(read_from_buffer(out, block, &offset, INT_MAX, 10), 0);  // no overflow
  EXPECT_EQ(offset, 2);
}

TEST(AppendFormatted, AppendsAndReturnsTheNewLength) {
  char text[64] = "";
  EXPECT_EQ(append_formatted(text, "%d,", 5), 2);
  EXPECT_STREQ(text, "5,");
  EXPECT_EQ(append_formatted(text, "%s", "IMAGE"), 7);
  EXPECT_STREQ(text, "5,IMAGE");
}

// Stored times are clock readings: the text is the reading itself in every zone (the tests
// run in Berlin's), even one that Berlin's clocks skipped.
TEST(ClockText, ShowsTheStoredClockReadingWithoutAZone) {
  const std::pair<uint32_t, const char*> readings[] = {
      {0, "1970-01-01 00:00:00"},
      {951782400, "2000-02-29 00:00:00"},   // a leap day of a century divisible by 400
      {4107542399, "2100-02-28 23:59:59"},  // 2100 has none
      {4107542400, "2100-03-01 00:00:00"},
      {1616898600, "2021-03-28 02:30:00"},  // skipped in Berlin
      {0xFFFFFFFF, "2106-02-07 06:28:15"},
  };
  for (const auto& [seconds, text] : readings) EXPECT_EQ(clock_text(seconds), text) << seconds;
  EXPECT_EQ(clock_text(1616898600, 'T'), "2021-03-28T02:30:00");
}

TEST(InflateToBuffer, GivesTheContentOrNothing) {
  std::string content(5000, 'x');
  std::string stream = zlib_compress(content);
  auto* source = reinterpret_cast<const unsigned char*>(stream.data());
  auto length = static_cast<uint32_t>(stream.size());

  uint32_t produced = 5000;
  unsigned char* block = inflate_to_buffer(source, length, &produced);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(produced, 5000u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block), produced), content);
  std::free(block);

  produced = 4999;  // the stream holds more than expected
  EXPECT_EQ(inflate_to_buffer(source, length, &produced), nullptr);
  EXPECT_EQ(produced, 0u);

  produced = 5000;  // cut short
  EXPECT_EQ(inflate_to_buffer(source, length - 5, &produced), nullptr);
  EXPECT_EQ(produced, 0u);
}

TEST(InflateExactly, TakesOneWholeStreamOfTheDeclaredSizeAndIgnoresSpareBytes) {
  std::string content(5000, 'x');
  std::string stream = zlib_compress(content);
  auto inflate = [](const std::string& source, uint32_t full_size) {
    unsigned char* block = inflate_exactly(reinterpret_cast<const unsigned char*>(source.data()),
                                           static_cast<uint32_t>(source.size()), full_size);
    std::string result = block ? std::string(reinterpret_cast<char*>(block), full_size) : "<none>";
    std::free(block);
    return result;
  };
  EXPECT_EQ(inflate(stream, 5000), content);
  EXPECT_EQ(inflate(stream, 5001), "<none>");        // ends short
  EXPECT_EQ(inflate(stream, 4999), "<none>");        // runs long
  EXPECT_EQ(inflate(stream + "junk", 5000), content);  // spare bytes after the stream's end
  EXPECT_EQ(inflate(stream + "junk", 5001), "<none>");
  EXPECT_EQ(inflate(stream.substr(0, stream.size() - 1), 5000), "<none>");
  // Beyond what any stream of that length inflates to: refused without allocating 4 GiB.
  EXPECT_EQ(inflate(stream, 0xFFFFFFFF), "<none>");
  // A declared size of 0 admits only a stream of no content, never one of a byte.
  EXPECT_EQ(inflate(zlib_compress(""), 0), "");
  EXPECT_EQ(inflate(zlib_compress("x"), 0), "<none>");
}

TEST(OutputDirectoryPath, LiesNextToTheContainerGivenAsArgument) {
  EXPECT_EQ(directory_for({"tarnsplit", "zone.lvz"}, "zone.lvz"), "zone");
  EXPECT_EQ(directory_for({"tarnsplit", "C:\\levels\\zone.lvz"}, "C:\\levels\\zone.lvz"), "C:\\levels\\zone");
  EXPECT_EQ(directory_for({"tarnsplit", "zone"}, "zone"), "zone");
  // The extension comes off the file name only, never off a directory's name.
  EXPECT_EQ(directory_for({"tarnsplit", "a.dir\\zone"}, "a.dir\\zone"), "a.dir\\zone");
  EXPECT_EQ(directory_for({"tarnsplit", "..\\v1.2\\zone"}, "..\\v1.2\\zone"), "..\\v1.2\\zone");
  EXPECT_EQ(directory_for({"tarnsplit", ".\\zone"}, ".\\zone"), ".\\zone");
}

TEST(OutputDirectoryPath, LiesNextToTheProgramForATypedName) {
  EXPECT_EQ(directory_for({"C:\\tools\\tarnsplit.exe"}, "sub\\zone.lvz"), "C:\\tools\\sub\\zone");
  EXPECT_EQ(directory_for({"tarnsplit"}, "zone.lvz"), "zone");
  EXPECT_EQ(directory_for({"C:\\tools\\tarnsplit.exe"}, "v1.2\\zone"), "C:\\tools\\v1.2\\zone");
}
