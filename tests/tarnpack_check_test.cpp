// tarnpack --check and the options before the description's name: the check agrees with
// packing and writes nothing, its report and warnings, and how the command line is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "byte_buffer.h"
#include "check_display.h"
#include "check_report.h"
#include "command_line.h"
#include "container_format.h"
#include "decimal_text.h"
#include "file_packing.h"
#include "native_api.h"
#include "test_harness.h"

namespace {

class TarnpackCheck : public ::testing::Test {
 protected:
  scratch_dir dir;

  run_result run(const std::vector<std::string>& args) {
    return run_program(tarnpack_path(), args, dir.path());
  }
};

std::string first_line(const std::string& text) { return text.substr(0, text.find('\n') + 1); }

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST(TarnpackCommandLine, ReadsOptionsOnlyAtTheStartAndTheRestVerbatim) {
  struct row {
    const char* text;
    tarnpack_action action;
    const char* path_or_option;
  };
  const row rows[] = {
      {"zone.ini", tarnpack_action::pack, "zone.ini"},
      {"", tarnpack_action::pack, ""},
      {" -c zone.ini", tarnpack_action::pack, " -c zone.ini"},  // a blank first: a path, as before
      {"my zone.ini -c", tarnpack_action::pack, "my zone.ini -c"},
      {"-", tarnpack_action::pack, "-"},
      {"-c my  zone.ini ", tarnpack_action::check, "my  zone.ini "},
      {"--check\t zone.ini", tarnpack_action::check, "zone.ini"},
      {"--check", tarnpack_action::check, ""},
      {"-- -c.ini", tarnpack_action::pack, "-c.ini"},
      {"-c -- --help", tarnpack_action::check, "--help"},
      {"--help zone.ini", tarnpack_action::help, nullptr},
      {"-c -V -h", tarnpack_action::help, nullptr},
      {"-V", tarnpack_action::version, nullptr},
      {"-x zone.ini", tarnpack_action::unknown_option, "-x"},
      {"--checks zone.ini", tarnpack_action::unknown_option, "--checks"},
      {"-ch", tarnpack_action::unknown_option, "-ch"},
      {"-c -x.ini", tarnpack_action::unknown_option, "-x.ini"},
  };
  for (const row& r : rows) {
    tarnpack_command command = parse_command_line(r.text);
    EXPECT_EQ(command.action, r.action) << r.text;
    if (r.action == tarnpack_action::unknown_option) {
      EXPECT_EQ(command.option, r.path_or_option) << r.text;
    } else if (r.path_or_option) {
      EXPECT_STREQ(command.path, r.path_or_option) << r.text;
    }
  }
}

TEST(TarnpackCommandLine, TheTextAfterTheProgramsNameKeepsEveryByteFrom0x80Up) {
  const std::pair<const char*, const char*> rows[] = {
      {"tarnpack.exe zone.ini", "zone.ini"},
      {"\"C:\\my tools\\tarnpack.exe\"  \t-c my zone.ini ", "-c my zone.ini "},
      {"tarnpack \xFC" "ber.ini", "\xFC" "ber.ini"},
      {"\"tarnpack\" \x95\\.ini", "\x95\\.ini"},
      {"tarnpack", ""},
  };
  for (const auto& [command_line, text] : rows) EXPECT_STREQ(text_after_program_name(command_line), text);
}

// The box shows the warnings first, then the totals, and never more than fits on a screen:
// about 40 rows of 50 characters, the rest of each counted.
TEST(TarnpackCheckBox, ShowsWarningsFirstAndNoMoreThanFitsOnAScreen) {
  byte_buffer container;
  container.set_size(container_header_size);
  encode_container_header(container.data(), 0);
  check_report check;
  check.container_built("zone.lvz", container);
  message_box_text box = check_box(check);
  EXPECT_EQ(box.text, "zone.lvz: 0 sections, 8 bytes\n");
  EXPECT_EQ(box.style, MB_OK | MB_ICONINFORMATION);

  check.object_changed("1,2,IMAGE0,TopMost,,,40000", "object number 40000 is stored as 7232 (15 bits)");
  box = check_box(check);
  EXPECT_EQ(box.text,
            "warning: line '1,2,IMAGE0,TopMost,,,40000': object number 40000 is stored as 7232 (15 bits)\n\n"
            "zone.lvz: 0 sections, 8 bytes\n");
  EXPECT_EQ(box.style, MB_OK | MB_ICONWARNING);

  // 300 entries of one row and 300 warnings: 13 warnings and a count in 14 rows; the totals
  // and a blank line; 23 entries and a count in the 24 rows left.
  check_report many;
  byte_buffer content;
  content.append("a", 1);
  for (int i = 0; i < 300; ++i) {
    std::string name = "f" + std::to_string(i);
    uint32_t offset = container.size();
    many.entry_packed(name.c_str(), pack_section(container, content, name.c_str(), 1), container, offset);
    many.object_changed(std::to_string(i).c_str(), "changed");
  }
  many.container_built("zone.lvz", container);
  box = check_box(many);
  EXPECT_EQ(std::count(box.text.begin(), box.text.end(), '\n'), 40) << box.text;
  EXPECT_EQ(box.text.find("warning: line '0': changed\n"), 0u);
  EXPECT_NE(box.text.find("warning: line '12': changed\n... and 287 more warnings\n\nzone.lvz: 300 sections"),
            std::string::npos) << box.text;
  EXPECT_TRUE(ends_with(box.text, "  stored      f22  1 bytes\n  ... and 277 more entries\n")) << box.text;

  // Lines that wrap take their rows: 19 entries of two rows and a count, after the totals.
  check_report wide;
  for (int i = 0; i < 300; ++i)
    wide.entry_packed(("folder\\f" + std::to_string(i)).c_str(), entry_outcome::left_out, container, 0);
  wide.container_built("zone.lvz", container);
  box = check_box(wide);
  EXPECT_EQ(std::count(box.text.begin(), box.text.end(), '\n'), 1 + 19 + 1) << box.text;
  EXPECT_TRUE(ends_with(box.text, "  ... and 281 more entries\n")) << box.text;
}

TEST_F(TarnpackCheck, AgreesWithPackingAndWritesNothing) {
  write_file(dir / "a.txt", std::string(300, 'a'));
  write_file(dir / "empty.txt", "");
  const std::string images = "[objectimages]\nIMAGE0=a.txt\n";
  const std::vector<std::string> descriptions = {
      "OutFile=out.lvz\nFile=a.txt\nFile=A.TXT\n",
      "OutFile=out.lvz\n" + images + "[mapobjects]\n1,2,IMAGE0,TopMost,Kill,,70000\n",
      "File=a.txt\n[objectimages]\nOutFile=out.lvz\n",
      "OutFile=out.lvz\n[mapobjects]\nFile=a.txt\n",
      "OutFile=out.lvz\nFile=a.txt ; the letters\n",
      "OutFile=out.lvz\nFile=a.txt\nExtractFile=empty.txt\n",
      "OutFile=out.lvz\nFile=a.txt\n" + images + "[screenobjects]\n1,2,IMAGE0,Top\n",
      "OutFile=out.lvz\nFile=a.txt\n" + images + "[screenobjects]\n1,2,IMAGE1,TopMost\n",
  };
  for (const std::string& description : descriptions) {
    write_file(dir / "zone.ini", description);
    run_result check;
    for (bool existing : {false, true}) {
      std::filesystem::remove(dir / "out.lvz");
      if (existing) write_file(dir / "out.lvz", "previous container");
      auto before = tree_snapshot(dir.path());
      check = run({"--check", "zone.ini"});
      EXPECT_EQ(tree_snapshot(dir.path()), before) << description;
    }
    std::filesystem::remove(dir / "out.lvz");
    run_result packed = run({"zone.ini"});
    EXPECT_EQ(check.status, packed.status) << description;
    if (runs_on_windows()) continue;  // the report and the error are in message boxes
    // The check's warnings come first; the error, when there is one, is packing's own.
    EXPECT_TRUE(ends_with(check.err, packed.err)) << description << check.err;
    if (packed.status == 0) {
      auto sections = read_container(read_file(dir / "out.lvz"));
      EXPECT_EQ(first_line(check.out), "out.lvz: " + std::to_string(sections.size()) + " section" +
                                           (sections.size() == 1 ? "" : "s") + ", " +
                                           std::to_string(read_file(dir / "out.lvz").size()) + " bytes\n");
    } else {
      EXPECT_EQ(check.out, "") << description;
    }
  }
  run_result missing = run({"-c", "missing.ini"});
  EXPECT_EQ(missing.status, 2);
  expect_tarnpack_error(missing, "Unable to open missing.ini");
}

TEST_F(TarnpackCheck, ReportsEachEntryAndWarnsOfWhatPackingAcceptsSilently) {
  const std::string welcome = "welcome to the zone, welcome to the zone, welcome to the zone\n";
  std::filesystem::create_directories(dir / "gfx");
  write_file(dir / "welcome.txt", welcome);
  write_file(dir / "gfx/WELCOME.TXT", welcome);
  write_file(dir / "banner.gif", "GIF89a" + std::string(200, 'b'));
  const std::string long_line = "1,2,IMAGE0,AfterChat,Kill,100,5," + std::string(250, 'x');
  write_file(dir / "zone.ini",
             "OutFile=out.lvz\n"
             "File=welcome.txt\n"
             "File=banner.gif\n"
             "ExtractFile=gfx\\WELCOME.TXT\n"
             "Fle=notes.txt\n"
             "OutFile=other.lvz\n"
             "[objectimages]\n"
             "IMAGE0=banner.gif\n"
             "IMAGE05=a.bmp\n"
             "IMAGE256=a.bmp\n"
             "IMAGE0=again.bmp\n"
             "IMAGE2=gfx\\explode.bmp,4,2,80 ; explosion\n"
             "pictures=3\n"
             "File=stray.txt\n"
             "[mapobjects]\n"
             "70000,0,IMAGE0,TopMost,Kill,,40000\n"
             "0,0,IMAGE2,BelowAll,Kill,50000,1\n"
             "[screenobjects]\n"
             "C3000,B-40,IMAGE0,TopMost,EnterZone,3000,3\n" +
                 long_line + "\n");
  run_result check = run({"-c", "zone.ini"});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_FALSE(file_exists(dir / "out.lvz"));
  if (runs_on_windows()) return;  // in a message box

  ASSERT_EQ(run({"zone.ini"}).status, 0);
  auto sections = read_container(read_file(dir / "out.lvz"));
  ASSERT_EQ(sections.size(), 3u);
  ASSERT_EQ(sections[2].full_size, sections[2].stored_size);  // 87 bytes that do not compress
  EXPECT_EQ(check.out,
            "out.lvz: 3 sections, " + std::to_string(read_file(dir / "out.lvz").size()) + " bytes\n" +
                "  compressed  welcome.txt  62 -> " + std::to_string(sections[0].stored_size) + " bytes (" +
                percent_text(62, sections[0].stored_size) + "% saved)\n" +
                "  stored      banner.gif  206 bytes\n"
                "  left out    gfx\\WELCOME.TXT: an earlier entry (welcome.txt) has this name\n"
                "  stored      object section (2 images, 2 map objects, 2 screen objects)  87 bytes\n");
  const std::string ignored = " in [objectimages] is ignored: ";
  const std::string kill_line = "line '70000,0,IMAGE0,TopMost,Kill,,40000': ";
  const std::vector<std::string> warnings = {
      "line 'File=stray.txt' below [objectimages] is ignored: File counts only before the first [section]",
      "gfx\\WELCOME.TXT is left out: its name WELCOME.TXT differs only in letter case from the earlier "
      "welcome.txt",
      "line 'Fle=notes.txt' is ignored: the head holds only OutFile, File and ExtractFile",
      "line 'OutFile=other.lvz' is ignored: the first OutFile counts",
      "line 'IMAGE2=gfx\\explode.bmp,4,2,80 ; explosion' holds ';': a comment after a value is part "
      "of the value",
      "line 'IMAGE05=a.bmp'" + ignored + "image numbers have no leading zeros",
      "line 'IMAGE256=a.bmp'" + ignored + "image numbers go up to 255",
      "line 'IMAGE0=again.bmp'" + ignored + "an earlier line defines IMAGE0, and the first counts",
      "line 'pictures=3'" + ignored + "it is no image definition (IMAGE0 to IMAGE255)",
      kill_line + "x 70000 is stored as 4464 (map coordinates keep 16 bits)",
      kill_line + "mode Kill becomes ShowAlways without a display time",
      kill_line + "object number 40000 is stored as 7232 (15 bits)",
      "line '0,0,IMAGE2,BelowAll,Kill,50000,1': display time 50000 is stored as 40950 (0 to 40950)",
      "line 'C3000,B-40,IMAGE0,TopMost,EnterZone,3000,3': x 3000 is stored as -1096 (screen offsets "
      "keep -2048 to 2047)",
      "line '" + long_line.substr(0, 255) + "' is cut at 255 characters",
      "IMAGE2's file explode.bmp is not packed in this container",
  };
  std::string expected;
  for (const std::string& warning : warnings) expected += "warning: " + warning + "\n";
  EXPECT_EQ(check.err, expected);
}

// What packing will meet that the check can foresee: an output it cannot create and a
// description it cannot read fail alike; lines and files it passes over are warned of.
TEST_F(TarnpackCheck, ForeseesWhatPackingWillDo) {
  write_file(dir / "a.txt", "a");
  std::filesystem::create_directories(dir / "gfx");
  std::filesystem::create_directories(dir / "sfx");
  write_file(dir / "gfx/boom.wav", "gfx");
  write_file(dir / "sfx/boom.wav", "sfx");
  // UTF-16 saved without a byte-order mark, in both byte orders.
  std::string little, big;
  for (char c : std::string("\r\nOutFile=out.lvz\r\nFile=a.txt\r\n")) {
    little += std::string{c, '\0'};
    big += std::string{'\0', c};
  }
  struct row {
    std::string description;
    int status;
    std::string err;  // of the check: its warnings, or packing's error
  };
  const row rows[] = {
      {"OutFile=\nFile=a.txt\n", 2, "Error: Unable to create file\n"},
      {"OutFile=nodir\\out.lvz\nFile=a.txt\n", 2, "Error: Unable to create nodir\\out.lvz\n"},
      {"OutFile=out.lvz\nFile=a.txt\n" + std::string(1, '\0') + "File=gfx\\boom.wav\n", 0,
       "warning: line 3 holds a NUL byte, where packing stops reading: the lines after it are ignored\n"},
      // Nothing but line ends after the NUL: nothing is lost.
      {"OutFile=out.lvz\r\nFile=a.txt\r\n\r\n\r\n" + std::string(2, '\0') + "\r\n", 0, ""},
      {"OutFile=out.lvz\nFile=gfx\\boom.wav\nFile=sfx\\boom.wav\nFile=gfx\\boom.wav\n", 0,
       "warning: sfx\\boom.wav is left out: the earlier gfx\\boom.wav from another folder has its name "
       "boom.wav\n"},
      {little, 2, "Error: Description is UTF-16 text; save it as ANSI or UTF-8: zone.ini\n"},
      {big, 2, "Error: Description is UTF-16 text; save it as ANSI or UTF-8: zone.ini\n"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.err);
    write_file(dir / "zone.ini", r.description);
    std::filesystem::remove(dir / "out.lvz");
    run_result check = run({"--check", "zone.ini"});
    EXPECT_FALSE(file_exists(dir / "out.lvz"));
    run_result packed = run({"zone.ini"});
    EXPECT_EQ(check.status, r.status);
    EXPECT_EQ(packed.status, r.status);
    if (runs_on_windows()) continue;  // in message boxes
    EXPECT_EQ(check.err, r.err);
    EXPECT_EQ(packed.err, r.status == 0 ? "" : r.err);
  }
}

// A percent is shown one way, in --check, tarnsplit's listing and its description alike: to
// one decimal, a tie going to the even digit.
TEST_F(TarnpackCheck, ShowsThePercentAsTarnsplitDoes) {
  // 400 bytes that zlib stores in 399, saving 0.25%: bytes drawn from an alphabet that
  // Huffman codes make a little shorter, then a run of one letter, sized until it fits.
  std::mt19937 random(7);
  std::string content;
  for (unsigned alphabet = 128; alphabet <= 256 && zlib_compress(content).size() != 399; ++alphabet) {
    std::string noise;
    for (int i = 0; i < 400; ++i) noise += static_cast<char>(random() % alphabet);
    for (size_t run = 0; run < 60 && zlib_compress(content).size() != 399; ++run)
      content = noise.substr(0, 400 - run) + std::string(run, 'z');
  }
  ASSERT_EQ(zlib_compress(content).size(), 399u);
  write_file(dir / "f.bin", content);
  write_file(dir / "zone.ini", "OutFile=out.lvz\nFile=f.bin\n");

  run_result check = run({"--check", "zone.ini"});
  ASSERT_EQ(check.status, 0);
  if (!runs_on_windows()) {  // in a message box
    EXPECT_NE(check.out.find("  compressed  f.bin  400 -> 399 bytes (0.2% saved)\n"), std::string::npos)
        << check.out;
  }
  ASSERT_EQ(run({"zone.ini"}).status, 0);
  run_result listed = run_program(tarnsplit_path(), {"--list", "out.lvz"}, dir.path());
  EXPECT_NE(listed.out.find("       400         399    0.2%  "), std::string::npos) << listed.out;
  ASSERT_EQ(run_program(tarnsplit_path(), {"out.lvz"}, dir.path()).status, 0);
  EXPECT_NE(read_file(dir / "out/out.ini").find("Compression Percent:   0.2%\r\n"), std::string::npos);
}

TEST_F(TarnpackCheck, OptionsComeFirstAndDashDashEndsThem) {
  write_file(dir / "a.txt", "a");
  write_file(dir / "-z.ini", "OutFile=out.lvz\nFile=a.txt\n");

  run_result unknown = run({"-x", "-z.ini"});
  EXPECT_EQ(unknown.status, 2);
  if (!runs_on_windows()) {
    EXPECT_EQ(first_line(unknown.err),
              "Error: Unknown option -x (a description whose name begins with - follows --)\n");
    EXPECT_NE(unknown.err.find("\nUsage: tarnpack [description.ini]\n"), std::string::npos) << unknown.err;
  }
  // Checking without a name asks as packing does: with no terminal to ask on, it is cancelled.
  EXPECT_EQ(run({"--check"}).status, 1);
  EXPECT_EQ(run({"-c", "--", "-z.ini"}).status, 0);
  EXPECT_FALSE(file_exists(dir / "out.lvz"));

  EXPECT_EQ(run({"--", "-z.ini"}).status, 0);
  EXPECT_TRUE(file_exists(dir / "out.lvz"));
}
