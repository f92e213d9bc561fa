// The description tarnsplit writes, compared byte for byte with text written out here;
// containers are built in the test, object sections field by field.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "test_harness.h"
#include "unpack_status.h"

namespace {

// The text with every "\n" stored as CR LF, as the description holds it.
std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

const std::string head =
    "; This file was created by Tarnsplit, version 0.02, created Mar 16 2003 15:32:05\n"
    "\n"
    "Outfile=zone.lvz\n"
    "\n";

// The report lines that open every object section, for a section stored raw.
std::string object_report(size_t size) {
  std::string text = std::to_string(size);
  if (text.size() < 7) text.insert(0, 7 - text.size(), ' ');  // "%7d"
  return "\n"
         "; Object Information Compression Info:\n"
         "; FullSize: " + text + "  Compressed Size: " + text + "  Compression Percent:   0.0%\n"
         "\n";
}

class Description : public ::testing::Test {
 protected:
  scratch_dir dir;

  run_result unpack(const std::string& container_bytes) {
    write_file(dir / "zone.lvz", container_bytes);
    return run_program(tarnsplit_path(), {"zone.lvz"}, dir.path());
  }

  std::string description() { return read_file(dir / "zone/zone.ini"); }

  // A run that succeeded silently and wrote exactly the expected description.
  void expect_description(const run_result& result, const std::string& expected) {
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(result.out, "");
    std::string written = description();
    if (written.size() < 20000)
      EXPECT_EQ(written, crlf(expected));
    else  // too long to show
      EXPECT_TRUE(written == crlf(expected));
  }

  // A description from an earlier run, which a run that succeeds replaces.
  void SetUp() override {
    std::filesystem::create_directory(dir / "zone");
    write_file(dir / "zone/zone.ini", earlier_description);
  }

  // A failure with this status, its message and the exit report, leaving the earlier
  // description as it was: no part of a description is ever taken for a whole one.
  void expect_failure(const run_result& result, unpack_status status, const std::string& message) {
    EXPECT_EQ(result.status, static_cast<int>(status));
    EXPECT_TRUE(is_failure_output(result.out, message)) << result.out;
    EXPECT_EQ(description(), earlier_description);
    EXPECT_EQ(list_directory(dir / "zone"), (std::vector<std::string>{"a.txt", "zone.ini"}));
  }

  const std::string earlier_description = "OutFile=zone.lvz\r\nFile=earlier.txt\r\n";
};

// A screen coordinate of a "CLV2" block: offset * 16 + reference.
uint16_t screen(int offset, int reference) { return static_cast<uint16_t>(offset * 16 + reference); }

// The "CLV2" block of the main golden test: five objects, map and screen alternating, and
// three images. Layers: 7 TopMost, 0 BelowAll, 6 AfterChat, 3 AfterWeapons; modes: 1
// EnterZone, 0 ShowAlways, 4 Death, 5 ServerControlled.
const std::string clv2_block =
    object_header("CLV2", 5, 3) +
    object_record_bytes(5 * 2, screen(-5, 1), screen(100, 0), 0, 7, 0x1000 | 100) +
    object_record_bytes(5 * 2 + 1, 1000, static_cast<uint16_t>(-20), 0, 7, 0x1000 | 100) +
    object_record_bytes(0, screen(320, 0), screen(-1, 11), 1, 0, 0) +
    object_record_bytes(32767 * 2, screen(2, 13), screen(0, 1), 2, 6, 0x4000 | 4095) +
    object_record_bytes(1 * 2 + 1, 0x8000, 0x7FFF, 200, 3, 0x5000 | 1) +
    image_entry_bytes(1, 1, 100, "ship.bmp") +     // one frame, one second: no comment
    image_entry_bytes(2, 1, 100, "explode.bmp") +  // loop 1.000, frame 0.500
    image_entry_bytes(4, 5, 5, "tiny.png");        // loop 0.050, frame just below 0.0025
// The same block as zlib's default level compresses it (103 bytes).
const std::string clv2_block_stream = from_hex(
    "789c73f60933626560606006622e868dff1dd818d85304b8195e30bff90f620185457eff670452fffeeb3230"
    "3230b1fdf707aa6df85f7f82993180112892c2509c9159a097945bc0c004e6a65614e4e4a7a4824558185881"
    "b02433af52af202f9d0100a4df1b35");

}  // namespace

