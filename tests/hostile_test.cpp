// tarnsplit on hostile containers and planted links. Every run happens with the output
// directory two levels down in an otherwise empty scratch directory, and nothing in the
// scratch directory outside the output directory may change.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>
#include <zlib.h>

#include "test_harness.h"
#include "unpack_status.h"

namespace fs = std::filesystem;

namespace {

struct hostile_case {
  std::string title;
  std::string container;
  unpack_status status;
  std::string message;              // printed before the exit report; empty for success
  std::vector<std::string> output;  // the output directory's entries afterwards, sorted (the
                                    // description only after a success)
};

const std::string description = "zone.ini";

// A container whose second section has an unsafe name: the first file stays, nothing of the
// second is created.
hostile_case unsafe_name(const std::string& name, const std::string& shown) {
  return {"name " + shown, container_builder().raw("kept.txt", "k").raw(name, "evil").build(),
          unpack_status::file_not_extracted, "Refusing unsafe file name: " + shown + "\n", {"kept.txt"}};
}

// data compressed with zlib's deflate, in the wrapper window_bits selects (15 zlib, 31 gzip,
// -15 none), with a preset dictionary when one is given.
std::string deflated(const std::string& data, int window_bits, const std::string& dictionary = "") {
  z_stream stream = {};
  deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, window_bits, 8, Z_DEFAULT_STRATEGY);
  if (!dictionary.empty())
    deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary.data()),
                         static_cast<uInt>(dictionary.size()));
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

const std::string text = [] {
  std::string t;
  for (int i = 0; i < 300; ++i) t += "hostile zone line " + std::to_string(i % 11) + "\n";
  return t;
}();

// A section named "a" with the given data as a compressed stream of text's length.
hostile_case bad_stream(const std::string& title, const std::string& stream) {
  return {title,
          container_builder()
              .section("CONT", static_cast<uint32_t>(text.size()), 1, static_cast<uint32_t>(stream.size()), "a", stream)
              .build(),
          unpack_status::not_inflated, "Could not correctly decompress data\n", {}};
}

class Hostile : public ::testing::Test {
 protected:
  scratch_dir scratch;
  const std::string work = scratch / "a/b";
  const std::string zone = work + "/zone";

  void SetUp() override { fs::create_directories(work); }

  // Runs tarnsplit on container in a fresh output directory, expecting nothing to change
  // outside it.
  run_result unpack(const std::string& container) {
    fs::remove_all(zone);
    write_file(work + "/zone.lvz", container);
    auto before = tree_snapshot(scratch.path(), "a/b/zone");
    run_result result = run_program(tarnsplit_path(), {"zone.lvz"}, work);
    EXPECT_EQ(tree_snapshot(scratch.path(), "a/b/zone"), before) << "changed outside the output directory";
    return result;
  }

  // Runs tarnsplit --test on container, which must write nothing at all, not even the
  // output directory.
  run_result test_only(const std::string& container) {
    fs::remove_all(zone);
    write_file(work + "/zone.lvz", container);
    auto before = tree_snapshot(scratch.path());
    run_result result = run_program(tarnsplit_path(), {"--test", "zone.lvz"}, work);
    EXPECT_EQ(tree_snapshot(scratch.path()), before) << "--test wrote something";
    return result;
  }

  // Each case extracted, and tested with --test, which must end alike: the same status, and
  // on failure the same message and exit report.
  void check(const std::vector<hostile_case>& cases) {
    for (const hostile_case& c : cases) {
      SCOPED_TRACE(c.title);
      run_result tested = test_only(c.container);
      run_result result = unpack(c.container);
      EXPECT_EQ(result.status, static_cast<int>(c.status));
      EXPECT_EQ(tested.status, result.status);
      if (c.status == unpack_status::success) {
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(tested.out.rfind("zone.lvz: OK, ", 0), 0u) << tested.out;
      } else {
        EXPECT_TRUE(is_failure_output(result.out, c.message)) << result.out;
        EXPECT_EQ(tested.out, result.out);
      }
      EXPECT_EQ(is_directory(zone) ? list_directory(zone) : std::vector<std::string>{}, c.output);
    }
  }
};

}  // namespace

TEST_F(Hostile, TraversalNamesWithEitherSeparator) {
  check({
      unsafe_name(".", "."),
      unsafe_name("..", ".."),
      unsafe_name("../../x", "../../x"),
      unsafe_name("..\\..\\x", "..\\..\\x"),
      unsafe_name("sub/../../../x", "sub/../../../x"),
      unsafe_name("sub\\..\\..\\..\\x", "sub\\..\\..\\..\\x"),
      unsafe_name("..\\../..\\x", "..\\../..\\x"),
      unsafe_name("sub/file", "sub/file"),
      unsafe_name("kept.txt/", "kept.txt/"),
  });
}

