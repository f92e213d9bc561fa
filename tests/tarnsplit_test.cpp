// tarnsplit end to end: the real program on containers written by the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "test_harness.h"
#include "unpack_status.h"

namespace {

class Tarnsplit : public ::testing::Test {
 protected:
  scratch_dir dir;

  run_result unpack(const std::string& container_bytes, const std::string& name = "zone.lvz") {
    write_file(dir / name, container_bytes);
    return run_program(tarnsplit_path(), {name}, dir.path());
  }

  // Expects a failure with this status whose output is message and the exit report.
  void expect_failure(const run_result& result, unpack_status status, const std::string& message) {
    EXPECT_EQ(result.status, static_cast<int>(status));
    EXPECT_TRUE(is_failure_output(result.out, message)) << result.out;
  }

  // Runs a shell command line (for resource limits) with tarnsplit as $0. POSIX only: the
  // tests that need it skip themselves on Windows.
  run_result unpack_limited(const std::string& limits, const std::string& name) {
    return run_program("/bin/sh", {"-c", limits + "; exec \"$0\" \"$1\"", tarnsplit_path(), name},
                       dir.path());
  }
};

const std::string compressible = [] {
  std::string text;
  for (int i = 0; i < 400; ++i) text += "level zone tile " + std::to_string(i % 7) + "\n";
  return text;
}();

}  // namespace

TEST_F(Tarnsplit, ExtractsRawAndCompressedSectionsWithTheirTimes) {
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  run_result result = unpack(container_builder()
                                 .raw("a.txt", "hi\n", 1000000000)
                                 .compressed("tiles.txt", compressible, 1234567890)
                                 .raw("bytes.bin", binary, 4000000000u)
                                 .build());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(read_file(dir / "zone/a.txt"), "hi\n");
  EXPECT_EQ(read_file(dir / "zone/tiles.txt"), compressible);
  EXPECT_EQ(read_file(dir / "zone/bytes.bin"), binary);
  // Stored times are Berlin's wall-clock times: summer time in September and October (2001,
  // 2096), winter time in February (2009).
  EXPECT_EQ(modification_time(dir / "zone/a.txt"), 1000000000 - berlin_summer_offset);
  EXPECT_EQ(modification_time(dir / "zone/tiles.txt"), 1234567890 - berlin_winter_offset);
  EXPECT_EQ(modification_time(dir / "zone/bytes.bin"), 4000000000LL - berlin_summer_offset);
  EXPECT_EQ(list_directory(dir / "zone"),
            (std::vector<std::string>{"a.txt", "bytes.bin", "tiles.txt", "zone.ini"}));
  std::string description = read_file(dir / "zone/zone.ini");
  EXPECT_EQ(description.substr(0, 104),
            "; This file was created by Tarnsplit, version 0.02, created Mar 16 2003 15:32:05\r\n"
            "\r\nOutfile=zone.lvz\r\n\r\n");
}

TEST_F(Tarnsplit, ReadsAClockTimeThatSummerTimeSkipsOrRepeatsWithTheSummerOffset) {
  // Berlin's clocks went from 02:00 to 03:00 on 2021-03-28 and from 03:00 back to 02:00 on
  // 2021-10-31. The ends of the stored range get their moments too.
  struct stamped {
    std::string name;
    uint32_t stored;
    int64_t moment;
  };
  const stamped files[] = {
      {"skipped.txt", 1616898600, 1616898600 - berlin_summer_offset},   // 02:30: 01:30 on the clock
      {"repeated.txt", 1635647400, 1635647400 - berlin_summer_offset},  // 02:30: the first one
      {"first.txt", 0, -berlin_winter_offset},
      {"last.txt", 0xFFFFFFFF, 0xFFFFFFFFLL - berlin_winter_offset},
  };
  container_builder container;
  for (const stamped& file : files) container.raw(file.name, "x", file.stored);
  EXPECT_EQ(unpack(container.build()).status, 0);
  for (const stamped& file : files)
    EXPECT_EQ(modification_time(dir / ("zone/" + file.name)), file.moment) << file.name;
}

TEST_F(Tarnsplit, ReplacesFilesInAnExistingDirectoryAndKeepsTheLastOfOneName) {
  std::filesystem::create_directory(dir / "zone");
  write_file(dir / "zone/a.txt", "old content that is longer");
  run_result result =
      unpack(container_builder().raw("a.txt", "first", 100).raw("A.txt", "second", 200).build());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(read_file(dir / "zone/A.txt"), "second");  // the same file where case is ignored
}

