// tarnpack end to end: the real program on descriptions and files written by the test, its
// containers read field by field.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "paths.h"
#include "test_harness.h"

namespace {

class Tarnpack : public ::testing::Test {
 protected:
  scratch_dir dir;

  run_result pack(const std::string& description, const std::string& name = "zone.ini") {
    write_file(dir / name, description);
    return run_program(tarnpack_path(), {name}, dir.path());
  }

  // Packs description, expects success, and returns the sections of out.lvz.
  std::vector<container_section> packed(const std::string& description) {
    run_result result = pack("OutFile=out.lvz\n" + description);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");
    return file_exists(dir / "out.lvz") ? read_container(read_file(dir / "out.lvz"))
                                        : std::vector<container_section>();
  }

  // Expects a failure shown as message, with no output file, and an existing one intact.
  void expect_failure(const std::string& description, const std::string& message) {
    write_file(dir / "out.lvz", "previous container");
    run_result result = pack(description);
    EXPECT_EQ(result.status, 2) << description;
    expect_tarnpack_error(result, message);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(read_file(dir / "out.lvz"), "previous container");
  }

  // Expects packing and checking description alike to fail with message and to leave the
  // folder as it was (but for its subtree unread, which the tests' own file calls may not
  // reach).
  void expect_refused(const std::string& description, const std::string& message,
                      const std::string& unread = "") {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"zone.ini"}, {"--check", "zone.ini"}}) {
      SCOPED_TRACE(args[0] + " " + description);
      write_file(dir / "zone.ini", description);
      auto before = tree_snapshot(dir.path(), unread);
      run_result result = run_program(tarnpack_path(), args, dir.path());
      EXPECT_EQ(result.status, 2);
      expect_tarnpack_error(result, message);
      EXPECT_EQ(tree_snapshot(dir.path(), unread), before);
    }
  }
};

