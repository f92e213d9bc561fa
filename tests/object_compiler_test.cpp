// The object compiler inside the process: descriptions written to a scratch file, the
// content they compile to compared byte for byte, and the lines it refuses.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "byte_buffer.h"
#include "container_format.h"
#include "ini_file.h"
#include "object_compiler.h"
#include "packer_errors.h"
#include "test_harness.h"

namespace {

constexpr bool map_line = true, screen_line = false;

class ObjectCompiler : public ::testing::Test {
 protected:
  scratch_dir dir;

  // The content compiled from description, "none" when it has no [objectimages].
  std::string compiled(const std::string& description) {
    write_file(dir / "zone.ini", description);
    ini_file ini((dir / "zone.ini").c_str());
    byte_buffer content;
    if (!build_object_content(content, ini)) return "none";
    return std::string(reinterpret_cast<const char*>(content.data()), content.size());
  }

  // The message compiling description fails with; "" when it compiles.
  std::string failure(const std::string& description) {
    try {
      compiled(description);
    } catch (const base_exception& error) {
      char text[512];
      error.get_text(text, sizeof text);
      return text;
    }
    return "";
  }

  // The one record compiled from an object line, in a description defining IMAGE0 to IMAGE3.
  std::string record_of(bool is_map, const std::string& line) {
    std::string content = compiled("[objectimages]\nIMAGE0=a\nIMAGE1=b\nIMAGE2=c\nIMAGE3=d\n" +
                                   std::string(is_map ? "[mapobjects]\n" : "[screenobjects]\n") + line + "\n");
    EXPECT_EQ(content.substr(4, 4), u32le(1)) << line;
    return content.substr(12, 10);
  }

  std::string syntax_error(const std::string& line) { return "Syntax error in line '" + line + "'\n"; }
};

}  // namespace

TEST_F(ObjectCompiler, CompilesTheDocumentedExampleByteForByte) {
  const std::string images = "[objectimages]\nIMAGE0=pic\n";
  EXPECT_EQ(compiled(images + "[screenobjects]\nC-5,100,IMAGE0,TopMost,EnterZone,1000,5\n"),
            from_hex("434C5632" "01000000" "01000000" "0A00B1FF4006000764100100010064007069" "6300"));
  EXPECT_EQ(compiled(images + "[mapobjects]\n1000,-20,IMAGE0,TopMost,EnterZone,1000,5\n").substr(12, 10),
            from_hex("0B00E803ECFF00076410"));
}

TEST_F(ObjectCompiler, WithoutObjectImagesCompilesNothingHoweverBadTheObjectLines) {
  EXPECT_EQ(compiled("[mapobjects]\nthis is no object\n[screenobjects]\n0,0,IMAGE9,Nowhere\n"), "none");
  EXPECT_EQ(compiled("OutFile=x.lvz\n"), "none");

  write_file(dir / "zone.ini", "[mapobjects]\nthis is no object\n");
  ini_file ini((dir / "zone.ini").c_str());
  byte_buffer container;
  container.set_size(container_header_size);
  encode_container_header(container.data(), 0);
  compile_objects(container, ini);
  EXPECT_EQ(container.size(), container_header_size);
  EXPECT_EQ(decode_container_header(container.data()).section_count, 0u);
}

TEST_F(ObjectCompiler, AnEmptyObjectImagesSectionIsTheBareHeaderStoredAsTheLastRawSection) {
  EXPECT_EQ(compiled("[objectimages]\n"), object_header("CLV2", 0, 0));

  write_file(dir / "zone.ini", "[ObjectImages]\n");
  ini_file ini((dir / "zone.ini").c_str());
  byte_buffer container;
  container.set_size(container_header_size);
  encode_container_header(container.data(), 0);
  compile_objects(container, ini);
  std::string bytes(reinterpret_cast<const char*>(container.data()), container.size());
  EXPECT_EQ(bytes, container_builder().section("CONT", 12, 0, 12, "", object_header("CLV2", 0, 0)).build());
}

