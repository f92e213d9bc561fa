// Both platforms agree: the programs built here and the Windows programs (run under wine),
// given the same input, leave byte-identical results.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "test_harness.h"

namespace fs = std::filesystem;

namespace {

// The files under root by relative path, each with its bytes and last-write time.
std::map<std::string, std::pair<std::string, int64_t>> files_under(const std::string& root) {
  std::map<std::string, std::pair<std::string, int64_t>> files;
  if (!is_directory(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), root).generic_string()] = {
          read_file(entry.path().string()), modification_time(entry.path().string())};
  return files;
}

std::string windows_program(const char* name) { return std::string(WINDOWS_PROGRAMS) + "/" + name; }

// Console output as a text-mode read gives it: Windows writes each line end as CR LF.
std::string text_of(const std::string& bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text += bytes[i];
  return text;
}

// An object section of both kinds of object and one image, as the packer lays it out.
std::string object_section() {
  std::string block = "CLV2" + u32le(2) + u32le(1);
  block += u16le(1 | 7 << 1) + u16le(512) + u16le(static_cast<uint16_t>(-40)) + '\0' + '\2' +
           u16le(50 | 1 << 12);  // map object 7, AfterTiles, EnterZone for 500
  block += u16le(3 << 1) + u16le(static_cast<uint16_t>(-40 * 16 + 1)) + u16le(20 * 16 + 2) + '\0' +
           '\7' + u16le(0);  // screen object 3 at C-40, B20, TopMost, ShowAlways
  block += u16le(4) + u16le(2) + u16le(100) + "ship.bmp" + '\0';
  return block;
}

// Mid-January and mid-July 2021, 12:00 UTC.
constexpr int64_t mid_january = 1610712000, mid_july = 1626350400;

// A zone's offsets from UTC in seconds at those two moments, as the time-zone database has
// them, and two clock times (local seconds) of 2021 that its changes of offset skip and
// repeat (0 for a zone of one offset). wine (8.0) gives every zone with summer time 60
// minutes of it, so in Lord Howe's summer of 30 minutes the Windows programs under wine go
// 30 minutes ahead of the database: wine_january says what they store. past is a moment of
// a year whose rules differ from today's and Windows holds, with the database's offset
// there (0: no such moment); today's rules would give it another offset.
struct zone_case {
  const char* zone;
  int32_t january, july, wine_january;
  uint32_t skipped, repeated;
  int64_t past;
  int32_t past_offset;
};
const zone_case zones[] = {
    {"UTC", 0, 0, 0, 0, 0, 0, 0},
    {"Europe/Berlin", 3600, 7200, 3600, 1616898600, 1635647400, 0, 0},  // 03-28 02:30, 10-31 02:30
    {"America/New_York", -18000, -14400, -18000, 1615689000, 1636248600,  // 03-14 02:30, 11-07 01:30
     972907200, -18000},                                                  // 2000-10-30 12:00 UTC
    {"Asia/Kolkata", 19800, 19800, 19800, 0, 0, 0, 0},
    {"Australia/Lord_Howe", 39600, 37800, 41400, 1633227300, 1617500700, 0, 0},  // 10-03 02:15, 04-04 01:45
    {"Pacific/Chatham", 49500, 45900, 49500, 1632626100, 1617506100,  // 09-26 03:15, 04-04 03:15
     953985600, 45900},                                               // 2000-03-25 12:00 UTC
};

class Agreement : public ::testing::Test {
 protected:
  scratch_dir here, windows;

  // Unpacks the same container with both tarnsplits, each in a directory of its own, and
  // requires the same status, the same console text and the same files. Returns the status.
  int expect_same_unpacking(const std::string& container) {
    write_file(here / "zone.lvz", container);
    write_file(windows / "zone.lvz", container);
    run_result native = run_program(tarnsplit_path(), {"zone.lvz"}, here.path());
    run_result emulated =
        run_program(WINDOWS_RUNNER, {windows_program("tarnsplit.exe"), "zone.lvz"}, windows.path());
    EXPECT_EQ(native.status, emulated.status) << native.out << emulated.out << emulated.err;
    EXPECT_EQ(native.out, text_of(emulated.out));
    auto native_files = files_under(here / "zone"), emulated_files = files_under(windows / "zone");
    EXPECT_EQ(names_of(native_files), names_of(emulated_files));
    for (const auto& [name, file] : native_files) {
      EXPECT_TRUE(file.first == emulated_files[name].first) << name << " differs";  // no dump
      if (name != "zone.ini") {  // the description is written now, the files get stored times
        EXPECT_EQ(file.second, emulated_files[name].second) << name;
      }
    }
    return native.status;
  }