std::string random_bytes(size_t length, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(length, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::vector<std::string> names_of(const std::vector<container_section>& sections) {
  std::vector<std::string> names;
  for (const auto& section : sections) names.push_back(section.name);
  return names;
}

void expect_raw(const container_section& section, const std::string& name, const std::string& content) {
  EXPECT_EQ(section.magic, "CONT");
  EXPECT_EQ(section.name, name);
  EXPECT_EQ(section.full_size, content.size()) << name;
  EXPECT_EQ(section.stored_size, content.size()) << name;
  EXPECT_TRUE(section.data == content) << name;
}

using names = std::vector<std::string>;

}  // namespace

TEST_F(Tarnpack, StoresFiftyBytesRawAndCompressesFiftyOne) {
  std::string fifty(50, 'a'), fifty_one(51, 'a');
  write_file(dir / "fifty.txt", fifty);
  write_file(dir / "fifty_one.txt", fifty_one);
  // Berlin's wall-clock times are stored, with the offset of each file's own date.
  set_modification_time(dir / "fifty.txt", 1000000000 - berlin_summer_offset);
  set_modification_time(dir / "fifty_one.txt", 1234567890 - berlin_winter_offset);

  auto sections = packed("File=fifty.txt\nFile=fifty_one.txt\n");
  EXPECT_EQ(read_file(dir / "out.lvz").substr(0, 8), "CONT" + u32le(2));
  ASSERT_EQ(sections.size(), 2u);
  expect_raw(sections[0], "fifty.txt", fifty);
  EXPECT_EQ(sections[0].time, 1000000000u);

  const container_section& compressed = sections[1];
  EXPECT_EQ(compressed.magic, "CONT");
  EXPECT_EQ(compressed.name, "fifty_one.txt");
  EXPECT_EQ(compressed.time, 1234567890u);
  EXPECT_EQ(compressed.full_size, 51u);
  EXPECT_LT(compressed.stored_size, 51u);
  EXPECT_EQ(compressed.data, zlib_compress(fifty_one));  // zlib's compress, default level
  EXPECT_EQ(zlib_uncompress(compressed.data, 51), fifty_one);
}

TEST_F(Tarnpack, StoresImagesAndIncompressibleBytesRaw) {
  std::string filler(300, 'a');
  std::string gif = "GIF89a" + filler, png = "\x89PNG\r\n\x1a\n" + filler;
  std::string jfif = std::string("\xff\xd8\xff\xe0\x00\x10", 6) + "JFIF" + filler;
  std::string noise = random_bytes(20000, 1), big_noise = random_bytes(1000000, 2);
  write_file(dir / "a.gif", gif);
  write_file(dir / "a.png", png);
  write_file(dir / "a.jpg", jfif);
  write_file(dir / "noise.bin", noise);
  write_file(dir / "big.bin", big_noise);
  write_file(dir / "text.txt", filler);

  auto sections = packed("File=a.gif\nFile=a.png\nFile=a.jpg\nFile=noise.bin\nFile=big.bin\nFile=text.txt\n");
  ASSERT_EQ(sections.size(), 6u);
  expect_raw(sections[0], "a.gif", gif);
  expect_raw(sections[1], "a.png", png);
  expect_raw(sections[2], "a.jpg", jfif);
  expect_raw(sections[3], "noise.bin", noise);
  expect_raw(sections[4], "big.bin", big_noise);
  EXPECT_LT(sections[5].stored_size, 300u);  // the same filler compresses without a header
}

TEST_F(Tarnpack, PacksFileEntriesFirstThenExtractFileEntries) {
  for (const char* name : {"a.bmp", "b.wav", "c.bin", "d.txt"}) write_file(dir / name, name);
  auto sections = packed("ExtractFile=b.wav\nFile=a.bmp\nExtractFile=d.txt\nFile=c.bin\n");
  EXPECT_EQ(names_of(sections), (names{"a.bmp", "c.bin", "b.wav", "d.txt"}));
  expect_raw(sections[2], "b.wav", "b.wav");
}

TEST_F(Tarnpack, KeepsTheFirstOfNamesEqualIgnoringCase) {
  std::filesystem::create_directories(dir / "a");
  std::filesystem::create_directories(dir / "b");
  write_file(dir / "a/Ship.bmp", "first");
  write_file(dir / "b/SHIP.BMP", "second");
  write_file(dir / "b/empty.txt", "");
  write_file(dir / "Empty.TXT", "full");
  auto sections = packed("File=a\\Ship.bmp\nExtractFile=a\\Ship.bmp\nFile=b\\SHIP.BMP\n"
                         "File=Empty.TXT\nFile=b\\empty.txt\n");
  ASSERT_EQ(sections.size(), 2u);
  expect_raw(sections[0], "Ship.bmp", "first");
  expect_raw(sections[1], "Empty.TXT", "full");  // the empty duplicate is skipped like any other

  // A duplicate is still read: it must exist.
  expect_failure("OutFile=out.lvz\nFile=a\\Ship.bmp\nFile=c\\SHIP.BMP\n", "Unable to open c\\SHIP.BMP");
}

TEST_F(Tarnpack, StoresTheNameAfterTheLastSeparator) {
  std::filesystem::create_directories(dir / "gfx/sub");
  write_file(dir / "gfx/sub/back.txt", "b");
  write_file(dir / "gfx/sub/fore.txt", "f");
  std::string absolute = dir / "gfx/sub/back.txt";
  std::replace(absolute.begin(), absolute.end(), '/', '\\');
  std::string entries = "File=gfx\\sub\\back.txt\nFile=gfx/sub/fore.txt\nFile=" + absolute + "\n";
  if (is_path_separator('/')) {
    EXPECT_EQ(names_of(packed(entries)), (names{"back.txt", "fore.txt"}));
  } else {
    // On Windows a forward slash is part of the name, which tarnsplit would refuse.
    expect_failure("OutFile=out.lvz\n" + entries, "Cannot pack gfx/sub/fore.txt: its name cannot be extracted safely");
  }
}

TEST_F(Tarnpack, RefusesNamesThatTarnsplitCannotExtract) {
  write_file(dir / "a.txt", "a");
  std::vector<std::string> refused = {"OUT.INI"};  // the description tarnsplit writes for out.lvz
  // Most of these cannot even be created on Windows.
  if (!runs_on_windows())
    refused.insert(refused.end(), {"aux.bmp", "con.wav", "level:1.txt", "what?.txt", "readme.",
                                   std::string(249, 'd') + ".bmp"});  // kept as "ddd...d."
  for (const std::string& name : refused) {
    write_file(dir / name, "x");
    std::string message = "Cannot pack " + name + ": its name cannot be extracted safely";
    expect_failure("OutFile=out.lvz\nFile=a.txt\nExtractFile=" + name + "\n",
                   message.substr(0, 299));  // a message holds at most 299 characters
  }

  // The description's name is OutFile's file name as the system reads the path.
  std::filesystem::create_directories(dir / "sub");
  write_file(dir / "fz.ini", "x");
  std::vector<std::string> outputs = {"sub/fz.lvz", "sub\\fz.lvz"};
  if (runs_on_windows()) outputs.push_back(dir.path().substr(0, 2) + "fz.lvz");
  for (const std::string& output : outputs) {
    run_result result = pack("OutFile=" + output + "\nFile=a.txt\nFile=fz.ini\n");
    EXPECT_EQ(result.status, 2) << output;
    expect_tarnpack_error(result, "Cannot pack fz.ini: its name cannot be extracted safely");
    EXPECT_FALSE(file_exists(dir / "sub/fz.lvz") || file_exists(dir / "fz.lvz")) << output;
  }
}

TEST_F(Tarnpack, RefusesNamesThatWouldNotComeBackWholeAndKeepsOneOf250Characters) {
  write_file(dir / "a.txt", "a");
  std::filesystem::create_directories(dir / "gfx");
  const std::string stem(246, 'n');  // with ".txt", 250 characters: as long as extraction keeps
  struct row {
    std::string entry, message;
  };
  const std::string too_long = "Cannot pack a name of more than 250 characters, which extraction would cut: ";
  const row rows[] = {
      // Both would be extracted as the same 250 characters, the first file lost. (255: the
      // longest name most file systems hold.)
      {stem + "x.txt", too_long + stem + "x.txt"},
      {"gfx\\" + stem + "xxxxx.txt", too_long + "gfx\\" + stem + "xxxxx.txt"},
      // The description's "File= lead.txt" reads back as "lead.txt".
      {"gfx\\ lead.txt",
       "Cannot pack gfx\\ lead.txt: its name begins with a blank, which its description line would lose"},
  };
  for (const row& r : rows) {
    std::string file = r.entry;
    std::replace(file.begin(), file.end(), '\\', '/');
    write_file(dir / file, "x");
    std::string description = "OutFile=out.lvz\nFile=a.txt\nFile=" + r.entry + "\n";
    std::string message = r.message.substr(0, 299);  // a message holds at most 299 characters
    expect_failure(description, message);
    run_result check = run_program(tarnpack_path(), {"--check", "zone.ini"}, dir.path());
    EXPECT_EQ(check.status, 2) << r.entry;
    expect_tarnpack_error(check, message);
  }

  const std::string longest = stem + ".txt";
  write_file(dir / longest, "the longest name");
  auto sections = packed("File=" + longest + "\n");
  EXPECT_EQ(names_of(sections), names{longest});
  ASSERT_EQ(run_program(tarnsplit_path(), {"out.lvz"}, dir.path()).status, 0);
  EXPECT_EQ(read_file(dir / ("out/" + longest)), "the longest name");
  ASSERT_EQ(run_program(tarnpack_path(), {"out.ini"}, dir / "out").status, 0);
  EXPECT_TRUE(read_file(dir / "out/out.lvz") == read_file(dir / "out.lvz"));
}

// Names and lines of a description reach the terminal or the box with their control bytes
// shown as \xNN, so that none can retitle a terminal or clear its screen.
TEST_F(Tarnpack, ShowsTheControlBytesOfNamesAndLinesAsHex) {
  write_file(dir / "a.txt", "a");
  struct row {
    std::string description, message;
  };
  const row rows[] = {
      {"OutFile=out.lvz\nFile=\x1b]0;pwned\x07\x1b[2J.txt\n",
       "Unable to open \\x1B]0;pwned\\x07\\x1B[2J.txt"},
      {"OutFile=out.lvz\nFile=a.txt\n[objectimages]\nIMAGE0=a.txt\n[mapobjects]\n\x1b[2J,0,IMAGE0,TopMost\n",
       "Syntax error in line '\\x1B[2J,0,IMAGE0,TopMost'"},
      {"OutFile=out.lvz\nFile=a.txt\n[objectimages]\nIMAGE0=a\x7f.txt\n",
       "Cannot pack IMAGE0: its file name holds a control byte"},
  };
  for (const row& r : rows) {
    expect_failure(r.description, r.message);
    run_result check = run_program(tarnpack_path(), {"--check", "zone.ini"}, dir.path());
    EXPECT_EQ(check.status, 2);
    if (!runs_on_windows()) {  // after a warning of the ';' in the first
      EXPECT_EQ(check.err.substr(check.err.find("Error: ")), "Error: " + r.message + "\n");
    }
  }
  if (runs_on_windows()) return;  // no such names there, and the report is in a box

  std::filesystem::create_directories(dir / "sub\x07");
  write_file(dir / "sub\x07/a.txt", "a");
  write_file(dir / "zone.ini", "OutFile=out\x1b[2J.lvz\nFile=a.txt\nFile=sub\x07\\a.txt\n");
  run_result check = run_program(tarnpack_path(), {"--check", "zone.ini"}, dir.path());
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.out, "out\\x1B[2J.lvz: 1 section, 31 bytes\n"
                       "  stored      a.txt  1 bytes\n"
                       "  left out    sub\\x07\\a.txt: an earlier entry (a.txt) has this name\n");
  EXPECT_EQ(check.err,
            "warning: sub\\x07\\a.txt is left out: the earlier a.txt from another folder has its name a.txt\n");
}