TEST_F(ObjectCompiler, ImagesTakePositionsInOrderOfTheirNumbers) {
  std::string content = compiled(
      "[objectimages]\n"
      "; images of the zone\n"
      "IMAGE7=gfx\\seven.bmp,2,3,50\n"
      "IMAGE3=three.bmp\n"
      "IMAGE05=not an image\n"
      "IMAGE256=not an image\n"
      "IMAGES=not an image\n"
      "IMAGE 4=not an image\n"
      "IMAGE4294967300=not an image\n"
      "image3=the second IMAGE3, ignored\n"
      "Image5 = gfx\\sub\\ship.bmp , 4 , 2 , 0\n"
      "IMAGE9=x.bmp,65538,frames,-1,ignored\n"
      "IMAGE12=\n"
      "[mapobjects]\n"
      "0,0,IMAGE7,BelowAll\n"
      "0,0,image9,BelowAll\n"
      "0,0,IMAGE12,BelowAll\n");
  EXPECT_EQ(content.substr(0, 12), object_header("CLV2", 3, 5));
  EXPECT_EQ(content.substr(12 + 6, 1), "\x02");  // IMAGE7 is the third image defined
  EXPECT_EQ(content.substr(22 + 6, 1), "\x03");
  EXPECT_EQ(content.substr(32 + 6, 1), "\x04");
  EXPECT_EQ(content.substr(42), image_entry_bytes(1, 1, 100, "three.bmp") +
                                    image_entry_bytes(4, 2, 100, "ship.bmp") +
                                    image_entry_bytes(2, 3, 50, "seven.bmp") +
                                    image_entry_bytes(2, 1, 65535, "x.bmp") +  // 16 bits kept
                                    image_entry_bytes(1, 1, 100, ""));
}

TEST_F(ObjectCompiler, CompilesEveryFieldOfAMapLineAndAScreenLine) {
  EXPECT_EQ(record_of(map_line, "100,200,IMAGE3,AfterTiles,ShowAlways,1500,7"),
            object_record_bytes(15, 100, 200, 3, 2, 150));
  EXPECT_EQ(record_of(screen_line, "c-50,B10,image3,topmost,kill,300,2"),
            object_record_bytes(4, 0xFCE1, 162, 3, 7, 0x3000 + 30));
  EXPECT_EQ(record_of(screen_line, "  v7 , +5 , IMAGE1 , AfterChat , ServerControlled , 10 , 32769 , more "),
            object_record_bytes(2, 7 * 16 + 11, 5 * 16, 1, 6, 0x5000 + 1));
  // Map objects drop reference letters; coordinates keep their low 16 bits.
  EXPECT_EQ(record_of(map_line, "C-5,t70000,IMAGE0,BelowAll,EnterArena,20,-1"),
            object_record_bytes(0xFFFF, static_cast<uint16_t>(-5), 70000 & 0xFFFF, 0, 0, 0x2000 + 2));
  // A screen coordinate keeps the low 12 bits of its number.
  EXPECT_EQ(record_of(screen_line, "2048,-2049,IMAGE0,BelowAll"), object_record_bytes(0, 0x8000, 0x7FF0, 0, 0, 0));
}