  // Gives the files under both directories' folder src the same times, spread over the
  // seasons: the packer stores each file's local time.
  void same_times(const std::string& src) {
    int64_t time = 1000000000;
    for (const auto& [name, file] : files_under(here / src)) {
      set_modification_time(here / (src + "/" + name), time);
      set_modification_time(windows / (src + "/" + name), time);
      time += 40 * 86400 + 3601;
    }
  }

  // Packs description (the files of folder src, the same in both directories) with both
  // tarnpacks in src, and requires the same status and byte-identical containers. Returns
  // the container (empty when none was written).
  std::string expect_same_packing(const std::string& src, const std::string& description) {
    write_file(here / (src + "/zone.ini"), description);
    write_file(windows / (src + "/zone.ini"), description);
    same_times(src);
    run_result native = run_program(tarnpack_path(), {"zone.ini"}, here / src);
    run_result emulated =
        run_program(WINDOWS_RUNNER, {windows_program("tarnpack.exe"), "zone.ini"}, windows / src);
    EXPECT_EQ(native.status, emulated.status) << native.err << emulated.err;
    std::string container = file_exists(here / (src + "/out.lvz")) ? read_file(here / (src + "/out.lvz")) : "";
    std::string other = file_exists(windows / (src + "/out.lvz")) ? read_file(windows / (src + "/out.lvz")) : "";
    EXPECT_TRUE(container == other) << "the containers differ";
    return container;
  }

  // Runs tarnpack or tarnsplit of this machine, or the Windows one under wine.
  static run_result run_on(bool windows_side, const std::string& program, const std::string& arg,
                           const std::string& cwd) {
    if (windows_side)
      return run_program(WINDOWS_RUNNER, {windows_program((program + ".exe").c_str()), arg}, cwd);
    return run_program(program == "tarnpack" ? tarnpack_path() : tarnsplit_path(), {arg}, cwd);
  }

  template <class map>
  static std::vector<std::string> names_of(const map& files) {
    std::vector<std::string> names;
    for (const auto& entry : files) names.push_back(entry.first);
    return names;
  }
};

}  // namespace

TEST_F(Agreement, BothTarnsplitsExtractTheSameFilesAndDescription) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "row " + std::to_string(i % 11) + " of tiles\n";
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7) & 0xFF);
  EXPECT_EQ(0, expect_same_unpacking(container_builder()
                            .compressed("tiles.txt", text, 1234567890)
                            .raw("ship.bmp", binary, 4000000000u)
                            .raw("tiny.txt", "small\r\n", 1)
                            .raw(std::string(300, 'n'), "cut", 1000000000)
                            .raw("", object_section(), 0)
                            .build()));
  EXPECT_TRUE(file_exists(here / "zone/zone.ini"));
}

TEST_F(Agreement, BothTarnsplitsFailAlike) {
  std::string stream = zlib_compress(std::string(1000, 'z'));
  const std::string damaged[] = {
      "CONT" + u32le(0),
      "LVZ!" + u32le(1),
      container_builder().raw("a.txt", "one").build(3),
      container_builder().section("CONT", 999, 1, static_cast<uint32_t>(stream.size()), "a", stream).build(),
      container_builder().raw("kept.txt", "k").raw("..\\escape.txt", "evil").build(),
      container_builder().raw("", "CLV9" + u32le(0) + u32le(0), 0).build(),
  };
  for (const std::string& container : damaged) {
    expect_same_unpacking(container);
    fs::remove_all(here / "zone");
    fs::remove_all(windows / "zone");
  }
}