TEST_F(Tarnpack, ReadsCrLfDescriptionsAndParameterNamesInAnyCase) {
  write_file(dir / "a.txt", "a");
  write_file(dir / "b.txt", "b");
  run_result result = pack("; zone\r\n\r\noutfile = out.lvz \r\n  FILE= a.txt\t\r\nextractfile =b.txt\r\n[other]\r\nFile=c.txt\r\n");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(names_of(read_container(read_file(dir / "out.lvz"))), (names{"a.txt", "b.txt"}));
}

TEST_F(Tarnpack, SkipsAUtf8ByteOrderMarkAndRefusesUtf16Descriptions) {
  write_file(dir / "a.txt", "a");
  const std::string mark = "\xEF\xBB\xBF";
  for (const std::string& text : {mark + "File=a.txt\r\nOutFile=out.lvz\r\n", mark + "OutFile=out.lvz\r\nFile=a.txt\r\n"}) {
    std::filesystem::remove(dir / "out.lvz");
    run_result result = pack(text);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(names_of(read_container(read_file(dir / "out.lvz"))), names{"a.txt"});
  }
  const std::string text = "OutFile=out.lvz\r\nFile=a.txt\r\n";
  std::string little = "\xFF\xFE", big = "\xFE\xFF";
  for (char c : text) {
    little += std::string{c, '\0'};
    big += std::string{'\0', c};
  }
  for (const std::string& utf16 : {little, big})
    expect_failure(utf16, "Description is UTF-16 text; save it as ANSI or UTF-8: zone.ini");
}

