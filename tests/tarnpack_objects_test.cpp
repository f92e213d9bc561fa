// tarnpack's object section end to end: the real program compiles descriptions, its
// failures leave no output, and tarnsplit takes the objects apart into a description that
// packs again to the same container.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "test_harness.h"

namespace {

class TarnpackObjects : public ::testing::Test {
 protected:
  scratch_dir dir;

  run_result pack(const std::string& description) {
    write_file(dir / "zone.ini", description);
    return run_program(tarnpack_path(), {"zone.ini"}, dir.path());
  }

  // Packs description, expects success, and returns the sections of zone.lvz.
  std::vector<container_section> packed(const std::string& description) {
    run_result result = pack("OutFile=zone.lvz\n" + description);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    return file_exists(dir / "zone.lvz") ? read_container(read_file(dir / "zone.lvz"))
                                         : std::vector<container_section>();
  }
};

// The lines of text without their carriage returns.
std::string without_cr(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

// The part of a description tarnsplit wrote from "[objectimages]" up to its totals.
std::string object_text(const std::string& description) {
  std::string text = without_cr(description);
  size_t start = text.find("[objectimages]");
  size_t end = text.find("; Bytes Saved");
  return start == std::string::npos || end == std::string::npos ? "" : text.substr(start, end - start);
}

}  // namespace

TEST_F(TarnpackObjects, AppendsTheObjectSectionLastWithoutANameAtTime0) {
  write_file(dir / "pic", "picture");
  auto sections = packed("File=pic\n[objectimages]\nIMAGE0=pic\n[screenobjects]\nC-5,100,IMAGE0,TopMost,EnterZone,1000,5\n");
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0].name, "pic");
  const container_section& objects = sections[1];
  EXPECT_EQ(objects.name, "");
  EXPECT_EQ(objects.time, 0u);
  EXPECT_EQ(objects.full_size, 32u);
  EXPECT_EQ(objects.stored_size, 32u);
  EXPECT_EQ(objects.data, from_hex("434C56320100000001000000" "0A00B1FF400600076410" "0100010064007069" "6300"));
}

TEST_F(TarnpackObjects, CompressesALargeObjectSectionLikeAnyOther) {
  std::string lines;
  for (int i = 0; i < 50; ++i) lines += "10,10,IMAGE0,TopMost,Kill,100,1\n";
  auto sections = packed("[objectimages]\nIMAGE0=pic\n[mapobjects]\n" + lines);
  ASSERT_EQ(sections.size(), 1u);  // objects alone make a container
  EXPECT_EQ(sections[0].full_size, 12u + 50 * 10 + 10);
  EXPECT_LT(sections[0].stored_size, sections[0].full_size);
  std::string content = zlib_uncompress(sections[0].data, sections[0].full_size);
  EXPECT_EQ(content.substr(0, 12), object_header("CLV2", 50, 1));
  EXPECT_EQ(content.substr(12, 10), object_record_bytes(3, 10, 10, 0, 7, 0x3000 + 10));
}

TEST_F(TarnpackObjects, IgnoresObjectLinesWithoutObjectImages) {
  write_file(dir / "a.txt", "a");
  auto sections = packed("File=a.txt\n[mapobjects]\nno object at all\n[screenobjects]\n0,0,IMAGE0,Nowhere\n");
  ASSERT_EQ(sections.size(), 1u);
  EXPECT_EQ(sections[0].name, "a.txt");

  run_result result = pack("OutFile=zone.lvz\n[mapobjects]\n0,0,IMAGE0,TopMost\n");
  expect_tarnpack_error(result, "No data defined");
}

TEST_F(TarnpackObjects, ShowsTheFirstBadLineAndWritesNothing) {
  write_file(dir / "a.txt", "a");
  const std::string head = "OutFile=zone.lvz\nFile=a.txt\n[objectimages]\nIMAGE1=pic\n";
  write_file(dir / "zone.lvz", "previous container");
  run_result bad_line = pack(head + "[mapobjects]\n0,0,IMAGE1,TopMost\n  C+5, 0 ,IMAGE1,TopMost \n0,x,IMAGE1,TopMost\n");
  EXPECT_EQ(bad_line.status, 2);
  expect_tarnpack_error(bad_line, "Syntax error in line 'C+5, 0 ,IMAGE1,TopMost'");

  run_result undefined = pack(head + "[screenobjects]\n0,0,image0,TopMost\n");
  EXPECT_EQ(undefined.status, 2);
  expect_tarnpack_error(undefined, "image0 used but not defined in [objectimages] in line '0,0,image0,TopMost'");
  EXPECT_EQ(read_file(dir / "zone.lvz"), "previous container");
}