TEST_F(Agreement, BothTarnsplitsListAndTestAlike) {
  const std::string containers[] = {
      container_builder()
          .compressed("tiles.txt", std::string(3000, 't'), 1616898600)
          .raw("caf\xE9 \"menu\".txt", "x", 4000000000u)
          .raw("../escape", "evil", 1)
          .raw("", object_section(), 0)
          .build(),
      container_builder().raw("a.txt", "one").raw("", "CLV2" + u32le(1) + u32le(0), 0).build(),
  };
  const std::vector<std::string> modes[] = {{"--list"}, {"--list", "--json"}, {"--test"}};
  for (const std::string& container : containers) {
    write_file(here / "zone.lvz", container);
    write_file(windows / "zone.lvz", container);
    for (const auto& mode : modes) {
      SCOPED_TRACE(mode.back());
      std::vector<std::string> args = mode;
      args.push_back("zone.lvz");
      run_result native = run_program(tarnsplit_path(), args, here.path());
      args.insert(args.begin(), windows_program("tarnsplit.exe"));
      run_result emulated = run_program(WINDOWS_RUNNER, args, windows.path());
      EXPECT_NE(native.status, 0);  // an unsafe name, or an object record cut short
      EXPECT_EQ(native.status, emulated.status);
      EXPECT_EQ(native.out, text_of(emulated.out));
    }
  }
  EXPECT_EQ(list_directory(here.path()), std::vector<std::string>{"zone.lvz"});
  EXPECT_EQ(list_directory(windows.path()), std::vector<std::string>{"zone.lvz"});
}

TEST_F(Agreement, BothTarnpacksWriteTheSameContainer) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "row " + std::to_string(i % 11) + " of tiles\n";
  for (const scratch_dir* side : {&here, &windows}) {
    fs::create_directories(*side / "src/gfx");
    write_file(*side / "src/gfx/ship.bmp", std::string(2000, 's') + text);
    write_file(*side / "src/banner.gif", "GIF89a" + text);
    write_file(*side / "src/tiles.txt", text);
    write_file(*side / "src/tiny.txt", "small");
  }
  std::string container = expect_same_packing(
      "src",
      "OutFile=out.lvz\r\nFile=gfx\\ship.bmp\r\nExtractFile=tiny.txt\r\nFile=banner.gif\r\n"
      "File=tiles.txt\r\nFile=.\\tiles.txt\r\n\r\n[objectimages]\r\nIMAGE0=gfx\\ship.bmp,4,2,100\r\n"
      "IMAGE7=banner.gif\r\n\r\n[mapobjects]\r\n512,-40,IMAGE0,AfterTiles,EnterZone,500,7\r\n"
      "[screenobjects]\r\nC-40,B20,image7,TopMost\r\n");
  ASSERT_FALSE(container.empty());
  // And what either packer wrote, both unpackers take apart alike.
  EXPECT_EQ(0, expect_same_unpacking(container));
}

TEST_F(Agreement, BothTarnpacksPackTheSampleAlike) {
  for (const scratch_dir* side : {&here, &windows})
    fs::copy(SAMPLE_DIRECTORY, *side / "src", fs::copy_options::recursive);
  std::string description = read_file(std::string(SAMPLE_DIRECTORY) + "/zone.ini");
  std::string container = expect_same_packing("src", "OutFile=out.lvz\r\n" + description);
  ASSERT_FALSE(container.empty());
  EXPECT_EQ(0, expect_same_unpacking(container));
  EXPECT_TRUE(file_exists(here / "zone/zone.ini"));
}

TEST_F(Agreement, BothTarnpacksRefuseAlike) {
  for (const scratch_dir* side : {&here, &windows}) {
    fs::create_directories(*side / "src");
    write_file(*side / "src/a.txt", "a");
  }
  EXPECT_EQ(expect_same_packing("src", "File=a.txt\n"), "");
  EXPECT_EQ(expect_same_packing("src", "OutFile=out.lvz\n"), "");
  EXPECT_EQ(expect_same_packing("src", "OutFile=out.lvz\nFile=a.txt\nFile=missing.txt\n"), "");
}