TEST_F(Tarnsplit, CutsLongNamesTo250Characters) {
  std::string name(300, 'n');
  EXPECT_EQ(unpack(container_builder().raw(name, "x").build()).status, 0);
  EXPECT_EQ(read_file(dir / ("zone/" + std::string(250, 'n'))), "x");
}

TEST_F(Tarnsplit, IgnoresBytesAfterTheLastSection) {
  EXPECT_EQ(unpack(container_builder().raw("a", "1").bytes("trailing garbage").build()).status, 0);
  EXPECT_EQ(read_file(dir / "zone/a"), "1");
}

TEST_F(Tarnsplit, ReportsAContainerThatCannotBeOpened) {
  run_result result = run_program(tarnsplit_path(), {"missing.lvz"}, dir.path());
  expect_failure(result, unpack_status::container_not_opened,
                 "Could not open file: " + (dir / "missing.lvz") + "\nExe's location: " + tarnsplit_path() +
                     "\nGetLastError(): 2\n");
}

TEST_F(Tarnsplit, AnEmptyAnswerAtThePromptNamesTheCurrentDirectory) {
  for (const char* answer : {"\n", ""}) {
    run_result result = run_program(tarnsplit_path(), {}, dir.path(), answer);
    expect_failure(result, unpack_status::container_not_opened,
                   "Please type in the name of the .lvz: Could not open file: " + dir.path() +
                       "\nExe's location: " + tarnsplit_path() + "\nGetLastError(): 5\n");
  }
}

TEST_F(Tarnsplit, PutsTheOutputOfATypedNameNextToTheProgram) {
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::create_directories(dir / "work/sub");
  std::filesystem::copy_file(tarnsplit_path(), dir / "bin/tarnsplit");
  write_file(dir / "work/sub/zone.lvz", container_builder().raw("a.txt", "typed").build());

  run_result missing = run_program(dir / "bin/tarnsplit", {}, dir / "work", "sub/zone.lvz\n");
  expect_failure(missing, unpack_status::directory_not_created,
                 "Please type in the name of the .lvz: Could not create output directory.\n");

  std::filesystem::create_directories(dir / "bin/sub");
  run_result made = run_program(dir / "bin/tarnsplit", {}, dir / "work", "sub\\zone.lvz\n");
  EXPECT_EQ(made.status, 0) << made.out;
  EXPECT_EQ(read_file(dir / "bin/sub/zone/a.txt"), "typed");
  EXPECT_TRUE(file_exists(dir / "bin/sub/zone/zone.ini"));
}

TEST_F(Tarnsplit, TakesATypedNameWithACrLfLineEndAndDotsInItsDirectories) {
  std::filesystem::create_directories(dir / "bin/v1.2");
  std::filesystem::create_directories(dir / "work/v1.2");
  std::filesystem::copy_file(tarnsplit_path(), dir / "bin/tarnsplit");
  write_file(dir / "work/v1.2/zone", container_builder().raw("a.txt", "typed").build());
  run_result result = run_program(dir / "bin/tarnsplit", {}, dir / "work", "v1.2\\zone\r\n");
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(read_file(dir / "bin/v1.2/zone/a.txt"), "typed");
  EXPECT_TRUE(file_exists(dir / "bin/v1.2/zone/zone.ini"));
  EXPECT_EQ(list_directory(dir / "bin"), (std::vector<std::string>{"tarnsplit", "v1.2"}));
}