TEST_F(ObjectCompiler, StoresDisplayTimesInTensUpTo4095AndModesOnlyWithATime) {
  auto time_and_mode = [&](const std::string& mode_and_time) {
    return record_of(screen_line, "0,0,IMAGE0,TopMost," + mode_and_time).substr(8);
  };
  EXPECT_EQ(time_and_mode("Death,50000"), u16le(0x4000 + 4095));
  EXPECT_EQ(time_and_mode("Death,9"), u16le(0x4000));
  EXPECT_EQ(time_and_mode("Death,-10"), u16le(0x4000 + 4095));
  EXPECT_EQ(time_and_mode("Death,12345"), u16le(0x4000 + 1234));
  EXPECT_EQ(time_and_mode("Death,99999999999999"), u16le(0x4000 + 4095));
  EXPECT_EQ(time_and_mode("Death,-99999999999999"), u16le(0x4000 + (-214748364 & 0xFFF)));
  EXPECT_EQ(time_and_mode("Death,70 seconds"), u16le(0x4000 + 7));
  EXPECT_EQ(time_and_mode("Kill,,12"), u16le(0));  // no display time: always shown
  EXPECT_EQ(time_and_mode("Sometimes,"), u16le(0));
  EXPECT_EQ(time_and_mode("Sometimes"), u16le(0));
  EXPECT_EQ(record_of(screen_line, "0,0,IMAGE0,TopMost,Kill,100").substr(0, 2), u16le(0));  // six fields: object 0
}

TEST_F(ObjectCompiler, ReadsReferenceLettersAndNamesInAnyCase) {
  const std::string letters = "+cbsgfetrowv";
  for (size_t code = 0; code < letters.size(); ++code) {
    char lower = letters[code], upper = static_cast<char>(std::toupper(lower));
    std::string line = std::string(1, lower) + "-3," + upper + "4,IMAGE0,aFTERsHIPS,eNTERzONE,10,1";
    EXPECT_EQ(record_of(screen_line, line).substr(2, 4),
              u16le(static_cast<uint16_t>(-3 * 16 + static_cast<int>(code))) + u16le(static_cast<uint16_t>(4 * 16 + code)))
        << line;
  }
}

TEST_F(ObjectCompiler, RefusesMalformedLinesWithTheLineAsRead) {
  const std::string images = "[objectimages]\nIMAGE0=pic\n[screenobjects]\n";
  for (const std::string line : {
           "C+5,0,IMAGE0,TopMost", ",0,IMAGE0,TopMost", "0,,IMAGE0,TopMost", "0,C,IMAGE0,TopMost",
           "x5,0,IMAGE0,TopMost", "5 ,x,IMAGE0,TopMost", "0,0,IMAGE,TopMost", "0,0,IMAGEx1,TopMost",
           "0,0,IMAGE-1,TopMost", "0,0,PICTURE0,TopMost", "0,0, IMAGE 0,TopMost", "0,0,IMAGE0",
           "0,0,IMAGE0,Top Most", "0,0,IMAGE0,TopMost,,100", "0,0,IMAGE0,TopMost,Sometimes,100",
           "0,0,IMAGE300,Nowhere", "File=ship.bmp"}) {
    EXPECT_EQ(failure(images + "  " + line + " \t\n"), syntax_error(line));
    EXPECT_EQ(failure("[mapobjects]\n" + line + "\n" + images), syntax_error(line));
  }
}

TEST_F(ObjectCompiler, RefusesImagesThatAreNotDefinedQuotingThemAsWritten) {
  const std::string images = "[objectimages]\nIMAGE0=pic\nIMAGE2=pic\nIMAGE05=pic\n[mapobjects]\n";
  EXPECT_EQ(failure(images + "0,0,IMAGE300,TopMost\n"),
            "IMAGE300 used but not defined in [objectimages] in line '0,0,IMAGE300,TopMost'\n");
  EXPECT_EQ(failure(images + "0,0,image1,TopMost\n"),
            "image1 used but not defined in [objectimages] in line '0,0,image1,TopMost'\n");
  EXPECT_EQ(failure(images + "0,0,IMAGE5,TopMost\n"),
            "IMAGE5 used but not defined in [objectimages] in line '0,0,IMAGE5,TopMost'\n");
  EXPECT_EQ(failure(images + "0,0,IMAGE99999999999,TopMost\n"),
            "IMAGE99999999999 used but not defined in [objectimages] in line '0,0,IMAGE99999999999,TopMost'\n");
  // The number ends at its first non-digit, and leading zeros do not matter here.
  EXPECT_EQ(failure(images + "0,0,image2b,TopMost\n0,0,IMAGE0002,TopMost\n"), "");
}