TEST_F(Hostile, DriveUncAndDeviceNames) {
  check({
      unsafe_name("C:\\x", "C:\\x"),
      unsafe_name("c:x", "c:x"),
      unsafe_name("Z:..\\..\\x", "Z:..\\..\\x"),
      unsafe_name("\\\\server\\share\\x", "\\\\server\\share\\x"),
      unsafe_name("//server/share/x", "//server/share/x"),
      unsafe_name("\\\\?\\C:\\x", "\\\\?\\C:\\x"),
      unsafe_name("\\\\.\\pipe\\x", "\\\\.\\pipe\\x"),
      unsafe_name("CON", "CON"),
      unsafe_name("aux.txt", "aux.txt"),
      unsafe_name("CONIN$", "CONIN$"),
      unsafe_name("conout$.log", "conout$.log"),
      unsafe_name("LPT9.dat", "LPT9.dat"),
      unsafe_name("com\xB2.wav", "com\xB2.wav"),
      unsafe_name("Prn  .bmp", "Prn  .bmp"),
  });
}

TEST_F(Hostile, ControlBytesAndCharactersWindowsForbids) {
  check({
      unsafe_name("line\nbreak", "line\\x0Abreak"),
      unsafe_name("\rcarriage", "\\x0Dcarriage"),
      unsafe_name("\x01start", "\\x01start"),
      unsafe_name("del\x7F", "del\\x7F"),
      unsafe_name("\x1b]0;title\x07", "\\x1B]0;title\\x07"),
      unsafe_name("stream:hidden", "stream:hidden"),
      unsafe_name("a*b", "a*b"),
      unsafe_name("a?b", "a?b"),
      unsafe_name("a|b", "a|b"),
      unsafe_name("<a>", "<a>"),
      unsafe_name("\"quoted\"", "\"quoted\""),
      unsafe_name("dot.", "dot."),
      unsafe_name("blank ", "blank "),
      unsafe_name("both. ", "both. "),
  });
}

TEST_F(Hostile, NamesAreCutTo250CharactersBeforeTheyAreChecked) {
  const std::string kept(250, 'n');
  check({
      {"100,000 bytes", container_builder().raw(std::string(100000, 'n'), "long").build(),
       unpack_status::success, "", {kept, description}},
      {"a traversal after the 250th byte is dropped",
       container_builder().raw(kept + "/../../x" + std::string(1000, 'y'), "cut").build(),
       unpack_status::success, "", {kept, description}},
  });
  EXPECT_EQ(read_file(zone + "/" + kept), "cut");
  check({
      unsafe_name(std::string(249, 'd') + ".bmp", std::string(249, 'd') + "."),
      unsafe_name(std::string(249, 'b') + " x", std::string(249, 'b') + " "),
  });
}

TEST_F(Hostile, SizesAndCountsBeyondTheFile) {
  std::string zeros = zlib_compress(std::string(20000, '\0'));
  auto zeros_size = static_cast<uint32_t>(zeros.size());
  check({
      {"section count 0xFFFFFFFF", container_builder().raw("a.txt", "x").build(0xFFFFFFFF),
       unpack_status::section_header_missing, "Could not access compressed data section number 1\n",
       {"a.txt"}},
      {"section count 0xFFFFFFFF and no section", container_builder().build(0xFFFFFFFF),
       unpack_status::section_header_missing, "Could not access compressed data section number 0\n", {}},
      {"stored size 0xFFFFFFFF", container_builder().section("CONT", 1, 1, 0xFFFFFFFF, "a", "x").build(),
       unpack_status::data_past_end, "Could read compressed data\n", {}},
      {"stored size one beyond the end",
       container_builder().section("CONT", 10, 1, 11, "a", "0123456789").build(),
       unpack_status::data_past_end, "Could read compressed data\n", {}},
      {"full size one beyond what the stream can inflate to",
       container_builder().section("CONT", 1032 * zeros_size + 1, 1, zeros_size, "a", zeros).build(),
       unpack_status::not_inflated, "Could not correctly decompress data\n", {}},
  });
}