TEST_F(Description, OfTwoFilesWithoutObjects) {
  ASSERT_TRUE(zlib_uncompress(three_thousand_x_stream(), 3000) == three_thousand_x());
  run_result result = unpack(container_builder()
                                 .raw("a.txt", "hello\n")
                                 .section("CONT", 3000, 1234567890, 26, "tiles.txt", three_thousand_x_stream())
                                 .build());
  expect_description(result, head +
      "File=a.txt\n"
      ";\t\t\tCompression Info: FullSize:       6  Compressed Size:       6   Compression Percent:   0.0%\n"
      "File=tiles.txt\n"
      ";\t\t\tCompression Info: FullSize:    3000  Compressed Size:      26   Compression Percent:  99.1%\n"
      "; Bytes Saved in Compression: 2,974\n"
      "; File Compression Percent:   98.9%\n"
      "\n");
}

TEST_F(Description, OfAVersion2ObjectSection) {
  ASSERT_EQ(zlib_uncompress(clv2_block_stream, clv2_block.size()), clv2_block);
  run_result result = unpack(container_builder()
                                 .raw("ship.bmp", "BM")
                                 .section("CONT", 110, 0, 103, "", clv2_block_stream)
                                 .build());
  // 7 bytes of 112 saved is 6.25%, an exact tie: rounded to even.
  expect_description(result, head +
      "File=ship.bmp\n"
      ";\t\t\tCompression Info: FullSize:       2  Compressed Size:       2   Compression Percent:   0.0%\n"
      "\n"
      "; Object Information Compression Info:\n"
      "; FullSize:     110  Compressed Size:     103  Compression Percent:   6.4%\n"
      "\n"
      "[objectimages]\n"
      "IMAGE0=ship.bmp,1,1,100\n"
      "IMAGE1=explode.bmp,2,1,100\n"
      "; Total loop time: 1.000 seconds     Frame time: 0.500 seconds\n"
      "IMAGE2=tiny.png,4,5,5\n"
      "; Total loop time: 0.050 seconds     Frame time: 0.002 seconds\n"
      "\n"
      "[mapobjects]\n"
      "1000,-20,IMAGE0,TopMost,EnterZone,1000,5\n"
      "-32768,32767,IMAGE200,AfterWeapons,ServerControlled,10,1\n"
      "\n"
      "[screenobjects]\n"
      "C-5,100,IMAGE0,TopMost,EnterZone,1000,5\n"
      "320,V-1,IMAGE1,BelowAll,ShowAlways,0,0\n"
      "{Unknown 13}2,C0,IMAGE2,AfterChat,Death,40950,32767\n"
      "\n"
      "; Bytes Saved in Compression: 7\n"
      "; File Compression Percent:   6.2%\n"
      "\n");
}

TEST_F(Description, OfAVersion1ObjectSectionFollowedByAFile) {
  std::string block = object_header("CLV1", 5, 0) +  // objects but no images
                      object_record_bytes(1 * 2, 20000, 20000, 0, 0, 0) +
                      object_record_bytes(2 * 2, 25000, 15000, 1, 2, 0x2000 | 50) +
                      object_record_bytes(3 * 2 + 1, 20000, 1000, 0, 4, 0x3000 | 7) +
                      object_record_bytes(4 * 2, 25001, static_cast<uint16_t>(-5), 0, 5, 0) +
                      object_record_bytes(5 * 2, 14999, 19990, 0, 1, 0);
  run_result result = unpack(container_builder().objects(block).raw("late.txt", "late").build());
  expect_description(result, head +
      "\n"
      "; Object Information Compression Info:\n"
      "; FullSize:      62  Compressed Size:      62  Compression Percent:   0.0%\n"
      "\n"
      "[mapobjects]\n"
      "20000,1000,IMAGE0,AfterShips,Kill,70,3\n"
      "\n"
      "[screenobjects]\n"
      "C,C,IMAGE0,BelowAll,ShowAlways,0,1\n"
      "C+5000,C-5000,IMAGE1,AfterTiles,EnterArena,500,2\n"
      "25001,-5,IMAGE0,AfterGauges,ShowAlways,0,4\n"
      "14999,C-10,IMAGE0,AfterBackground,ShowAlways,0,5\n"
      "\n"
      "File=late.txt\n"
      ";\t\t\tCompression Info: FullSize:       4  Compressed Size:       4   Compression Percent:   0.0%\n"
      "; Bytes Saved in Compression: 0\n"
      "; File Compression Percent:   0.0%\n"
      "\n");
}

