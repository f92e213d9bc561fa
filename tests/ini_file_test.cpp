// The description reader on real files: line ends, blanks, comments, headers, consumed
// lines and the missing-parameter message.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ini_file.h"
#include "packer_errors.h"
#include "test_harness.h"

namespace {

class IniFile : public ::testing::Test {
 protected:
  scratch_dir dir;
  std::string path;

  ini_file& load(const std::string& text) {
    path = dir / "zone.ini";
    write_file(path, text);
    loaded_.reset(new ini_file(path.c_str()));
    return *loaded_;
  }

 private:
  std::unique_ptr<ini_file> loaded_;
};

// Every value of name, in the order get_value yields them.
std::vector<std::string> values(ini_file& ini, const char* name, size_t size = 260) {
  std::vector<std::string> found;
  std::vector<char> buffer(size);
  while (ini.get_value(buffer.data(), size, name, true)) found.push_back(buffer.data());
  return found;
}

std::vector<std::string> lines(ini_file& ini, size_t size = 256) {
  std::vector<std::string> found;
  std::vector<char> buffer(size);
  while (ini.next_line(buffer.data(), size)) found.push_back(buffer.data());
  return found;
}

using texts = std::vector<std::string>;

}  // namespace

TEST_F(IniFile, ReadsEveryOccurrenceInFileOrderWhateverTheCaseAndBlanks) {
  ini_file& ini = load("; a zone\nFILE=a.bmp\nfile \t=  b.wav  \nFiles=no.bmp\nFile=c.bin ; not a comment\n");
  EXPECT_EQ(values(ini, "File"), (texts{"a.bmp", "b.wav", "c.bin ; not a comment"}));
  EXPECT_EQ(lines(ini), (texts{"Files=no.bmp"}));
}

TEST_F(IniFile, CrLfReadsLikeLf) {
  std::string lf = "OutFile = x.lvz \nFile=a.bmp\n\n[objectimages]\nIMAGE0=a.bmp\n";
  std::string crlf = "OutFile = x.lvz \r\nFile=a.bmp\r\n\r\n[objectimages]\r\nIMAGE0=a.bmp\r\n";
  for (const std::string& text : {lf, crlf}) {
    ini_file& ini = load(text);
    EXPECT_EQ(values(ini, "OutFile"), texts{"x.lvz"});
    EXPECT_EQ(values(ini, "File"), texts{"a.bmp"});
    ASSERT_TRUE(ini.select_section("objectimages"));
    EXPECT_EQ(lines(ini), texts{"IMAGE0=a.bmp"});
  }
}

TEST_F(IniFile, AnEmptyValueIsAValue) {
  ini_file& ini = load("OutFile=\t \n");
  char value[260] = "untouched";
  EXPECT_TRUE(ini.get_value(value, sizeof value, "OutFile", false));
  EXPECT_STREQ(value, "");
}

TEST_F(IniFile, MixedParametersAreEachReadInOrder) {
  std::string text;
  for (int i = 0; i < 6; ++i) text += "File=f" + std::to_string(i) + "\nExtractFile=e" + std::to_string(i) + "\n";
  text += "IMAGE1=i1\nIMAGE2=i2\nIMAGE3=i3\nIMAGE4=i4\nIMAGE5=i5\nFile=last\n";
  ini_file& ini = load(text);
  char value[64];
  // More names than the reader remembers searches for, interleaved.
  for (const char* name : {"File", "IMAGE1", "IMAGE2", "IMAGE3", "IMAGE4", "IMAGE5", "File"}) {
    ASSERT_TRUE(ini.get_value(value, sizeof value, name, true)) << name;
  }
  EXPECT_EQ(values(ini, "File"), (texts{"f2", "f3", "f4", "f5", "last"}));
  EXPECT_EQ(values(ini, "ExtractFile"), (texts{"e0", "e1", "e2", "e3", "e4", "e5"}));
  EXPECT_EQ(lines(ini), texts{});
  ASSERT_TRUE(ini.select_section(nullptr));  // everything unread again
  EXPECT_EQ(values(ini, "ExtractFile").size(), 6u);
  EXPECT_EQ(values(ini, "File").size(), 7u);
}