// Neither tarnpack, packing or checking, takes an OutFile that Windows opens as a device, nor
// one where a directory, a FIFO or a device node stands (made as root); what stands there is
// left as it is.
TEST_F(Agreement, BothTarnpacksRefuseAnOutFileThatIsADeviceOrNoRegularFile) {
  std::vector<std::string> outputs = {"nul.lvz", "AUX", "folder.lvz", "pipe.lvz"};
  bool nodes = true;
  for (const scratch_dir* side : {&here, &windows}) {
    fs::create_directories(*side / "src/folder.lvz");
    write_file(*side / "src/a.txt", "a");
    ASSERT_TRUE(make_fifo(*side / "src/pipe.lvz"));
    nodes = nodes && mknod((*side / "src/node.lvz").c_str(), S_IFCHR | 0644, makedev(1, 3)) == 0;
  }
  if (nodes) outputs.push_back("node.lvz");
  for (const std::string& output : outputs)
    for (bool windows_side : {false, true})
      for (const char* option : {"-c", ""}) {
        const scratch_dir& side = windows_side ? windows : here;
        SCOPED_TRACE(output + (windows_side ? " on Windows " : " ") + option);
        write_file(side / "src/zone.ini", "OutFile=" + output + "\r\nFile=a.txt\r\n");
        auto before = tree_snapshot(side.path());
        std::vector<std::string> args = {"zone.ini"};
        if (*option) args.insert(args.begin(), option);
        if (windows_side) args.insert(args.begin(), windows_program("tarnpack.exe"));
        run_result result = run_program(windows_side ? WINDOWS_RUNNER : tarnpack_path(), args, side / "src");
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(tree_snapshot(side.path()), before);
      }
  if (!nodes) GTEST_SKIP() << "making a device node needs root";
}

TEST_F(Agreement, OnAFullDiskBothPlatformsKeepEveryFileTheUserHad) {
  // The new container, 400 KB stored as they are, does not fit beside the old one; the
  // extracted big.bmp, 1.2 MB of letters of four kinds, fits only compressed.
  const std::string old_container = container_builder().raw("old.gif", "GIF89a" + std::string(300000, 'o')).build();
  std::mt19937 random(5);
  std::string big(1200000, 'a');
  for (char& c : big) c = static_cast<char>('a' + random() % 4);
  const std::string holding_big = container_builder().raw("small.txt", "small").compressed("big.bmp", big).build();
  const std::string users_file(200000, 'u'), users_description = "OutFile=zone.lvz\r\nFile=mine.txt\r\n";
  std::string unpacked_out[2];
  for (bool windows_side : {false, true}) {
    SCOPED_TRACE(windows_side ? "Windows programs" : "Linux programs");
    small_disk packing(1 << 20), unpacking(1 << 20);
    if (packing.path().empty()) GTEST_SKIP() << packing.why();
    write_file(packing.path() + "/big.gif", "GIF89a" + std::string(400000, 'g'));
    write_file(packing.path() + "/zone.lvz", old_container);
    write_file(packing.path() + "/zone.ini", "OutFile=zone.lvz\r\nFile=big.gif\r\n");
    EXPECT_EQ(run_on(windows_side, "tarnpack", "zone.ini", packing.path()).status, 2);
    EXPECT_TRUE(read_file(packing.path() + "/zone.lvz") == old_container);
    EXPECT_EQ(list_directory(packing.path()), (std::vector<std::string>{"big.gif", "zone.ini", "zone.lvz"}));

    const std::string zone = unpacking.path() + "/zone";
    write_file(unpacking.path() + "/zone.lvz", holding_big);
    fs::create_directory(zone);
    write_file(zone + "/big.bmp", users_file);
    write_file(zone + "/zone.ini", users_description);
    run_result unpacked = run_on(windows_side, "tarnsplit", "zone.lvz", unpacking.path());
    EXPECT_EQ(unpacked.status, 11);
    unpacked_out[windows_side] = text_of(unpacked.out);
    EXPECT_TRUE(read_file(zone + "/big.bmp") == users_file);
    EXPECT_EQ(read_file(zone + "/zone.ini"), users_description);
    EXPECT_EQ(list_directory(zone), (std::vector<std::string>{"big.bmp", "small.txt", "zone.ini"}));
  }
  EXPECT_EQ(unpacked_out[0], unpacked_out[1]);
}