// An image whose file name tarnsplit could not write back into a description as it is: the
// run stops there, whether packing or checking.
TEST_F(TarnpackObjects, RefusesImagesWhoseNameNoDescriptionLineCarriesBack) {
  struct row {
    std::string value, message;
  };
  std::vector<row> rows = {
      {"gfx\\ ship.bmp", "Cannot pack IMAGE3: its file name begins or ends with a blank"},
      {"ship\x01.bmp,2", "Cannot pack IMAGE3: its file name holds a control byte"},
      {std::string(248, 'n') + ",0",  // written back as "nnn...,1,1,100": 256 characters
       "Cannot pack IMAGE3: its file name is too long: with its numbers it passes 255 characters"},
  };
  if (runs_on_windows())  // elsewhere '/' separates folders, and ship.bmp is the name
    rows.push_back({"gfx/ship.bmp", "Cannot pack IMAGE3: its file name holds a path separator"});
  write_file(dir / "zone.lvz", "previous container");
  for (const row& r : rows) {
    std::string description = "OutFile=zone.lvz\n[objectimages]\nIMAGE0=ok.bmp\nIMAGE3=" + r.value + "\n";
    run_result packed_run = pack(description);
    EXPECT_EQ(packed_run.status, 2) << r.value;
    expect_tarnpack_error(packed_run, r.message);
    run_result check = run_program(tarnpack_path(), {"--check", "zone.ini"}, dir.path());
    EXPECT_EQ(check.status, 2) << r.value;
    expect_tarnpack_error(check, r.message);
  }
  EXPECT_EQ(read_file(dir / "zone.lvz"), "previous container");
  EXPECT_EQ(packed("[objectimages]\nIMAGE3=" + std::string(247, 'n') + "\n").size(), 1u);
}