TEST_F(Description, OfAnEmptyObjectSectionHasOnlyItsReport) {
  run_result result = unpack(container_builder().objects(object_header("CLV2", 0, 0)).build());
  expect_description(result, head + object_report(12) +
      "; Bytes Saved in Compression: 0\n"
      "; File Compression Percent:   0.0%\n"
      "\n");
}

TEST_F(Description, NamesCodesOutsideTheTablesUnknownAndSurvivesZeroFrames) {
  std::string block = object_header("CLV2", 3, 3) +
                      object_record_bytes(1, 1, 2, 0, 8, 0x6000) +
                      object_record_bytes(1, 1, 2, 0, 255, 0xF000) +
                      object_record_bytes(0, screen(-2048, 15), screen(2047, 12), 0, 0, 0) +
                      image_entry_bytes(0, 1, 100, "zero.bmp") +
                      image_entry_bytes(3, 0, 7, "flat.bmp") +
                      image_entry_bytes(0, 0, 0, "none.bmp");
  run_result result = unpack(container_builder().objects(block).build());
  expect_description(result, head + object_report(block.size()) +
      "[objectimages]\n"
      "IMAGE0=zero.bmp,0,1,100\n"
      "; Total loop time: 1.000 seconds     Frame time: inf seconds\n"
      "IMAGE1=flat.bmp,3,0,7\n"
      "; Total loop time: 0.070 seconds     Frame time: inf seconds\n"
      "IMAGE2=none.bmp,0,0,0\n"
      "; Total loop time: 0.000 seconds     Frame time: nan seconds\n"
      "\n"
      "[mapobjects]\n"
      "1,2,IMAGE0,{Unknown 8},{Unknown 6},0,0\n"
      "1,2,IMAGE0,{Unknown 255},{Unknown 15},0,0\n"
      "\n"
      "[screenobjects]\n"
      "{Unknown 15}-2048,{Unknown 12}2047,IMAGE0,BelowAll,ShowAlways,0,0\n"
      "\n"
      "; Bytes Saved in Compression: 0\n"
      "; File Compression Percent:   0.0%\n"
      "\n");
}

TEST_F(Description, KeepsTheOrderOfManyObjectsInLinearTime) {
  const int count = 200000;  // with a quadratic table this takes minutes
  std::string block = object_header("CLV2", count, 0);
  std::string map_lines = "[mapobjects]\n", screen_lines = "[screenobjects]\n";
  for (int id = 0; id < count; ++id) {
    bool is_map = id % 3 == 0;
    uint16_t seven = is_map ? 7 : screen(7, 0);
    block += object_record_bytes(static_cast<uint16_t>((id % 32768) * 2 + is_map), seven, seven, 0, 0, 0);
    std::string line = "7,7,IMAGE0,BelowAll,ShowAlways,0," + std::to_string(id % 32768) + "\n";
    (is_map ? map_lines : screen_lines) += line;
  }
  auto start = std::chrono::steady_clock::now();
  run_result result = unpack(container_builder().objects(block).build());
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 20.0);
  expect_description(result, head + object_report(block.size()) + map_lines + "\n" + screen_lines + "\n"
      "; Bytes Saved in Compression: 0\n"
      "; File Compression Percent:   0.0%\n"
      "\n");
}

// ---- Failures: the message, the exit report, and the earlier description kept ----

TEST_F(Description, Status12ForAnObjectSectionShorterThanItsHeader) {
  std::string block = "CLV2" + u32le(0) + "abc";
  expect_failure(unpack(container_builder().raw("a.txt", "a").objects(block).build()),
                 unpack_status::description_not_written, "Could not load object information header\n");
}

TEST_F(Description, Status13ForAnUnknownMagic) {
  std::string block = object_header("CLV3", 0, 0);
  expect_failure(unpack(container_builder().raw("a.txt", "a").objects(block).build()),
                 unpack_status::objects_invalid, "Object header is invalid\n");
}