// A typed name longer than the 254 characters the answer holds is refused, never cut: cut,
// it would name another file, here a container that is there. Its line end takes no room,
// also a CR LF that the 254th character splits.
TEST_F(Tarnsplit, RefusesATypedNameLongerThanTheAnswerHolds) {
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::create_directories(dir / "work");
  std::filesystem::copy_file(tarnsplit_path(), dir / "bin/tarnsplit");
  const std::string container = container_builder().raw("a.txt", "typed").build();
  const std::string name_254 = std::string(250, 'z') + ".lvz", name_253 = std::string(249, 'y') + ".lvz";
  write_file(dir / ("work/" + name_254), container);
  write_file(dir / ("work/" + name_253), container);

  auto before = tree_snapshot(dir.path());
  run_result refused = run_program(dir / "bin/tarnsplit", {}, dir / "work", name_254 + "x\n");
  expect_failure(refused, unpack_status::container_not_opened,
                 "Please type in the name of the .lvz: Path too long (over 254 characters): " + name_254 +
                     "\n");
  EXPECT_EQ(tree_snapshot(dir.path()), before);

  for (const std::string& typed : {name_254 + "\r\n", name_253 + "\r\n", name_254}) {
    run_result taken = run_program(dir / "bin/tarnsplit", {}, dir / "work", typed);
    EXPECT_EQ(taken.out.find("Path too long"), std::string::npos) << taken.out;
    if (runs_on_windows()) continue;  // the output's path passes what Windows opens
    EXPECT_EQ(taken.status, 0) << taken.out;
  }
  if (!runs_on_windows()) {
    EXPECT_EQ(read_file(dir / ("bin/" + std::string(249, 'y') + "/a.txt")), "typed");
  }
}

TEST_F(Tarnsplit, TakesATypedPathWithItsRootAsItIs) {
  std::filesystem::create_directories(dir / "levels");
  write_file(dir / "levels/zone.lvz", container_builder().raw("a.txt", "typed").build());
  run_result result = run_program(tarnsplit_path(), {}, dir.path(), (dir / "levels/zone.lvz") + "\n");
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(read_file(dir / "levels/zone/a.txt"), "typed");
  EXPECT_TRUE(file_exists(dir / "levels/zone/zone.ini"));
}

TEST_F(Tarnsplit, RefusesAnOutputDirectoryPathThatIsAFile) {
  // A container without an extension: its output directory would be the container itself.
  std::filesystem::create_directories(dir / "levels/v1.2");
  std::string container = container_builder().raw("a.txt", "x").build();
  write_file(dir / "noext", container);
  write_file(dir / "levels/v1.2/zone", container);
  for (const char* name : {"noext", "levels\\v1.2\\zone"})
    expect_failure(run_program(tarnsplit_path(), {name}, dir.path()), unpack_status::directory_not_created,
                   "Could not create output directory.\n");
  EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"levels", "noext"}));
  EXPECT_EQ(list_directory(dir / "levels"), std::vector<std::string>{"v1.2"});
}

TEST_F(Tarnsplit, RefusesOutputDirectoriesThatAreNoNewDirectory) {
  for (const char* name : {"..lvz", "...lvz", ".lvz", "....lvz", ". .lvz"}) {
    run_result result = unpack(container_builder().raw("a.txt", "x").build(), name);
    expect_failure(result, unpack_status::directory_not_created, "Could not create output directory.\n");
  }
  EXPECT_FALSE(file_exists(dir / "a.txt"));
}

TEST_F(Tarnsplit, ChecksTheContainerHeader) {
  expect_failure(unpack("CONT123"), unpack_status::container_header_short,
                 "File not large enough to contain Lvz Header information\n");
  expect_failure(unpack("COMT" + u32le(1)), unpack_status::not_a_container,
                 "File is not a valid .lvz format\n");
  // No line end: the exit report starts on the same line.
  expect_failure(unpack("CONT" + u32le(0)), unpack_status::no_sections, "Lvz does not contain any data");
  EXPECT_FALSE(file_exists(dir / "zone"));
}