TEST_F(IniFile, TheHeadEndsAtTheFirstHeader) {
  ini_file& ini = load("File=a.bmp\n[objectimages]\nOutFile=x.lvz\n");
  EXPECT_STREQ(ini.section_name(), "<default>");
  char value[260];
  EXPECT_FALSE(ini.get_value(value, sizeof value, "OutFile", true));
  try {
    ini.get_value(value, sizeof value, "OutFile", false);
    ADD_FAILURE() << "found";
  } catch (const text_exception& error) {
    char text[512];
    error.get_text(text, sizeof text);
    EXPECT_STREQ(text, "Ini file: Missing parameter OutFile in <default> section");
  }
  ASSERT_TRUE(ini.select_section("OBJECTIMAGES"));
  EXPECT_STREQ(ini.section_name(), "OBJECTIMAGES");
  try {
    ini.find_value("IMAGE0", false);
    ADD_FAILURE() << "found";
  } catch (const text_exception& error) {
    char text[512];
    error.get_text(text, sizeof text);
    EXPECT_STREQ(text, "Ini file: Missing parameter IMAGE0 in OBJECTIMAGES section");
  }
}

TEST_F(IniFile, FindsHeadersIgnoringCaseAndBlanksAndKeepsTheSelectionWhenOneIsMissing) {
  ini_file& ini = load("[ MapObjects \t] trailing words\n10,20,IMAGE0\n[mapobjects]\n30,40,IMAGE1\n");
  ASSERT_TRUE(ini.select_section("mapobjects"));
  char line[256];
  ASSERT_TRUE(ini.next_line(line, sizeof line));
  EXPECT_STREQ(line, "10,20,IMAGE0");
  EXPECT_FALSE(ini.select_section("screenobjects"));
  EXPECT_STREQ(ini.section_name(), "mapobjects");
  EXPECT_EQ(lines(ini), texts{});  // what was read stays read
  ASSERT_TRUE(ini.select_section("mapobjects", 1));
  EXPECT_EQ(lines(ini), texts{"30,40,IMAGE1"});
  EXPECT_FALSE(ini.select_section("mapobjects", 2));
}

TEST_F(IniFile, AHeaderNeedsALineEndAndItsBracketWithin63Characters) {
  EXPECT_FALSE(load("File=a\n[objectimages]").select_section("objectimages"));
  std::string long_name(63, 'n');
  ini_file& ini = load("[" + long_name + "]\nx=1\n[  " + long_name.substr(1) + "]\ny=2\n");
  EXPECT_FALSE(ini.select_section(long_name.c_str()));
  ASSERT_TRUE(ini.select_section(long_name.substr(1).c_str()));
  EXPECT_EQ(lines(ini), texts{"y=2"});
}

TEST_F(IniFile, BlankAndCommentLinesNeverReachTheReader) {
  ini_file& ini = load("[objectimages]\n\n \t\n ; comment\n\tIMAGE0 = a.bmp  \n;IMAGE1=b\nIMAGE1=b.bmp");
  ASSERT_TRUE(ini.select_section("objectimages"));
  EXPECT_EQ(lines(ini), (texts{"IMAGE0 = a.bmp", "IMAGE1=b.bmp"}));
}

TEST_F(IniFile, AConsumedParameterIsGoneFromTheLines) {
  ini_file& ini = load("[objectimages]\nIMAGE0=a.bmp\nstray line\nIMAGE1=b.bmp\n");
  ASSERT_TRUE(ini.select_section("objectimages"));
  char value[256];
  ASSERT_TRUE(ini.get_value(value, sizeof value, "IMAGE1", true));
  EXPECT_STREQ(value, "b.bmp");
  EXPECT_EQ(lines(ini), (texts{"IMAGE0=a.bmp", "stray line"}));
}

TEST_F(IniFile, CutsLongValuesAndLinesToTheBuffer) {
  ini_file& ini = load("File=abcdefgh   \nlong line of text\n");
  EXPECT_EQ(values(ini, "File", 5), texts{"abcd"});
  EXPECT_EQ(lines(ini, 10), texts{"long line"});
}