TEST_F(Description, Status13ForAnObjectRecordCutShort) {
  std::string two_records = object_record_bytes(1, 1, 1, 0, 0, 0) + object_record_bytes(0, 1, 1, 0, 0, 0);
  for (uint32_t declared : {3u, 0xFFFFFFFFu}) {
    std::string block = object_header("CLV2", declared, 1) + two_records + "12345";
    expect_failure(unpack(container_builder().raw("a.txt", "a").objects(block).build()),
                   unpack_status::objects_invalid, "Cannot access Object number 2\n");
  }
}

TEST_F(Description, Status14ForAnImageEntryCutShort) {
  std::string records = object_record_bytes(1, 1, 1, 0, 0, 0);
  std::string first = image_entry_bytes(2, 2, 50, "first.bmp");
  const std::string second_cut[] = {
      std::string("\x01\x00\x01", 3),                      // the head cut short
      std::string("\x01\x00\x01\x00\x64\x00", 6) + "name",  // a name without its NUL
      std::string("\x01\x00\x01\x00\x64\x00", 6),            // no name at all
  };
  for (const std::string& cut : second_cut) {
    std::string block = object_header("CLV2", 1, 2) + records + first + cut;
    expect_failure(unpack(container_builder().raw("a.txt", "a").objects(block).build()),
                   unpack_status::image_entry_invalid, "Cannot access Image number 1\n");
  }
}

// An image name that its line cannot carry back to tarnpack as it is, which would make the
// description say more or other than the container: refused before its line is written, by
// extraction, --test and --list alike. The longest name that fits comes back whole.
TEST_F(Description, Status14ForAnImageNameThatNoLineCarriesBack) {
  struct row {
    std::string name;
    uint16_t numbers;  // x_frames, y_frames and animation_time
    std::string fault;
  };
  const row rows[] = {
      {"a.gif\r\nIMAGE1=x,b.gif\r\n[mapobjects]\r\n1,1,IMAGE0,TopMost,Kill,100,0", 100,
       "holds a control byte"},
      {"tab\there.gif", 100, "holds a control byte"},
      {"del\x7F.gif", 100, "holds a control byte"},
      {"a,b.gif", 100, "holds a comma"},
      {" lead.gif", 100, "begins or ends with a blank"},
      {"trail.gif ", 100, "begins or ends with a blank"},
      {"gfx\\a.gif", 100, "holds a path separator"},
      {"gfx/a.gif", 100, "holds a path separator"},
      // The value "name,100,100,100" passes the 255 characters that tarnpack reads.
      {std::string(244, 'n'), 100, "is too long: with its numbers it passes 255 characters"},
      {std::string(238, 'n'), 65535, "is too long: with its numbers it passes 255 characters"},
  };
  const std::string records = object_record_bytes(1, 1, 1, 0, 7, 0x1000 | 10);
  const std::string first = image_entry_bytes(1, 1, 100, "first.bmp");
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string block = object_header("CLV2", 1, 2) + records + first +
                        image_entry_bytes(r.numbers, r.numbers, r.numbers, r.name);
    std::string container = container_builder().raw("a.txt", "a").objects(block).build();
    std::string message = "Cannot describe Image number 1: its name " + r.fault + "\n";
    expect_failure(unpack(container), unpack_status::image_entry_invalid, message);
    for (const char* mode : {"--test", "--list"}) {
      run_result result = run_program(tarnsplit_path(), {mode, "zone.lvz"}, dir.path());
      EXPECT_EQ(result.status, static_cast<int>(unpack_status::image_entry_invalid)) << mode;
      EXPECT_NE(result.out.find(message), std::string::npos) << mode << result.out;
    }
  }

  // 243 and 237 characters: the value fills the 255 exactly, and packs again to the same section.
  for (const row& r : {row{std::string(243, 'n'), 100, ""}, row{std::string(237, 'n'), 65535, ""}}) {
    std::string block =
        object_header("CLV2", 1, 1) + records + image_entry_bytes(r.numbers, r.numbers, r.numbers, r.name);
    ASSERT_EQ(unpack(container_builder().objects(block).build()).status, 0);
    ASSERT_EQ(run_program(tarnpack_path(), {"zone.ini"}, dir / "zone").status, 0);
    auto sections = read_container(read_file(dir / "zone/zone.lvz"));
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_TRUE(zlib_uncompress(sections[0].data, sections[0].full_size) == block);
  }
}