// A description that Notepad saved as UTF-8 names its files in the code page in which the
// Windows programs read names (ü is 0xFC in Windows' Western one); on Linux names are its
// bytes as written.
TEST_F(Tarnpack, ReadsAUtf8DescriptionInTheCodePageOfNames) {
  if (runs_on_windows() && ansi_code_page() != 1252) GTEST_SKIP() << "written for code page 1252";
  const std::string mark = "\xEF\xBB\xBF", u_umlaut = "\xC3\xBC", table = "\xE8\xA1\xA8";
  std::string name = (runs_on_windows() ? "\xFC" : u_umlaut) + ".txt";
  write_file(dir.path() + (runs_on_windows() ? "\\" : "/") + name, "u");
  // Lines that are never read may hold any character.
  run_result result = pack(mark + "OutFile=out.lvz\r\n; " + table + "\r\nAuthor=" + table + "\r\nFile=" +
                           u_umlaut + ".txt\r\n");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(names_of(read_container(read_file(dir / "out.lvz"))), names{name});

  // Windows' Western code page holds no 表: the name is refused, not packed as "?.txt".
  std::string refused = mark + "OutFile=out.lvz\r\nFile=" + table + ".txt\r\n";
  if (runs_on_windows()) {
    expect_failure(refused,
                   "Description line 2 holds a character that the ANSI code page cannot hold: zone.ini");
  } else {
    write_file(dir / (table + ".txt"), "t");
    EXPECT_EQ(pack(refused).status, 0);
    EXPECT_EQ(names_of(read_container(read_file(dir / "out.lvz"))), names{table + ".txt"});
  }
}

// On a Japanese system (code page 932, run so by the test CodePage932) the second byte of
// ソ (83 5C) and 表 (95 5C) is '\\', which is no separator there: both files are packed
// under their names, unpacked into the folder 表, and packed again alike, whether the
// description is in the code page or in UTF-8.
TEST_F(Tarnpack, ReadsDoubleByteNamesWholeInCodePage932) {
  if (ansi_code_page() != 932) GTEST_SKIP() << "needs the Windows programs in code page 932";
  const std::string so = "\x83\x5C", table = "\x95\x5C";
  const std::string so_utf8 = "\xE3\x82\xBD", table_utf8 = "\xE8\xA1\xA8";
  std::filesystem::create_directories(dir / "gfx");
  write_file(dir.path() + "\\gfx\\" + so + ".txt", "so");
  write_file(dir.path() + "\\gfx\\" + table + ".txt", "table");
  auto description = [](const std::string& so_name, const std::string& table_name) {
    return "OutFile=" + table_name + ".lvz\r\nFile=gfx\\" + so_name + ".txt\r\nFile=gfx\\" + table_name +
           ".txt\r\n[objectimages]\r\nIMAGE0=gfx\\" + table_name +
           ".txt\r\n[mapobjects]\r\n1,2,IMAGE0,TopMost\r\n";
  };
  const std::string container_path = dir.path() + "\\" + table + ".lvz";
  std::string first;
  for (const std::string& text : {description(so, table), "\xEF\xBB\xBF" + description(so_utf8, table_utf8)}) {
    run_result packed_zone = pack(text);
    ASSERT_EQ(packed_zone.status, 0);
    std::string container = read_file(container_path);
    if (first.empty()) first = container;
    EXPECT_TRUE(container == first) << "the UTF-8 description packs another container";
  }
  auto sections = read_container(first);
  EXPECT_EQ(names_of(sections), (names{so + ".txt", table + ".txt", ""}));
  ASSERT_EQ(sections.size(), 3u);
  EXPECT_NE(sections[2].data.find(table + ".txt"), std::string::npos);  // IMAGE0's name

  run_result split = run_program(tarnsplit_path(), {table + ".lvz"}, dir.path());
  ASSERT_EQ(split.status, 0) << split.out;
  const std::string folder = dir.path() + "\\" + table + "\\";
  EXPECT_EQ(read_file(folder + so + ".txt"), "so");
  EXPECT_EQ(read_file(folder + table + ".txt"), "table");
  ASSERT_EQ(run_program(tarnpack_path(), {table + ".ini"}, dir.path() + "\\" + table).status, 0);
  EXPECT_TRUE(read_file(folder + table + ".lvz") == first);
}