TEST_F(Hostile, BrokenZlibStreams) {
  std::string stream = zlib_compress(text);
  std::string bad_checksum = stream;
  bad_checksum.back() ^= 0x01;
  check({
      bad_stream("the two-byte header alone", stream.substr(0, 2)),
      bad_stream("cut in the middle", stream.substr(0, stream.size() / 2)),
      bad_stream("a wrong Adler-32", bad_checksum),
      bad_stream("a preset dictionary", deflated(text, 15, "hostile zone line")),
      bad_stream("a gzip stream", deflated(text, 31)),
      bad_stream("raw deflate without the zlib wrapper", deflated(text, -15)),
      bad_stream("cut, then other bytes", stream.substr(0, stream.size() - 4) + "appended"),
  });
  // Spare bytes after one whole stream of the right length and checksum are ignored.
  std::string padded = stream + "appended";
  check({
      {"other bytes after the stream's end",
       container_builder()
           .section("CONT", static_cast<uint32_t>(text.size()), 1, static_cast<uint32_t>(padded.size()), "a", padded)
           .build(),
       unpack_status::success, "", {"a", description}},
  });
  EXPECT_EQ(read_file(zone + "/a"), text);
}

TEST_F(Hostile, SectionsAfterTheCountAreNeverLookedAt) {
  std::string unsafe_section = container_builder().raw("../../x", "evil").raw("nul", "dev").build().substr(8);
  check({
      {"unsafe sections after the last one",
       container_builder().raw("a.txt", "1").bytes(unsafe_section).build(1), unpack_status::success, "",
       {"a.txt", description}},
  });
}

// Damaged containers fail at each of extraction's checks, --test at the same ones.
TEST_F(Hostile, DamagedContainersFailAtEachCheck) {
  std::string objects = object_header("CLV2", 0, 0);
  std::string stream = zlib_compress(objects + std::string(100, '\0'));
  std::string damaged_stream = stream;
  damaged_stream[stream.size() / 2] ^= 0x55;
  std::string name_without_nul = object_header("CLV1", 0, 1) + image_entry_bytes(1, 1, 100, "ab");
  name_without_nul.pop_back();
  check({
      {"seven bytes", "CONT" + u32le(1).substr(0, 3), unpack_status::container_header_short,
       "File not large enough to contain Lvz Header information\n", {}},
      {"no CONT", "TNOC" + u32le(1), unpack_status::not_a_container, "File is not a valid .lvz format\n", {}},
      {"no section", "CONT" + u32le(0), unpack_status::no_sections, "Lvz does not contain any data", {}},
      {"a section's magic", container_builder().section("CONX", 1, 1, 1, "a", "x").build(),
       unpack_status::section_header_invalid, "Compressed data header invalid\n", {}},
      {"a name running off the end", "CONT" + u32le(1) + "CONT" + u32le(1) + u32le(1) + u32le(1) + "abc",
       unpack_status::data_past_end, "Could read compressed data\n", {}},
      {"a damaged object section",
       container_builder().section("CONT", 112, 0, static_cast<uint32_t>(stream.size()), "", damaged_stream).build(),
       unpack_status::not_inflated, "Could not correctly decompress data\n", {}},
      {"an object section shorter than its header", container_builder().objects("CLV2" + u32le(0)).build(),
       unpack_status::description_not_written, "Could not load object information header\n", {}},
      {"an image name without its NUL", container_builder().objects(name_without_nul).build(),
       unpack_status::image_entry_invalid, "Cannot access Image number 0\n", {}},
  });
}

// Object sections are only ever rendered into the description: their names create nothing,
// and their counts allocate nothing the section does not hold. (Cut records and images and
// codes outside the tables are in description_test.cpp.)
TEST_F(Hostile, ObjectSectionsCreateNoFiles) {
  std::string device_image = object_header("CLV2", 1, 1) + object_record_bytes(1, 1, 1, 0, 0, 0) +
                             image_entry_bytes(1, 1, 100, "nul");
  // A name with separators is refused before its line is written.
  std::string hostile_images = object_header("CLV2", 1, 3) + object_record_bytes(1, 1, 1, 2, 0, 0) +
                               image_entry_bytes(1, 1, 100, "nul") +
                               image_entry_bytes(1, 1, 100, "../../x") +
                               image_entry_bytes(1, 1, 100, "C:\\Windows\\x");
  std::string no_records = object_header("CLV2", 0xFFFFFFFF, 0);
  std::string no_images = object_header("CLV2", 0, 0xFFFFFFFF);
  std::string stream = zlib_compress(no_records + std::string(2000, '\0'));
  check({
      {"an image named as a device", container_builder().objects(device_image).build(),
       unpack_status::success, "", {description}},
  });
  EXPECT_NE(read_file(zone + "/zone.ini").find("IMAGE0=nul,1,1,100\r\n"), std::string::npos);
  check({
      {"image names that would leave the directory", container_builder().objects(hostile_images).build(),
       unpack_status::image_entry_invalid,
       "Cannot describe Image number 1: its name holds a path separator\n", {}},
  });
  check({
      {"0xFFFFFFFF objects and none there", container_builder().objects(no_records).build(),
       unpack_status::objects_invalid, "Cannot access Object number 0\n", {}},
      {"0xFFFFFFFF images and none there", container_builder().objects(no_images).build(),
       unpack_status::image_entry_invalid, "Cannot access Image number 0\n", {}},
      {"0xFFFFFFFF objects in a compressed section holding 200",
       container_builder()
           .section("CONT", 2012, 0, static_cast<uint32_t>(stream.size()), "", stream)
           .build(),
       unpack_status::objects_invalid, "Cannot access Object number 200\n", {}},
  });
}