TEST_F(Tarnsplit, StopsAtTheFirstMissingSectionAndKeepsWhatCameBefore) {
  run_result result = unpack(container_builder().raw("a.txt", "one").raw("b.txt", "two").build(3));
  expect_failure(result, unpack_status::section_header_missing,
                 "Could not access compressed data section number 2\n");
  EXPECT_EQ(read_file(dir / "zone/a.txt"), "one");
  EXPECT_EQ(read_file(dir / "zone/b.txt"), "two");
  // The description would pack into another container: it comes only with the whole.
  EXPECT_EQ(list_directory(dir / "zone"), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(Tarnsplit, RejectsInvalidSectionHeaders) {
  expect_failure(unpack(container_builder().section("CONX", 1, 1, 1, "a", "x").build()),
                 unpack_status::section_header_invalid, "Compressed data header invalid\n");
  expect_failure(unpack(container_builder().section("CONT", 1, 1, 0, "a", "").build()),
                 unpack_status::section_header_invalid, "Compressed data header invalid\n");
  expect_failure(unpack(container_builder().section("CONT", 0, 1, 1, "a", "x").build()),
                 unpack_status::section_header_invalid, "Compressed data header invalid\n");
  expect_failure(unpack(container_builder().section("CONT", 0, 1, 0, "empty", "").build()),
                 unpack_status::section_header_invalid, "Compressed data header invalid\n");
}

TEST_F(Tarnsplit, RejectsDataThatIsNotThere) {
  // The name runs into the end of the file.
  expect_failure(unpack("CONT" + u32le(1) + "CONT" + u32le(5) + u32le(1) + u32le(5) + "abc"),
                 unpack_status::data_past_end, "Could read compressed data\n");
  // Fewer data bytes than stored_size, and a stored_size far beyond the file.
  expect_failure(unpack(container_builder().section("CONT", 10, 1, 10, "a", "12345").build()),
                 unpack_status::data_past_end, "Could read compressed data\n");
  expect_failure(unpack(container_builder().section("CONT", 0xFFFFFFFF, 1, 0xFFFFFFFF, "a", "x").build()),
                 unpack_status::data_past_end, "Could read compressed data\n");
}

TEST_F(Tarnsplit, RejectsStreamsThatDoNotInflateToFullSize) {
  std::string stream = zlib_compress(compressible);
  auto stored = static_cast<uint32_t>(stream.size());
  auto full = static_cast<uint32_t>(compressible.size());
  const std::string message = "Could not correctly decompress data\n";
  expect_failure(unpack(container_builder().section("CONT", full + 1, 1, stored, "a", stream).build()),
                 unpack_status::not_inflated, message);
  expect_failure(unpack(container_builder().section("CONT", full - 1, 1, stored, "a", stream).build()),
                 unpack_status::not_inflated, message);
  std::string cut = stream.substr(0, stream.size() - 8);
  expect_failure(unpack(container_builder().section("CONT", full, 1, stored - 8, "a", cut).build()),
                 unpack_status::not_inflated, message);
  std::string damaged = stream;
  damaged[stream.size() / 2] ^= 0x55;
  expect_failure(unpack(container_builder().section("CONT", full, 1, stored, "a", damaged).build()),
                 unpack_status::not_inflated, message);
  // More than any zlib stream can inflate to: refused before anything is allocated.
  expect_failure(unpack(container_builder().section("CONT", 0xFFFFFFFF, 1, 4, "a", "abcd").build()),
                 unpack_status::not_inflated, message);
  EXPECT_FALSE(file_exists(dir / "zone/a"));
}

TEST_F(Tarnsplit, ReportsABlockThatCannotBeAllocated) {
  if (runs_on_windows()) GTEST_SKIP() << "needs a POSIX shell's ulimit";
  // 200 MB of data present (a sparse file) while the address space is limited to 100 MB.
  write_file(dir / "big.lvz", container_builder().section("CONT", 200000000, 1, 200000000, "a", "").build());
  std::filesystem::resize_file(dir / "big.lvz", 8 + 16 + 2 + 200000000);
#ifdef TARN_SANITIZED
  // The sanitizer reserves far more address space than any limit would leave; its own
  // allocation limit makes malloc fail the same way.
  const char limit[] =
      "export ASAN_OPTIONS=\"$ASAN_OPTIONS:allocator_may_return_null=1:max_allocation_size_mb=100\"";
#else
  const char limit[] = "ulimit -v 100000";
#endif
  run_result result = unpack_limited(limit, "big.lvz");
  expect_failure(result, unpack_status::out_of_memory,
                 "Could not allocate 200000000 bytes for decompressing data\n");
}

TEST_F(Tarnsplit, RendersAMillionObjectRecordsInLittleMemory) {
  if (runs_on_windows()) GTEST_SKIP() << "needs a POSIX shell's ulimit";
  // 10 MB of records; their lines, 255 bytes each, would not fit in the 200 MB allowed.
  const uint32_t count = 1000000;
  std::string block = object_header("CLV2", count, 0);
  for (uint32_t i = 0; i < count; ++i)
    block += object_record_bytes(static_cast<uint16_t>(i % 65536), 7, 7, 0, 0, 0);
  write_file(dir / "zone.lvz", container_builder().objects(block).build());
#ifdef TARN_SANITIZED
  const char limit[] = "true";  // the sanitizer reserves far more address space than that
#else
  const char limit[] = "ulimit -v 200000";
#endif
  run_result result = unpack_limited(limit, "zone.lvz");
  EXPECT_EQ(result.status, 0) << result.out;
  std::string description = read_file(dir / "zone/zone.ini");
  EXPECT_NE(description.find("[mapobjects]\r\n7,7,IMAGE0,BelowAll,ShowAlways,0,0\r\n"), std::string::npos);
  EXPECT_NE(description.find("7,7,IMAGE0,BelowAll,ShowAlways,0,8479\r\n\r\n[screenobjects]"), std::string::npos);
}

TEST_F(Tarnsplit, EveryNumberOfWorkersWritesTheSameTreeAndFailsAtTheSameSection) {
  // Sections of many sizes, so that the workers fall out of step: a large one early, raw and
  // compressed ones, a name taken twice (the later file wins) and the object section last.
  std::vector<std::pair<std::string, std::string>> files;
  for (unsigned i = 0; i < 60; ++i) {
    std::string content;
    for (unsigned k = 0; k <= (i == 3 ? 4000 : i * 7 % 23); ++k) content += compressible.substr(k % 300, 20 + i);
    files.emplace_back(i == 50 ? "f7.txt" : "f" + std::to_string(i) + ".txt", content);
  }
  auto container = [&](int damaged, uint32_t count) {
    container_builder sections;
    for (unsigned i = 0; i < files.size(); ++i) {
      const std::string& content = files[i].second;
      std::string stream = zlib_compress(content);
      if (static_cast<int>(i) == damaged) stream[stream.size() / 2] ^= 0x55;
      if (i % 4 == 1)
        sections.raw(files[i].first, content, 1000000000 + i * 86400);
      else
        sections.section("CONT", static_cast<uint32_t>(content.size()), 1000000000 + i * 86400,
                         static_cast<uint32_t>(stream.size()), files[i].first, stream);
    }
    return sections.objects(object_header("CLV2", 1, 1) + object_record_bytes(0, 1, 2, 0, 0, 0) +
                            image_entry_bytes(1, 1, 100, "f1.txt"))
        .build(count);
  };
  // A directory in the way of f40.txt, which workers may meet before the files ahead of it
  // are named.
  struct {
    std::string bytes;
    unpack_status status;
    size_t extracted;
    const char* in_the_way;
  } rows[] = {{container(-1, 61), unpack_status::success, 60, nullptr},
              {container(46, 61), unpack_status::not_inflated, 46, nullptr},
              {container(-1, 62), unpack_status::section_header_missing, 59, nullptr},
              {container(-1, 61), unpack_status::file_not_extracted, 41, "f40.txt"}};
  for (const auto& r : rows) {
    write_file(dir / "zone.lvz", r.bytes);
    std::map<std::string, std::string> one_worker;
    std::string one_worker_out, one_worker_test;
    for (const char* jobs : {"1", "2", "8", static_cast<const char*>(nullptr)}) {
      SCOPED_TRACE(std::string("TARN_JOBS=") + (jobs ? jobs : "unset") + ", status " +
                   std::to_string(static_cast<int>(r.status)));
      environment_variable setting("TARN_JOBS", jobs);
      std::filesystem::remove_all(dir / "zone");
      if (r.in_the_way) std::filesystem::create_directories(dir / ("zone/" + std::string(r.in_the_way)));
      run_result result = run_program(tarnsplit_path(), {"zone.lvz"}, dir.path());
      EXPECT_EQ(result.status, static_cast<int>(r.status)) << result.out;
      std::map<std::string, std::string> tree = tree_snapshot(dir / "zone");
      for (const std::string& name : list_directory(dir / "zone"))  // the description is dated now
        if (name != "zone.ini" && !(r.in_the_way && name == r.in_the_way)) tree[name] += " dated " + std::to_string(modification_time(dir / ("zone/" + name)));
      run_result test = run_program(tarnsplit_path(), {"--test", "zone.lvz"}, dir.path());
      if (one_worker.empty()) {
        one_worker = tree, one_worker_out = result.out, one_worker_test = test.out + std::to_string(test.status);
        // Every file up to the failing section, and the description only with the whole.
        EXPECT_EQ(tree.size(), r.extracted);
      } else {
        EXPECT_EQ(tree.size(), one_worker.size());
        for (const auto& [name, entry] : one_worker)
          EXPECT_TRUE(tree[name] == entry) << name << ":\n" << tree[name] << "\nagainst one worker's\n" << entry;
        EXPECT_EQ(result.out, one_worker_out);
        EXPECT_EQ(test.out + std::to_string(test.status), one_worker_test);
      }
    }
  }
}

TEST_F(Tarnsplit, ReportsFilesThatCannotBeCreated) {
  std::filesystem::create_directories(dir / "zone/taken");
  run_result result = unpack(container_builder().raw("a.txt", "x").raw("taken", "y").build());
  expect_failure(result, unpack_status::file_not_extracted,
                 "Could not created zone\\taken. GetLastError(): 5\n");
  EXPECT_EQ(read_file(dir / "zone/a.txt"), "x");
}

TEST_F(Tarnsplit, LeavesAFileThatTheUserMayNotWriteAsItIs) {
  namespace fs = std::filesystem;
  const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::create_directories(dir / "zone");
  fs::permissions(dir / "zone", fs::perms::all);  // open to the unprivileged user
  fs::copy_file(tarnsplit_path(), dir / "tarnsplit");
  write_file(dir / "zone.lvz", container_builder().raw("a.txt", "new").raw("b.txt", "new").build());
  write_file(dir / "zone/b.txt", "old");
  fs::permissions(dir / "zone/b.txt", write, fs::perm_options::remove);

  run_result result = run_program_unprivileged(dir / "tarnsplit", {"zone.lvz"}, dir.path());
  expect_failure(result, unpack_status::file_not_extracted,
                 "Could not created zone\\b.txt. GetLastError(): 5\n");
  EXPECT_EQ(read_file(dir / "zone/a.txt"), "new");
  EXPECT_EQ(read_file(dir / "zone/b.txt"), "old");
  EXPECT_EQ(fs::status(dir / "zone/b.txt").permissions() & write, fs::perms::none);
  fs::permissions(dir / "zone/b.txt", write, fs::perm_options::add);  // so that the scratch directory goes
}

TEST_F(Tarnsplit, ReportsAFailedWriteOfAnExtractedFile) {
  if (runs_on_windows()) GTEST_SKIP() << "needs a POSIX shell's ulimit";
  write_file(dir / "zone.lvz", container_builder().raw("small", "x").compressed("large", compressible).build());
  run_result result = unpack_limited("trap '' XFSZ; ulimit -f 4", "zone.lvz");
  expect_failure(result, unpack_status::file_not_extracted,
                 "Could not write zone\\large. GetLastError(): 112\n");
  EXPECT_EQ(read_file(dir / "zone/small"), "x");
}

TEST_F(Tarnsplit, ReportsAFailedWriteOfTheDescription) {
  if (runs_on_windows()) GTEST_SKIP() << "needs a POSIX shell's ulimit";
  container_builder many;
  for (int i = 0; i < 40; ++i) many.raw("f" + std::to_string(i), "x");
  write_file(dir / "zone.lvz", many.build());
  run_result result = unpack_limited("trap '' XFSZ; ulimit -f 4", "zone.lvz");
  expect_failure(result, unpack_status::description_not_written,
                 "Could not write zone\\zone.ini. GetLastError(): 112\n");
}

TEST_F(Tarnsplit, ReportsADescriptionThatCannotBeCreated) {
  std::filesystem::create_directories(dir / "zone/zone.ini");
  expect_failure(unpack(container_builder().raw("a.txt", "x").build()),
                 unpack_status::description_not_written,
                 "Could not created zone\\zone.ini. GetLastError(): 5\n");
}

TEST_F(Tarnsplit, RefusesUnsafeNamesAndWritesNothingOutside) {
  const std::pair<std::string, std::string> cases[] = {
      {"../escape.txt", "../escape.txt"},
      {"gfx/ship.bmp", "gfx/ship.bmp"},  // on Windows too, where '/' separates nothing
      {"..\\escape.txt", "..\\escape.txt"},
      {"/tmp/tarn-absolute", "/tmp/tarn-absolute"},
      {"", ""},
      {"nul.txt", "nul.txt"},
      {"zone.INI", "zone.INI"},
      {"\x1b[31mred", "\\x1B[31mred"},
  };
  for (const auto& [name, shown] : cases) {
    run_result result = unpack(container_builder().raw("kept.txt", "k").raw(name, "evil").build());
    expect_failure(result, unpack_status::file_not_extracted, "Refusing unsafe file name: " + shown + "\n");
    EXPECT_EQ(read_file(dir / "zone/kept.txt"), "k");
  }
  EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"zone", "zone.lvz"}));
  EXPECT_EQ(list_directory(dir / "zone"), std::vector<std::string>{"kept.txt"});
  EXPECT_FALSE(file_exists("/tmp/tarn-absolute"));
}