TEST_F(Tarnpack, ReplacesAnExistingOutputFile) {
  write_file(dir / "a.txt", "a");
  write_file(dir / "out.lvz", std::string(1000, 'x'));
  auto sections = packed("File=a.txt\n");
  EXPECT_EQ(read_file(dir / "out.lvz").size(), 8u + 16 + 6 + 1);
}

TEST_F(Tarnpack, ShowsEachFailureAndWritesNothing) {
  write_file(dir / "a.txt", "a");
  write_file(dir / "empty.txt", "");
  std::filesystem::create_directories(dir / "sub");
  expect_failure("File=a.txt\n", "Ini file: Missing parameter OutFile in <default> section");
  expect_failure("File=a.txt\n[objectimages]\nOutFile=out.lvz\n",
                 "Ini file: Missing parameter OutFile in <default> section");
  expect_failure("OutFile=out.lvz\n", "No data defined");
  expect_failure("OutFile=out.lvz\nFile=a.txt\nFile=missing.txt\n", "Unable to open missing.txt");
  expect_failure("OutFile=out.lvz\nFile=a.txt\nExtractFile=empty.txt\n", "Cannot pack empty file empty.txt");
  expect_failure("OutFile=out.lvz\nFile=sub\n", "Unable to open sub");
  expect_failure("OutFile=out.lvz\nFile=a.txt\nFile=sub\\\n", "Unable to open sub\\");
}

// A path longer than packing reads is refused, never cut: cut, it names another file, here
// one that is there. Packing and checking alike.
TEST_F(Tarnpack, RefusesAPathThatACutWouldChange) {
  const std::string folder(245, 'd');
  std::filesystem::create_directories(dir / folder);
  write_file(dir / "a.txt", "a");
  write_file(dir / (folder + "/notes-old-version.txt"), "the file named");
  write_file(dir / (folder + "/notes-old-ver"), "the file the cut names");
  write_file(dir / (folder + "/zone-backup-f"), "a file the cut OutFile would replace");
  const std::string too_long = "Path too long (over 259 characters): " + folder + "\\";
  struct row {
    std::string description, message;
  };
  const row rows[] = {
      {"OutFile=out.lvz\nFile=" + folder + "\\notes-old-version.txt\n", too_long + "notes-old-ver"},
      {"OutFile=out.lvz\nFile=a.txt\nExtractFile=" + folder + "\\notes-old-version.txt\n",
       too_long + "notes-old-ver"},
      {"OutFile=" + folder + "\\zone-backup-final.lvz\nFile=a.txt\n", too_long + "zone-backup-f"},
      // The value of an image is read to 255 characters: cut within its path, the name changes.
      {"OutFile=out.lvz\nFile=a.txt\n[objectimages]\nIMAGE4=" + std::string(250, 'd') + "\\ship.bmp\n",
       "Cannot pack IMAGE4: its path is too long (a value is read to 255 characters)"},
  };
  // The Windows tests' own file calls stop short of the long folder's files.
  for (const row& r : rows) expect_refused(r.description, r.message, runs_on_windows() ? folder : "");
  // Cut after its path, an image keeps its name.
  auto sections = packed("File=a.txt\n[objectimages]\nIMAGE4=" + std::string(245, 'd') + "\\s.bmp     ,2,2\n");
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_NE(sections[1].data.find(std::string("s.bmp") + '\0'), std::string::npos);
}

TEST_F(Tarnpack, ShowsAnOutputThatCannotBeCreated) {
  write_file(dir / "a.txt", "a");
  for (const char* output : {"nodir\\out.lvz", "nodir/out.lvz"}) {
    write_file(dir / "zone.ini", "OutFile=" + std::string(output) + "\nFile=a.txt\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"zone.ini"}, {"--check", "zone.ini"}}) {
      run_result result = run_program(tarnpack_path(), args, dir.path());
      EXPECT_EQ(result.status, 2) << args[0] << " " << output;
      expect_tarnpack_error(result, "Unable to create " + std::string(output));
    }
  }
  EXPECT_FALSE(file_exists(dir / "nodir"));
}