// Links and other entries planted under the name that tarnsplit is about to create: the
// outside entry is never written, and the file is created anew with its content and time.
TEST_F(Hostile, NeverWritesThroughWhatIsPlantedUnderAName) {
  const std::string outside_file = scratch / "outside.txt";
  const std::string outside_dir = scratch / "outside";
  const std::string missing = scratch / "missing.txt";
  write_file(outside_file, "precious");
  set_modification_time(outside_file, 12345);
  fs::create_directories(outside_dir);

  struct plant {
    const char* title;
    bool posix_only;  // links are not for wine to judge, and Windows has no FIFOs
    void (*make)(const std::string& outside_file, const std::string& outside_dir,
                 const std::string& missing, const std::string& at);
  };
  const plant plants[] = {
      {"a hard link to an outside file", false,
       [](const std::string& file, const std::string&, const std::string&, const std::string& at) {
         fs::create_hard_link(file, at);
       }},
      {"a symbolic link to a missing outside file", true,
       [](const std::string&, const std::string&, const std::string& missing, const std::string& at) {
         fs::create_symlink(missing, at);
       }},
      {"a symbolic link to an outside directory", true,
       [](const std::string&, const std::string& dir, const std::string&, const std::string& at) {
         fs::create_directory_symlink(dir, at);
       }},
      {"a FIFO (writing to it would hang)", true,
       [](const std::string&, const std::string&, const std::string&, const std::string& at) {
         ASSERT_TRUE(make_fifo(at));
       }},
  };
  for (const plant& p : plants) {
    if (p.posix_only && runs_on_windows()) continue;
    for (const std::string& name : {std::string("a.txt"), description}) {
      SCOPED_TRACE(std::string(p.title) + " under " + name);
      fs::remove_all(zone);
      fs::create_directories(zone);
      p.make(outside_file, outside_dir, missing, zone + "/" + name);
      write_file(work + "/zone.lvz", container_builder().raw("a.txt", "new", 77).build());
      auto before = tree_snapshot(scratch.path(), "a/b/zone");
      run_result result = run_program(tarnsplit_path(), {"zone.lvz"}, work);
      EXPECT_EQ(result.status, 0) << result.out;
      EXPECT_EQ(tree_snapshot(scratch.path(), "a/b/zone"), before);
      EXPECT_EQ(modification_time(outside_file), 12345);
      EXPECT_FALSE(file_exists(missing));
      EXPECT_EQ(tree_snapshot(zone, "zone.ini").at("a.txt"), "file new");
      EXPECT_EQ(modification_time(zone + "/a.txt"), 77 - berlin_winter_offset);
      EXPECT_EQ(read_file(zone + "/zone.ini").rfind("; This file was created by Tarnsplit", 0), 0u);
    }
  }
}

TEST_F(Hostile, AContainerThatIsAFifoIsRefusedWithoutWaiting) {
  if (!make_fifo(work + "/zone.lvz")) GTEST_SKIP() << "no FIFOs on this system";
  run_result result = run_program(tarnsplit_path(), {"zone.lvz"}, work);
  EXPECT_EQ(result.status, static_cast<int>(unpack_status::container_not_opened));
  EXPECT_TRUE(is_failure_output(result.out, "Could not open file: " + work + "/zone.lvz\nExe's location: " +
                                                tarnsplit_path() + "\nGetLastError(): 5\n"))
      << result.out;
  EXPECT_FALSE(file_exists(zone));
}