// Images given out of order and with directories, objects on every layer, under every mode
// and with every reference letter, in any case: tarnsplit writes them in the packer's
// order and spelling, and its description packs again to the same bytes.
TEST_F(TarnpackObjects, RoundTripsEveryLayerModeAndReferenceThroughTarnsplit) {
  std::filesystem::create_directories(dir / "gfx");
  write_file(dir / "gfx/ship.bmp", "BM" + std::string(300, 's'));
  write_file(dir / "gfx/explode.bmp", "BM" + std::string(20, 'e'));
  write_file(dir / "cursor.gif", "GIF89a" + std::string(80, 'c'));
  set_modification_time(dir / "gfx/ship.bmp", 1000000000);
  set_modification_time(dir / "gfx/explode.bmp", 1100000000);
  set_modification_time(dir / "cursor.gif", 1200000000);

  auto sections = packed(
      "File=gfx\\ship.bmp\nExtractFile=cursor.gif\nFile=gfx\\explode.bmp\n"
      "\n"
      "[screenobjects]\n"
      "c-50,B10,image2,topmost,kill,300,2\n"
      "+5,s-7,IMAGE10,AfterGauges,Death,12345,3\n"
      "G0,F2047,IMAGE200,BelowAll,EnterArena,40950,4\n"
      "e-2048,T1,image2,AFTERCHAT,ServerControlled,10,5\n"
      "R100,O-100,IMAGE10,AfterBackground,EnterZone,990,6\n"
      "W-1,V640,IMAGE200,AfterTiles,ShowAlways,0,7\n"
      "v12,w-12,IMAGE2,AfterWeapons,Sometimes,,8\n"
      "o3,r4,IMAGE2,AfterShips,Kill,20,9\n"
      "9,t9,image10,TopMost,EnterZone,50,32767\n"
      "f1,g2,IMAGE10,BelowAll,Death,60\n"
      "[mapobjects]\n"
      "; map objects drop their reference letters\n"
      "c100,b200,image200,BelowAll,EnterZone,100,3\n"
      "-32768,32767,IMAGE10,TopMost,Kill,1500,2\n"
      "512,512,IMAGE2,AfterShips,ShowAlways,0,1\n"
      "1,2,IMAGE2,AfterWeapons,Death,99999,4\n"
      "3,4,IMAGE2,AfterChat,ServerControlled,-10,5\n"
      "5,6,IMAGE2,AfterGauges,EnterArena,7,6\n"
      "7,8,IMAGE2,AfterTiles,Kill,1000,7\n"
      "9,10,IMAGE2,AfterBackground,Death,2000,8\n"
      "[objectimages]\n"
      "IMAGE200 = cursor.gif , 3 , 1 , 0\n"
      "IMAGE10=gfx\\explode.bmp,4,2,80\n"
      "IMAGE2=gfx\\ship.bmp\n");
  ASSERT_EQ(sections.size(), 4u);
  std::string first = read_file(dir / "zone.lvz");

  run_result split = run_program(tarnsplit_path(), {"zone.lvz"}, dir.path());
  ASSERT_EQ(split.status, 0) << split.out;
  EXPECT_EQ(object_text(read_file(dir / "zone/zone.ini")),
            "[objectimages]\n"
            "IMAGE0=ship.bmp,1,1,100\n"
            "IMAGE1=explode.bmp,4,2,80\n"
            "; Total loop time: 0.800 seconds     Frame time: 0.100 seconds\n"
            "IMAGE2=cursor.gif,3,1,100\n"
            "; Total loop time: 1.000 seconds     Frame time: 0.333 seconds\n"
            "\n"
            "[mapobjects]\n"
            "100,200,IMAGE2,BelowAll,EnterZone,100,3\n"
            "9,10,IMAGE0,AfterBackground,Death,2000,8\n"
            "7,8,IMAGE0,AfterTiles,Kill,1000,7\n"
            "1,2,IMAGE0,AfterWeapons,Death,40950,4\n"
            "512,512,IMAGE0,AfterShips,ShowAlways,0,1\n"
            "5,6,IMAGE0,AfterGauges,EnterArena,0,6\n"
            "3,4,IMAGE0,AfterChat,ServerControlled,40950,5\n"
            "-32768,32767,IMAGE1,TopMost,Kill,1500,2\n"
            "\n"
            "[screenobjects]\n"
            "G0,F2047,IMAGE2,BelowAll,EnterArena,40950,4\n"
            "F1,G2,IMAGE1,BelowAll,Death,60,0\n"
            "R100,O-100,IMAGE1,AfterBackground,EnterZone,990,6\n"
            "W-1,V640,IMAGE2,AfterTiles,ShowAlways,0,7\n"
            "V12,W-12,IMAGE0,AfterWeapons,ShowAlways,0,8\n"
            "O3,R4,IMAGE0,AfterShips,Kill,20,9\n"
            "5,S-7,IMAGE1,AfterGauges,Death,12340,3\n"
            "E-2048,T1,IMAGE0,AfterChat,ServerControlled,10,5\n"
            "C-50,B10,IMAGE0,TopMost,Kill,300,2\n"
            "9,T9,IMAGE1,TopMost,EnterZone,50,32767\n"
            "\n");

  run_result repack = run_program(tarnpack_path(), {"zone.ini"}, dir / "zone");
  ASSERT_EQ(repack.status, 0) << repack.err;
  EXPECT_TRUE(read_file(dir / "zone/zone.lvz") == first);
}

TEST_F(TarnpackObjects, TheSampleZoneKeepsItsObjectsThroughTarnsplit) {
  std::filesystem::copy(SAMPLES_DIR "/zone", dir.path(), std::filesystem::copy_options::recursive);
  run_result packed_zone = run_program(tarnpack_path(), {"zone.ini"}, dir.path());
  ASSERT_EQ(packed_zone.status, 0) << packed_zone.err;
  std::string first = read_file(dir / "zone.lvz");
  run_result split = run_program(tarnsplit_path(), {"zone.lvz"}, dir.path());
  ASSERT_EQ(split.status, 0) << split.out;
  EXPECT_EQ(object_text(read_file(dir / "zone/zone.ini")),
            "[objectimages]\n"
            "IMAGE0=banner.gif,1,1,100\n"
            "IMAGE1=ship.bmp,1,1,100\n"
            "IMAGE2=explode.bmp,4,2,80\n"
            "; Total loop time: 0.800 seconds     Frame time: 0.100 seconds\n"
            "\n"
            "[mapobjects]\n"
            "512,512,IMAGE1,AfterTiles,ShowAlways,0,1\n"
            "600,480,IMAGE2,AfterShips,Kill,1500,2\n"
            "\n"
            "[screenobjects]\n"
            "10,10,IMAGE1,AfterChat,ServerControlled,500,4\n"
            "C-8,B-40,IMAGE0,TopMost,EnterZone,3000,3\n"
            "\n");
  run_result repack = run_program(tarnpack_path(), {"zone.ini"}, dir / "zone");
  ASSERT_EQ(repack.status, 0) << repack.err;
  EXPECT_TRUE(read_file(dir / "zone/zone.lvz") == first);
}