TEST_F(Tarnpack, RefusesAnOutFileThatIsTheDescriptionOrAFileItPacksHoweverSpelled) {
  write_file(dir / "notes.txt", "notes");
  std::filesystem::create_directories(dir / "sub");
  std::filesystem::create_hard_link(dir / "notes.txt", dir / "linked.txt");
  struct row {
    std::string description, message;
  };
  std::vector<row> rows = {
      {"OutFile=zone.ini\nFile=notes.txt\n", "OutFile zone.ini would replace the description"},
      {"OutFile=notes.txt\nFile=notes.txt\n", "OutFile notes.txt would replace a file it packs"},
      {"OutFile=.\\sub\\..\\notes.txt\nExtractFile=notes.txt\n",
       "OutFile .\\sub\\..\\notes.txt would replace a file it packs"},
      {"OutFile=linked.txt\nFile=notes.txt\n", "OutFile linked.txt would replace a file it packs"},
  };
  if (runs_on_windows()) rows.push_back({"OutFile=NOTES.TXT\nFile=notes.txt\n", "OutFile NOTES.TXT would replace a file it packs"});
  for (const row& r : rows) expect_refused(r.description, r.message);
}

// An OutFile that Windows would open as a device, on every platform, and one where something
// other than a regular file stands: refused before anything is written, and what stands
// there is left as it is. Packing and checking alike.
TEST_F(Tarnpack, RefusesAnOutFileThatIsADeviceOrNoRegularFile) {
  write_file(dir / "a.txt", "a");
  std::filesystem::create_directories(dir / "folder.lvz");
  struct row {
    std::string output, message;
  };
  std::vector<row> rows = {
      {"nul.lvz", "OutFile nul.lvz is a Windows device name"},
      {"NUL", "OutFile NUL is a Windows device name"},
      {"aux.lvz", "OutFile aux.lvz is a Windows device name"},
      {"folder.lvz\\Com1 .lvz", "OutFile folder.lvz\\Com1 .lvz is a Windows device name"},
      {"folder.lvz", "OutFile folder.lvz is not a regular file"},
  };
  if (make_fifo(dir / "pipe.lvz")) rows.push_back({"pipe.lvz", "OutFile pipe.lvz is not a regular file"});
  for (const row& r : rows) expect_refused("OutFile=" + r.output + "\nFile=a.txt\n", r.message);
}

TEST_F(Tarnpack, TakesTheCommandLineVerbatim) {
  write_file(dir / "a.txt", "a");
  write_file(dir / "my zone.ini", "OutFile=out.lvz\nFile=a.txt\n");
  run_result spaced = run_program(tarnpack_path(), {"my", "zone.ini"}, dir.path());
  EXPECT_EQ(spaced.status, 0) << spaced.err;
  EXPECT_TRUE(file_exists(dir / "out.lvz"));

  run_result quoted = run_program(tarnpack_path(), {"\"my zone.ini\""}, dir.path());
  EXPECT_EQ(quoted.status, 2);
  expect_tarnpack_error(quoted, "Unable to open \"my zone.ini\"");

  run_result missing = run_program(tarnpack_path(), {"missing.ini"}, dir.path());
  EXPECT_EQ(missing.status, 2);
  expect_tarnpack_error(missing, "Unable to open missing.ini");

  run_result too_long = run_program(tarnpack_path(), {std::string(255, 'z'), "zone.ini"}, dir.path());
  EXPECT_EQ(too_long.status, 2);
  expect_tarnpack_error(too_long, "Path too long (over 259 characters): " + std::string(255, 'z') + " zon");
}

TEST_F(Tarnpack, PathsAreRelativeToTheCurrentDirectoryNotToTheDescription) {
  std::filesystem::create_directories(dir / "work");
  write_file(dir / "a.txt", "a");
  write_file(dir / "work/zone.ini", "OutFile=out.lvz\nFile=a.txt\n");
  run_result result = run_program(tarnpack_path(), {"work\\zone.ini"}, dir.path());
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(file_exists(dir / "out.lvz"));
  EXPECT_FALSE(file_exists(dir / "work/out.lvz"));
}