TEST_F(Tarnsplit, NeverWritesThroughALinkInTheOutputDirectory) {
  write_file(dir / "outside.txt", "precious");
  std::filesystem::create_directories(dir / "zone");
  std::filesystem::create_hard_link(dir / "outside.txt", dir / "zone/b.txt");
  // Symbolic links need privileges on Windows; hard links are the test there.
  bool symlinks = !runs_on_windows();
  if (symlinks) {
    std::filesystem::create_symlink(dir / "outside.txt", dir / "zone/a.txt");
    std::filesystem::create_symlink(dir / "outside.txt", dir / "zone/zone.ini");
  }
  EXPECT_EQ(unpack(container_builder().raw("a.txt", "new", 77).raw("b.txt", "fresh").build()).status, 0);
  EXPECT_EQ(read_file(dir / "outside.txt"), "precious");
  EXPECT_EQ(read_file(dir / "zone/a.txt"), "new");
  EXPECT_EQ(read_file(dir / "zone/b.txt"), "fresh");
  EXPECT_FALSE(std::filesystem::is_symlink(dir / "zone/a.txt"));
  EXPECT_EQ(modification_time(dir / "zone/a.txt"), 77 - berlin_winter_offset);
}

// The container's path is split as the system reads it: on Windows too, '/' and a drive
// ("C:zone.lvz", the current folder of drive C) end its folder.
TEST_F(Tarnsplit, BothSeparatorsAndADriveEndTheContainersFolder) {
  std::filesystem::create_directories(dir / "levels");
  std::string container = container_builder().raw("a.txt", "x").build();
  write_file(dir / "levels/zone.lvz", container);
  write_file(dir / "zone.lvz", container);
  std::vector<std::pair<std::string, std::string>> rows = {{"levels/zone.lvz", "levels/zone"},
                                                           {"levels\\zone.lvz", "levels/zone"}};
  if (runs_on_windows()) rows.push_back({dir.path().substr(0, 2) + "zone.lvz", "zone"});
  for (const auto& [given, folder] : rows) {
    run_result result = run_program(tarnsplit_path(), {given}, dir.path());
    EXPECT_EQ(result.status, 0) << given << ": " << result.out;
    EXPECT_EQ(list_directory(dir / folder), (std::vector<std::string>{"a.txt", "zone.ini"})) << given;
    std::string description = read_file(dir / (folder + "/zone.ini"));
    EXPECT_NE(description.find("\r\nOutfile=zone.lvz\r\n"), std::string::npos) << given;
    std::filesystem::remove_all(dir / folder);
  }
}

