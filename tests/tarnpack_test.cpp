// tarnpack end to end: the real program on descriptions and files written by the test, its
// containers read field by field; beside its workers, the number of them TARN_JOBS gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "packing_pipeline.h"
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

TEST_F(Tarnpack, ShowsAnOutputThatCannotBeCreated) {
  write_file(dir / "a.txt", "a");
  run_result result = pack("OutFile=nodir\\out.lvz\nFile=a.txt\n");
  EXPECT_EQ(result.status, 2);
  expect_tarnpack_error(result, "Unable to create nodir\\out.lvz");
  EXPECT_FALSE(file_exists(dir / "nodir"));
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

TEST(PackingWorkers, TarnJobsSetsTheWorkersFromOneToEightAndAnythingElseGivesTheCores) {
  struct {
    const char* setting;
    unsigned cores, workers;
  } cases[] = {
      {nullptr, 2, 2}, {"", 4, 4},   {nullptr, 0, 1}, {nullptr, 64, 8},  {"1", 4, 1},
      {"3", 2, 3},     {"8", 1, 8},  {"12", 2, 8},    {"99999999999999999999", 2, 8},
      {"0", 2, 2},     {"-1", 2, 2}, {"+2", 4, 4},    {" 2", 4, 4},      {"2x", 4, 4},
      {"two", 3, 3},   {"03", 8, 3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(packing_workers(c.setting, c.cores), c.workers)
        << (c.setting ? c.setting : "unset") << ", " << c.cores << " cores";
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