TEST_F(Tarnpack, WithoutADescriptionAndNoTerminalItEndsCancelled) {
  run_result result = run_program(tarnpack_path(), {}, dir.path(), "zone.ini\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(list_directory(dir.path()).empty());
}

TEST_F(Tarnpack, PrintsUsageAndVersion) {
  bool printed = !runs_on_windows();  // on Windows they are shown in a message box
  run_result help = run_program(tarnpack_path(), {"--help"}, dir.path());
  EXPECT_EQ(help.status, 0);
  if (printed) {
    EXPECT_EQ(help.out.rfind("Usage: tarnpack [description.ini]\n", 0), 0u) << help.out;
  }
  run_result version = run_program(tarnpack_path(), {"--version"}, dir.path());
  EXPECT_EQ(version.status, 0);
  if (printed) {
    EXPECT_EQ(version.out.rfind("tarnpack ", 0), 0u) << version.out;
  }
  EXPECT_TRUE(list_directory(dir.path()).empty());
}

TEST_F(Tarnpack, RefusesAFileOf4GiBOrMore) {
  write_file(dir / "big.bin", "");
  std::filesystem::resize_file(dir / "big.bin", 4ULL << 30);  // sparse: it takes no room
  expect_failure("OutFile=out.lvz\nFile=big.bin\n", "File too large (4 GiB or more): big.bin");
}

TEST_F(Tarnpack, RoundTripsThroughTarnsplitToTheSameContainer) {
  std::string notes;
  for (int i = 0; i < 300; ++i) notes += "tile " + std::to_string(i % 13) + " of the zone\n";
  struct packed_file {
    std::string path, name, content;
    int64_t time;
  };
  std::vector<packed_file> files = {
      {"notes.txt", "notes.txt", notes, 1000000000},
      {"gfx/ship.gif", "ship.gif", "GIF89a" + std::string(100, 's'), 1100000000},
      {"small.txt", "small.txt", "twenty bytes of text", 1200000000},
      {"noise.bin", "noise.bin", random_bytes(3000, 3), 4000000000LL},
  };
  std::filesystem::create_directories(dir / "gfx");
  for (const auto& file : files) {
    write_file(dir / file.path, file.content);
    set_modification_time(dir / file.path, file.time);
  }
  auto sections = packed("File=notes.txt\nExtractFile=noise.bin\nFile=gfx\\ship.gif\nFile=small.txt\n");
  EXPECT_EQ(names_of(sections), (names{"notes.txt", "ship.gif", "small.txt", "noise.bin"}));
  std::string first = read_file(dir / "out.lvz");

  run_result split = run_program(tarnsplit_path(), {"out.lvz"}, dir.path());
  ASSERT_EQ(split.status, 0) << split.out;
  for (const auto& file : files) {
    EXPECT_TRUE(read_file(dir / ("out/" + file.name)) == file.content) << file.name;
    EXPECT_EQ(modification_time(dir / ("out/" + file.name)), file.time) << file.name;
  }

  run_result repack = run_program(tarnpack_path(), {"out.ini"}, dir / "out");
  ASSERT_EQ(repack.status, 0) << repack.err;
  EXPECT_TRUE(read_file(dir / "out/out.lvz") == first);
}

TEST_F(Tarnpack, PacksAndUnpacksTheSampleZone) {
  std::filesystem::copy(SAMPLES_DIR "/zone", dir.path(), std::filesystem::copy_options::recursive);
  run_result packed_zone = run_program(tarnpack_path(), {"zone.ini"}, dir.path());
  ASSERT_EQ(packed_zone.status, 0) << packed_zone.err;
  EXPECT_EQ(names_of(read_container(read_file(dir / "zone.lvz"))),
            (names{"welcome.txt", "arena.cfg", "banner.gif", "ship.bmp", "explode.bmp", "notes.txt", ""}));
  run_result split = run_program(tarnsplit_path(), {"zone.lvz"}, dir.path());
  ASSERT_EQ(split.status, 0) << split.out;
  for (const char* path : {"welcome.txt", "arena.cfg", "gfx/banner.gif", "gfx/ship.bmp", "gfx/explode.bmp", "notes.txt"})
    EXPECT_EQ(read_file(dir / ("zone/" + std::filesystem::path(path).filename().string())), read_file(dir / path));
}

TEST_F(Tarnpack, SourceDateEpochStoresNoFileTimeLaterThanItsMoment) {
  // In Berlin's zone, where the tests run: 1000000000 is in summer (+2 h), like the epoch
  // 1500000000 and the time 1600000000; 1700000000 is in winter (+1 h).
  write_file(dir / "old.txt", "old");
  set_modification_time(dir / "old.txt", 1000000000);
  write_file(dir / "new.txt", "new");
  struct row {
    const char* setting;  // nullptr: unset
    int64_t fresh;        // new.txt's time
    uint32_t stored;      // new.txt's section's time
    const char* checked;  // what --check says of the clamp
  };
  const row rows[] = {
      {nullptr, 1600000000, 1600000000 + 7200, nullptr},
      {"", 1700000000, 1700000000 + 3600, nullptr},
      {"1500000000", 1600000000, 1500000000 + 7200, "clamps the time of 1 file"},
      {"1500000000", 1700000000, 1500000000 + 7200, "clamps the time of 1 file"},
      {"1600000000", 1600000000, 1600000000 + 7200, "clamps no file's time"},
      // Berlin's clocks went back on 2021-10-31 at 01:00 UTC: a file of 01:30 UTC (02:30 on the
      // clock after) is later than the epoch of 00:45 UTC (02:45 on the clock before).
      {"1635641100", 1635643800, 1635641100 + 7200, "clamps the time of 1 file"},
      {"99999999999999999999", 1700000000, 1700000000 + 3600, "clamps no file's time"},
  };
  std::string clamped;
  for (const row& r : rows) {
    SCOPED_TRACE(r.setting ? r.setting : "unset");
    environment_variable epoch("SOURCE_DATE_EPOCH", r.setting);
    set_modification_time(dir / "new.txt", r.fresh);
    auto sections = packed("File=old.txt\nFile=new.txt\n");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].time, 1000000000u + 7200);
    EXPECT_EQ(sections[1].time, r.stored);
    if (r.setting && std::string(r.setting) == "1500000000") {
      if (clamped.empty()) clamped = read_file(dir / "out.lvz");
      EXPECT_TRUE(read_file(dir / "out.lvz") == clamped) << "a fresher file changed the container";
    }
    run_result check = run_program(tarnpack_path(), {"--check", "zone.ini"}, dir.path());
    EXPECT_EQ(check.status, 0);
    if (!runs_on_windows()) {  // the report's last line, after the sections'
      std::string line = r.checked ? "SOURCE_DATE_EPOCH=" + std::string(r.setting) + " " + r.checked + "\n"
                                   : "";
      EXPECT_EQ(check.out.substr(check.out.rfind(" bytes\n") + 7), line);
    }
  }
  // Refused before any file is read: the missing file goes unmentioned.
  for (const char* bad : {"-1", "+1", " 1", "1 ", "1.5", "1e9", "soon"}) {
    environment_variable epoch("SOURCE_DATE_EPOCH", bad);
    const std::string message = "SOURCE_DATE_EPOCH=\"" + std::string(bad) +
                                "\" is not a number of seconds since 1970 (decimal digits only)";
    expect_failure("OutFile=out.lvz\nFile=missing.txt\n", message);
    run_result check = run_program(tarnpack_path(), {"--check", "zone.ini"}, dir.path());
    EXPECT_EQ(check.status, 2) << bad;
    expect_tarnpack_error(check, message);
  }
}