// Windows drops the trailing blanks and dots of a name it creates; the folder is named so,
// and the Linux program keeps them.
TEST_F(Tarnsplit, NamesTheFolderAsTheSystemCreatesIt) {
  struct row {
    std::string container, windows_folder, posix_folder, description;
  };
  const row rows[] = {
      {"zone .lvz", "zone", "zone ", "zone .ini"},
      {"zone..lvz", "zone", "zone.", "zone..ini"},
      {"zone. .lvz", "zone", "zone. ", "zone. .ini"},
  };
  for (const row& r : rows) {
    const std::string& folder = runs_on_windows() ? r.windows_folder : r.posix_folder;
    run_result result = unpack(container_builder().raw("a.txt", "x").build(), r.container);
    EXPECT_EQ(result.status, 0) << r.container << ": " << result.out;
    EXPECT_EQ(list_directory(dir / folder), (std::vector<std::string>{"a.txt", r.description})) << r.container;
    std::filesystem::remove_all(dir / folder);
  }
}

TEST_F(Tarnsplit, AnswersHelpAndVersion) {
  run_result help = run_program(tarnsplit_path(), {"--help"}, dir.path());
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: tarnsplit"), std::string::npos);
  EXPECT_NE(help.out.find("\nTARN_JOBS=N in the environment"), std::string::npos);
  run_result version = run_program(tarnsplit_path(), {"--version"}, dir.path());
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("tarnsplit ", 0), 0u);
}