TEST_F(IniFile, AZeroByteEndsTheText) {
  ini_file& ini = load(std::string("File=a.bmp\nFile=b\0.bmp\nFile=c.bmp\n", 34));
  EXPECT_EQ(values(ini, "File"), (texts{"a.bmp", "b"}));
  EXPECT_EQ(ini.line_of_ending_zero(), 2u);

  // Its line is counted as editors count, whatever the line ends; a zero followed only by
  // blanks and line ends hides nothing.
  const std::pair<std::string, uint32_t> zeros[] = {
      {std::string("a\r\nb\rc\n\0d", 10), 4},
      {std::string("a\r\0d", 5), 2},
      {std::string("a\n\0 \t\r\n\0\n", 9), 0},
      {"a\nb\n", 0},
  };
  for (const auto& [text, line] : zeros) EXPECT_EQ(load(text).line_of_ending_zero(), line) << text;
}

// UTF-16 without a byte-order mark is told by its first line (tarnpack_check_test refuses
// it end to end); a 0 byte elsewhere is no UTF-16, and only the text before it is read.
TEST_F(IniFile, TakesOnlyAFirstLineOfZerosInEverySecondPlaceForUtf16) {
  for (const std::string& text :
       {std::string("O\0u\0tFile=a.lvz\n", 16), std::string("\0\n", 2), std::string("\n\0", 2)})
    EXPECT_EQ(values(load(text), "OutFile").size(), 0u);
}

// Text after a UTF-8 byte-order mark is read in the code page of names: on Windows a line
// that does not convert fails when it is read, and says why; on POSIX it is its bytes.
TEST_F(IniFile, ReadsUtf8TextInTheCodePageOfNames) {
  if (runs_on_windows() && ansi_code_page() != 1252) GTEST_SKIP() << "written for code page 1252";
  const std::string mark = "\xEF\xBB\xBF", table = "\xE8\xA1\xA8";  // no 表 in code page 1252
  const std::string text = mark + "; " + table + "\r\nFile=\xC3\xBC\r\n[objectimages]\r\nIMAGE0=" + table +
                           "\r\nIMAGE1=\xC3(\r\n";
  auto failure = [](const std::function<void()>& read) {
    try {
      read();
    } catch (const text_exception& error) {
      char message[512];
      error.get_text(message, sizeof message);
      return std::string(message);
    }
    return std::string("no failure");
  };
  ini_file& ini = load(text);
  EXPECT_EQ(values(ini, "File"), texts{runs_on_windows() ? "\xFC" : "\xC3\xBC"});
  ASSERT_TRUE(ini.select_section("objectimages"));
  char value[64];
  if (!runs_on_windows()) {
    EXPECT_EQ(lines(ini), (texts{"IMAGE0=" + table, "IMAGE1=\xC3("}));
    return;
  }
  EXPECT_EQ(failure([&] { ini.get_value(value, sizeof value, "IMAGE0", true); }),
            "Description line 4 holds a character that the ANSI code page cannot hold: " + path);
  EXPECT_EQ(failure([&] { ini.get_value(value, sizeof value, "IMAGE1", true); }),
            "Description line 5 is not UTF-8 text (the description begins with UTF-8's byte-order mark): " +
                path);
  EXPECT_EQ(failure([&] { ini.next_line(value, sizeof value); }),
            "Description line 4 holds a character that the ANSI code page cannot hold: " + path);
}

TEST_F(IniFile, ReadsLongDescriptionsInLinearTime) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "ExtractFile=e\nFile=f\n";
  ini_file& ini = load(text);
  EXPECT_EQ(values(ini, "File").size(), 100000u);
  EXPECT_EQ(values(ini, "ExtractFile").size(), 100000u);
  ASSERT_TRUE(ini.select_section(nullptr));
  EXPECT_EQ(lines(ini).size(), 200000u);
}

TEST_F(IniFile, AMissingFileFailsWithItsPath) {
  try {
    ini_file ini((dir / "missing.ini").c_str());
    ADD_FAILURE() << "loaded";
  } catch (const file_exception& error) {
    char text[512];
    error.get_text(text, sizeof text);
    EXPECT_EQ(std::string(text), "Unable to open " + (dir / "missing.ini"));
  }
}