TEST_F(ObjectCompiler, StopsAtTheFirstBadLine) {
  EXPECT_EQ(failure("[objectimages]\nIMAGE0=pic\n"
                    "[screenobjects]\n0,0,IMAGE0,Nowhere\n"
                    "[mapobjects]\n0,0,IMAGE0,TopMost\n0,0,IMAGE1,TopMost\n0,0,IMAGE0,Nowhere\n"),
            "IMAGE1 used but not defined in [objectimages] in line '0,0,IMAGE1,TopMost'\n");
}

TEST_F(ObjectCompiler, GroupsRecordsByLayerWithMapObjectsFirst) {
  std::string content = compiled(
      "[objectimages]\nIMAGE0=pic\n"
      "[screenobjects]\n"
      "0,0,IMAGE0,AfterTiles,,,1\n"
      "0,0,IMAGE0,BelowAll,,,2\n"
      "0,0,IMAGE0,AfterTiles,,,3\n"
      "[mapobjects]\n"
      "0,0,IMAGE0,TopMost,,,4\n"
      "0,0,IMAGE0,AfterTiles,,,5\n"
      "0,0,IMAGE0,AfterBackground,,,6\n"
      "0,0,IMAGE0,AfterTiles,,,7\n");
  std::string order;
  for (size_t i = 0; i < 7; ++i) order += std::to_string(content[12 + i * 10] >> 1);  // the object numbers
  EXPECT_EQ(order, "2657134");  // BelowAll, AfterBackground, AfterTiles (map 5, 7, screen 1, 3), TopMost
}

TEST_F(ObjectCompiler, ReadsOnlyTheFirstSectionOfEachName) {
  std::string content = compiled(
      "[objectimages]\nIMAGE0=pic\n"
      "[mapobjects]\n1,1,IMAGE0,TopMost\n"
      "[objectimages]\nIMAGE1=later\n"
      "[mapobjects]\n2,2,IMAGE1,Nowhere\n"
      "[screenobjects]\n3,3,IMAGE0,TopMost\n"
      "[screenobjects]\nbad\n");
  EXPECT_EQ(content, object_header("CLV2", 2, 1) + object_record_bytes(1, 1, 1, 0, 7, 0) +
                         object_record_bytes(0, 48, 48, 0, 7, 0) + image_entry_bytes(1, 1, 100, "pic"));
}

TEST_F(ObjectCompiler, CutsLinesTo255CharactersBeforeSplittingThem) {
  std::string blanks(240, ' ');
  // Cut, the display time is blank: no mode, no time, object 0.
  EXPECT_EQ(record_of(map_line, "1,2,IMAGE0,TopMost,Kill," + blanks + "100,7"), object_record_bytes(1, 1, 2, 0, 7, 0));
  std::string long_line = "1,2,IMAGE0,Nowhere," + std::string(300, 'x');
  EXPECT_EQ(failure("[objectimages]\n[mapobjects]\n" + long_line + "\n"), syntax_error(long_line.substr(0, 255)));
}

TEST_F(ObjectCompiler, CompilesManyObjects) {
  std::string lines;
  const int count = 100000;
  for (int i = 0; i < count; ++i)
    lines += std::to_string(i) + ",0,IMAGE0," + (i % 2 ? "BelowAll" : "TopMost") + ",Kill,100," + std::to_string(i) + "\n";
  std::string content = compiled("[objectimages]\nIMAGE0=pic\n[mapobjects]\n" + lines);
  ASSERT_EQ(content.size(), 12u + count * 10 + 10);
  EXPECT_EQ(content.substr(4, 4), u32le(count));
  EXPECT_EQ(content.substr(12, 10), object_record_bytes(3, 1, 0, 0, 0, 0x3000 + 10));
  EXPECT_EQ(content.substr(12 + (count / 2) * 10, 10), object_record_bytes(1, 0, 0, 0, 7, 0x3000 + 10));
}