TEST_F(Tarnpack, EveryNumberOfWorkersWritesTheSameContainerAndShowsTheSameFirstError) {
  // Text that compresses, of sizes that keep the workers out of step: a large file first, so
  // that later ones are loaded ahead of it.
  auto text = [](size_t length, unsigned seed) {
    static const char* const words[] = {"zone ", "tile ", "ship ", "flag ", "wall\n", "gate "};
    std::mt19937 random(seed);
    std::string bytes;
    while (bytes.size() < length) bytes += words[random() % 6];
    return bytes.substr(0, length);
  };
  std::filesystem::create_directories(dir / "a");
  std::filesystem::create_directories(dir / "b");
  std::string files = "File=big.txt\n";
  write_file(dir / "big.txt", text(600000, 0));
  for (unsigned i = 1; i <= 8; ++i) {
    std::string name = "t" + std::to_string(i) + ".txt";
    write_file(dir / name, text(20000 * i, i));
    files += (i % 3 ? "File=" : "ExtractFile=") + name + "\n";
  }
  write_file(dir / "a/Ship.bmp", text(5000, 10));
  write_file(dir / "b/SHIP.BMP", text(7000, 11));
  write_file(dir / "a.gif", "GIF89a" + std::string(300, 'g'));
  write_file(dir / "noise.bin", random_bytes(20000, 4));
  write_file(dir / "small.txt", "twenty bytes of text");
  write_file(dir / "empty.txt", "");
  files += "File=a\\Ship.bmp\nExtractFile=t1.txt\nFile=a.gif\nFile=b\\SHIP.BMP\nFile=noise.bin\n"
           "ExtractFile=small.txt\nFile=t3.txt\n";
  const std::string objects =
      "[objectimages]\nIMAGE0=a\\Ship.bmp\n[mapobjects]\n10,20,IMAGE0,TopMost,Kill,100,1\n";

  std::string one_worker;
  for (const char* jobs : {"1", "2", "3", "8"}) {
    environment_variable setting("TARN_JOBS", jobs);
    std::filesystem::remove(dir / "out.lvz");
    auto sections = packed(files + objects);
    if (one_worker.empty()) {
      one_worker = read_file(dir / "out.lvz");
      EXPECT_EQ(names_of(sections),
                (names{"big.txt", "t1.txt", "t2.txt", "t4.txt", "t5.txt", "t7.txt", "t8.txt",
                       "Ship.bmp", "a.gif", "noise.bin", "t3.txt", "t6.txt", "small.txt", ""}));
      EXPECT_LT(sections[0].stored_size, sections[0].full_size);
      expect_raw(sections[9], "noise.bin", read_file(dir / "noise.bin"));
    } else {
      EXPECT_TRUE(read_file(dir / "out.lvz") == one_worker) << jobs << " workers";
    }

    // The entry that fails first in the description's order is the one shown, whether it
    // fails while its file is read or only when its section is appended.
    expect_failure("OutFile=out.lvz\n" + files + "File=empty.txt\nFile=missing.txt\n" + objects,
                   "Cannot pack empty file empty.txt");
    expect_failure("OutFile=out.lvz\n" + files + "File=missing.txt\nFile=OUT.INI\nFile=empty.txt\n",
                   "Unable to open missing.txt");
  }
}