TEST_F(Agreement, PackSplitPackKeepsFileTimesInEveryZoneOnBothPlatforms) {
  struct dated_file {
    std::string name;
    int64_t moment, offset;
  };
  for (const zone_case& zone : zones) {
    SCOPED_TRACE(zone.zone);
    time_zone local(zone.zone);
    std::string containers[2];
    for (bool windows_side : {false, true}) {
      SCOPED_TRACE(windows_side ? "Windows programs" : "Linux programs");
      const scratch_dir& dir = windows_side ? windows : here;
      std::vector<dated_file> files = {
          {"january.txt", mid_january, windows_side ? zone.wine_january : zone.january},
          {"july.txt", mid_july, zone.july}};
      if (zone.past != 0) files.push_back({"past.txt", zone.past, zone.past_offset});
      fs::remove_all(dir / "zone");
      std::string description = "OutFile=zone.lvz\r\n";
      for (const dated_file& file : files) {
        write_file(dir / file.name, file.name);
        set_modification_time(dir / file.name, file.moment);
        description += "File=" + file.name + "\r\n";
      }
      write_file(dir / "zone.ini", description);
      ASSERT_EQ(run_on(windows_side, "tarnpack", "zone.ini", dir.path()).status, 0);
      std::string& container = containers[windows_side];
      container = read_file(dir / "zone.lvz");
      auto sections = read_container(container);
      ASSERT_EQ(sections.size(), files.size());
      for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(sections[i].time, files[i].moment + files[i].offset) << files[i].name;

      ASSERT_EQ(run_on(windows_side, "tarnsplit", "zone.lvz", dir.path()).status, 0);
      for (const dated_file& file : files)
        EXPECT_EQ(modification_time(dir / ("zone/" + file.name)), file.moment) << file.name;
      ASSERT_EQ(run_on(windows_side, "tarnpack", "zone.ini", dir / "zone").status, 0);
      EXPECT_TRUE(read_file(dir / "zone/zone.lvz") == container) << "packed again, the container differs";
    }
    if (zone.wine_january == zone.january) {
      EXPECT_TRUE(containers[0] == containers[1]) << "the platforms differ";
    }
  }
}

TEST_F(Agreement, BothTarnpacksClampFreshFilesToSourceDateEpochAlike) {
  // A zone checked out afresh on each system, its files dated now, packs into the same
  // container on both, in every zone: the last change was in mid-July, and an older file,
  // from mid-June, keeps its time (in June every zone here has July's offset, under wine too).
  const int64_t mid_june = mid_july - 30 * 86400;
  environment_variable epoch("SOURCE_DATE_EPOCH", std::to_string(mid_july).c_str());
  for (const zone_case& zone : zones) {
    SCOPED_TRACE(zone.zone);
    time_zone local(zone.zone);
    std::string containers[2];
    for (bool windows_side : {false, true}) {
      const scratch_dir& dir = windows_side ? windows : here;
      write_file(dir / "fresh.txt", "checked out now");
      write_file(dir / "june.txt", "older than the last change");
      set_modification_time(dir / "june.txt", mid_june);
      write_file(dir / "zone.ini", "OutFile=zone.lvz\r\nFile=fresh.txt\r\nFile=june.txt\r\n");
      ASSERT_EQ(run_on(windows_side, "tarnpack", "zone.ini", dir.path()).status, 0);
      containers[windows_side] = read_file(dir / "zone.lvz");
      auto sections = read_container(containers[windows_side]);
      ASSERT_EQ(sections.size(), 2u);
      EXPECT_EQ(sections[0].time, mid_july + zone.july);
      EXPECT_EQ(sections[1].time, mid_june + zone.july);
    }
    EXPECT_TRUE(containers[0] == containers[1]) << "the platforms differ";
  }
}

TEST_F(Agreement, BothTarnsplitsReadSkippedAndRepeatedClockTimesWithTheSummerOffset) {
  for (const zone_case& zone : zones) {
    if (zone.skipped == 0) continue;
    SCOPED_TRACE(zone.zone);
    time_zone local(zone.zone);
    fs::remove_all(here / "zone");
    fs::remove_all(windows / "zone");
    std::string container = container_builder()
                                .raw("skipped.txt", "s", zone.skipped)
                                .raw("repeated.txt", "r", zone.repeated)
                                .build();
    // Where wine's rules differ from the database (Lord Howe), only this machine's tarnsplit
    // is held to the database's moments.
    if (zone.wine_january == zone.january) {
      EXPECT_EQ(expect_same_unpacking(container), 0);
    } else {
      write_file(here / "zone.lvz", container);
      EXPECT_EQ(run_program(tarnsplit_path(), {"zone.lvz"}, here.path()).status, 0);
    }
    int64_t summer = std::max(zone.january, zone.july);
    EXPECT_EQ(modification_time(here / "zone/skipped.txt"), zone.skipped - summer);
    EXPECT_EQ(modification_time(here / "zone/repeated.txt"), zone.repeated - summer);
  }
}
