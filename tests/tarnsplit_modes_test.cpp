// tarnsplit's ways of running beside plain extraction, end to end: --list (as a table and
// as JSON), --test, -o DIR, several containers, and the command lines it refuses.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "test_harness.h"
#include "unpack_status.h"

namespace fs = std::filesystem;

namespace {

// An object section of one image, one map object and one screen object (47 bytes).
const std::string one_of_each = object_header("CLV2", 2, 1) +
                                object_record_bytes(7 * 2 + 1, 600, 480, 0, 4, 0x3000 | 150) +
                                object_record_bytes(3 * 2, static_cast<uint16_t>(-8 * 16 + 1), 40 * 16, 0, 7, 0) +
                                image_entry_bytes(4, 2, 80, "ship.bmp");

// Three sections: compressed, raw with a clock time that Berlin's clocks skipped (the tests
// run in Berlin's zone; a listing shows the reading as stored), and the object section.
const std::string sound = container_builder()
                              .section("CONT", 3000, 1000000000, 26, "tiles.txt", three_thousand_x_stream())
                              .raw("ship\xE9.bmp", std::string(100, 's'), 1616898600)
                              .objects(one_of_each)
                              .build();

const std::string table_head = " Full size      Stored   Saved  Date       Time      Name\n";
const std::string table_rule = "----------  ----------  ------  -------------------  ----\n";

std::string regex_quoted(const std::string& text) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  return std::regex_replace(text, special, R"(\$&)");
}

// Whether text is, whole, the messages each followed by the exit report, with the texts
// between them.
bool is_reported(const std::string& text, const std::vector<std::string>& messages_and_texts) {
  std::string pattern;
  for (size_t i = 0; i < messages_and_texts.size(); ++i)
    pattern += regex_quoted(messages_and_texts[i]) + (i % 2 == 0 ? tarnsplit_exit_report_pattern : "");
  return std::regex_match(text, std::regex(pattern));
}

// Whether text is one JSON value and nothing else but blanks, with its strings in ASCII.
class json_checker {
 public:
  explicit json_checker(const std::string& text) : text_(text) {}

  bool whole() { return value() && (blanks(), at_ == text_.size()); }

 private:
  void blanks() {
    while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_])) ++at_;
  }

  bool take(char c) {
    blanks();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  bool value() {
    blanks();
    if (take('{')) return items('}', true);
    if (take('[')) return items(']', false);
    if (at_ < text_.size() && text_[at_] == '"') return string();
    for (const char* word : {"true", "false", "null"})
      if (text_.compare(at_, std::strlen(word), word) == 0) return at_ += std::strlen(word), true;
    static const std::regex number("-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][-+]?[0-9]+)?");
    std::smatch match;
    if (!std::regex_search(text_.cbegin() + static_cast<std::ptrdiff_t>(at_), text_.cend(), match, number,
                           std::regex_constants::match_continuous) ||
        match.length() == 0)
      return false;
    at_ += static_cast<size_t>(match.length());
    return true;
  }

  bool items(char closer, bool keyed) {
    if (take(closer)) return true;
    do {
      blanks();
      if (keyed && !(string() && take(':'))) return false;
      if (!value()) return false;
    } while (take(','));
    return take(closer);
  }

  bool string() {
    if (!take('"')) return false;
    while (at_ < text_.size()) {
      auto c = static_cast<unsigned char>(text_[at_++]);
      if (c == '"') return true;
      if (c < 0x20 || c >= 0x7F) return false;
      if (c != '\\' || at_ >= text_.size()) continue;
      char escaped = text_[at_++];
      if (escaped == 'u') {
        for (int i = 0; i < 4; ++i)
          if (at_ >= text_.size() || !std::isxdigit(static_cast<unsigned char>(text_[at_++]))) return false;
      } else if (!std::strchr("\"\\/bfnrt", escaped)) {
        return false;
      }
    }
    return false;
  }

  const std::string& text_;
  size_t at_ = 0;
};

class TarnsplitModes : public ::testing::Test {
 protected:
  scratch_dir dir;

  run_result run(const std::vector<std::string>& args) { return run_program(tarnsplit_path(), args, dir.path()); }

  // Runs args on container (as zone.lvz); nothing may be created or changed.
  run_result run_writing_nothing(const std::vector<std::string>& args, const std::string& container) {
    write_file(dir / "zone.lvz", container);
    auto before = tree_snapshot(dir.path());
    run_result result = run(args);
    EXPECT_EQ(tree_snapshot(dir.path()), before) << "something was written";
    return result;
  }
};

}  // namespace

TEST_F(TarnsplitModes, ListAndTestShowASoundContainerAndWriteNothing) {
  run_result listed = run_writing_nothing({"--list", "zone.lvz"}, sound);
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out,
            table_head +
                "      3000          26   99.1%  2001-09-09 01:46:40  tiles.txt\n"
                "       100         100    0.0%  2021-03-28 02:30:00  ship\xE9.bmp\n"
                "        47          47    0.0%  1970-01-01 00:00:00  "
                "(object section CLV2: 1 image, 1 map object, 1 screen object)\n" +
                table_rule + "      3147         173   94.5%                       3 sections\n");

  run_result tested = run_writing_nothing({"-t", "zone.lvz"}, sound);
  EXPECT_EQ(tested.status, 0);
  EXPECT_EQ(tested.out, "zone.lvz: OK, 2 files, 1 image, 2 objects\n");
}

// A listing goes as far as extraction would check, and ends with extraction's message and
// status; unsafe names are all listed, marked, and the first one is named at the end.
TEST_F(TarnsplitModes, ListShowsWhatComesBeforeTheDamageAndMarksUnsafeNames) {
  struct listing_case {
    const char* title;
    std::string container;
    unpack_status status;
    std::string listed_and_message;
  };
  const listing_case cases[] = {
      {"unsafe names",
       container_builder().raw("kept.txt", "k", 1).raw("../x", "x", 2).raw("nul\x1b.txt", "n", 3).build(),
       unpack_status::file_not_extracted,
       table_head +
           "         1           1    0.0%  1970-01-01 00:00:01  kept.txt\n"
           "         1           1    0.0%  1970-01-01 00:00:02  ../x  (not extractable)\n"
           "         1           1    0.0%  1970-01-01 00:00:03  nul\\x1B.txt  (not extractable)\n" +
           table_rule + "         3           3    0.0%                       3 sections\n" +
           "Refusing unsafe file name: ../x\n"},
      {"a missing section", container_builder().raw("a.txt", "a", 60).build(2), unpack_status::section_header_missing,
       table_head + "         1           1    0.0%  1970-01-01 00:01:00  a.txt\n" +
           "Could not access compressed data section number 1\n"},
      {"an object section of an unknown version",
       container_builder().raw("a.txt", "a", 60).objects(object_header("CLV9", 0, 0)).build(),
       unpack_status::objects_invalid,
       table_head + "         1           1    0.0%  1970-01-01 00:01:00  a.txt\n" + "Object header is invalid\n"},
      {"no container at all", "CONX" + u32le(1), unpack_status::not_a_container, "File is not a valid .lvz format\n"},
      // A file section is not inflated for its line, but its sizes are checked as extraction
      // checks them before inflating: no stream of 10 bytes inflates to 10321.
      {"a full size past what the stored bytes inflate to",
       container_builder()
           .raw("a.txt", "a", 60)
           .section("CONT", 10321, 1, 10, "b.txt", std::string(10, 'b'))
           .build(),
       unpack_status::not_inflated,
       table_head + "         1           1    0.0%  1970-01-01 00:01:00  a.txt\n" +
           "Could not correctly decompress data\n"},
  };
  for (const listing_case& c : cases) {
    SCOPED_TRACE(c.title);
    run_result result = run_writing_nothing({"-l", "zone.lvz"}, c.container);
    EXPECT_EQ(result.status, static_cast<int>(c.status));
    EXPECT_TRUE(is_failure_output(result.out, c.listed_and_message)) << result.out;
  }
}

// Standard output holds one whole JSON document, whatever the run finds; the messages go to
// standard error.
TEST_F(TarnsplitModes, ListAsJsonIsOneValidDocumentOfEveryFact) {
  const std::string clv1 = object_header("CLV1", 2, 1) +
                           object_record_bytes(7 * 2 + 1, static_cast<uint16_t>(-5), 300, 0, 2, 0x1000 | 50) +
                           object_record_bytes(3 * 2, 20005, 19990, 0, 9, 0) +
                           image_entry_bytes(0, 1, 50, "pic");  // 0 frames across: no frame time
  const std::string hostile_name = "say \"hi\"\\\x1b\xE9";
  run_result result = run_writing_nothing(
      {"--list", "--json", "zone.lvz"},
      container_builder().raw(hostile_name, "x", 1616898600).objects(clv1).build());
  EXPECT_EQ(result.status, static_cast<int>(unpack_status::file_not_extracted));
  EXPECT_TRUE(json_checker(result.out).whole()) << result.out;
  EXPECT_EQ(result.out, R"({
  "container": "zone.lvz",
  "sections": [
    {
      "name": "say \"hi\"\\\u001B\u00E9",
      "kind": "file",
      "full_size": 1,
      "stored_size": 1,
      "compressed": false,
      "percent": 0.0,
      "time": 1616898600,
      "time_iso": "2021-03-28T02:30:00",
      "extractable": false
    },
    {
      "name": "",
      "kind": "objects",
      "full_size": 42,
      "stored_size": 42,
      "compressed": false,
      "percent": 0.0,
      "time": 0,
      "time_iso": "1970-01-01T00:00:00",
      "version": "CLV1",
      "images": [
        {
          "image": "IMAGE0",
          "file_name": "pic",
          "x_frames": 0,
          "y_frames": 1,
          "animation_time": 50,
          "loop_time": 0.500,
          "frame_time": null
        }
      ],
      "map_objects": [
        {
          "x": "-5",
          "y": "300",
          "image": "IMAGE0",
          "layer": "AfterTiles",
          "mode": "EnterZone",
          "display_time": 500,
          "object_number": 7
        }
      ],
      "screen_objects": [
        {
          "x": "C+5",
          "y": "C-10",
          "image": "IMAGE0",
          "layer": "{Unknown 9}",
          "mode": "ShowAlways",
          "display_time": 0,
          "object_number": 3
        }
      ]
    }
  ],
  "totals": {
    "sections": 2,
    "full_size": 43,
    "stored_size": 43,
    "percent": 0.0
  },
  "status": 11
}
)");
  const std::string unsafe = "Refusing unsafe file name: say \"hi\"\\\\x1B\xE9\n";
  EXPECT_TRUE(std::regex_search(result.err, std::regex(regex_quoted(unsafe) + tarnsplit_exit_report_pattern))) << result.err;

  // Cut inside the object section's images: the document is still whole.
  std::string cut =
      object_header("CLV2", 1, 2) + object_record_bytes(1, 1, 1, 0, 0, 0) + image_entry_bytes(1, 1, 100, "a");
  run_result damaged =
      run_writing_nothing({"-l", "--json", "zone.lvz"}, container_builder().objects(cut).build());
  EXPECT_EQ(damaged.status, static_cast<int>(unpack_status::image_entry_invalid));
  EXPECT_TRUE(json_checker(damaged.out).whole()) << damaged.out;
  EXPECT_NE(damaged.out.find("\"file_name\": \"a\""), std::string::npos);
  EXPECT_EQ(damaged.out.find("totals"), std::string::npos);
  EXPECT_NE(damaged.out.find("\"status\": 14\n}\n"), std::string::npos);
}

TEST_F(TarnsplitModes, ExtractsIntoAChosenFolder) {
  write_file(dir / "zone.lvz", container_builder().raw("a.txt", "a", 60).build());
  run_result made = run({"-o", "out", "zone.lvz"});
  EXPECT_EQ(made.status, 0) << made.out;
  EXPECT_EQ(made.out, "");
  EXPECT_EQ(list_directory(dir / "out"), (std::vector<std::string>{"a.txt", "zone.ini"}));
  EXPECT_EQ(modification_time(dir / "out/a.txt"), 60 - berlin_winter_offset);
  EXPECT_FALSE(file_exists(dir / "zone"));

  // A folder that exists, the current one included.
  fs::create_directories(dir / "here");
  write_file(dir / "here/zone.lvz", container_builder().raw("b.txt", "b").build());
  EXPECT_EQ(run_program(tarnsplit_path(), {"--output", ".", "zone.lvz"}, dir / "here").status, 0);
  EXPECT_EQ(list_directory(dir / "here"), (std::vector<std::string>{"b.txt", "zone.ini", "zone.lvz"}));

  // One level is made, no more; and the description's name stays protected.
  run_result deep = run({"-o", "missing/out", "zone.lvz"});
  EXPECT_EQ(deep.status, static_cast<int>(unpack_status::directory_not_created));
  EXPECT_TRUE(is_failure_output(deep.out, "Could not create output directory.\n")) << deep.out;
  EXPECT_FALSE(file_exists(dir / "missing"));
  write_file(dir / "zone.lvz", container_builder().raw("ZONE.ini", "planted").build());
  run_result planted = run({"-o", "out", "zone.lvz"});
  EXPECT_EQ(planted.status, static_cast<int>(unpack_status::file_not_extracted));
  EXPECT_TRUE(is_failure_output(planted.out, "Refusing unsafe file name: ZONE.ini\n")) << planted.out;
}

TEST_F(TarnsplitModes, NeverReplacesTheContainerItReads) {
  // Extracted beside itself: a container holding a file of its own name, and one whose name
  // is that of the description it writes.
  struct row {
    std::string name, container;
    unpack_status status;
    std::vector<std::string> left;
  };
  const row rows[] = {
      {"zone.lvz", container_builder().raw("a.txt", "a").raw("zone.lvz", "an older zone").build(),
       unpack_status::file_not_extracted, {"a.txt", "zone.lvz"}},
      {"zone.ini", container_builder().raw("a.txt", "a").build(), unpack_status::description_not_written, {"zone.ini"}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    scratch_dir here;
    write_file(here / r.name, r.container);
    run_result result = run_program(tarnsplit_path(), {"-o", ".", r.name}, here.path());
    EXPECT_EQ(result.status, static_cast<int>(r.status));
    EXPECT_TRUE(is_failure_output(result.out, "Could not created .\\" + r.name + ". GetLastError(): 32\n")) << result.out;
    EXPECT_TRUE(read_file(here / r.name) == r.container);
    EXPECT_EQ(list_directory(here.path()), r.left);
  }
}

// Every container is taken in turn; each failure is reported, naming its container, none stops
// the others, and the first one's status is the run's. An argument after the first name is a name.
TEST_F(TarnsplitModes, TakesSeveralContainersInTurn) {
  write_file(dir / "-a.lvz", container_builder().raw("a.txt", "a").build());
  write_file(dir / "b.lvz", container_builder().raw("b.txt", "b").build(2));
  write_file(dir / "c.lvz", container_builder().raw("c.txt", "c").build());
  run_result result = run({"--", "-a.lvz", "b.lvz", "missing.lvz", "c.lvz", "-l"});
  EXPECT_EQ(result.status, static_cast<int>(unpack_status::section_header_missing));
  auto not_opened = [&](const std::string& name) {
    return "Could not open file: " + (dir / name) + "\nExe's location: " + tarnsplit_path() +
           "\nGetLastError(): 2\n";
  };
  const std::string section_missing = "Could not access compressed data section number 1\n";
  EXPECT_TRUE(is_reported(result.out, {"b.lvz: " + section_missing, "",
                                       "missing.lvz: " + not_opened("missing.lvz"), "", "-l: " + not_opened("-l")}))
      << result.out;
  EXPECT_EQ(read_file(dir / "-a/a.txt"), "a");
  EXPECT_EQ(read_file(dir / "b/b.txt"), "b");
  EXPECT_EQ(read_file(dir / "c/c.txt"), "c");

  // With -o each goes into a folder of its own inside the one folder.
  EXPECT_EQ(run({"-o", "all", "--", "-a.lvz", "c.lvz"}).status, 0);
  EXPECT_EQ(list_directory(dir / "all"), (std::vector<std::string>{"-a", "c"}));
  EXPECT_EQ(list_directory(dir / "all/-a"), (std::vector<std::string>{"-a.ini", "a.txt"}));
  EXPECT_EQ(list_directory(dir / "all/c"), (std::vector<std::string>{"c.ini", "c.txt"}));

  run_result tested = run({"-t", "--", "-a.lvz", "b.lvz", "c.lvz"});
  EXPECT_EQ(tested.status, static_cast<int>(unpack_status::section_header_missing));
  EXPECT_TRUE(is_reported(tested.out, {"-a.lvz: OK, 1 file, 0 images, 0 objects\nb.lvz: " + section_missing,
                                       "c.lvz: OK, 1 file, 0 images, 0 objects\n"}))
      << tested.out;

  run_result listed = run({"-l", "--", "b.lvz", "c.lvz"});
  EXPECT_EQ(listed.status, static_cast<int>(unpack_status::section_header_missing));
  const std::string b_line = "         1           1    0.0%  2001-09-09 01:46:40  b.txt\n";
  const std::string c_line = "         1           1    0.0%  2001-09-09 01:46:40  c.txt\n";
  const std::string c_totals = "         1           1    0.0%                       1 section\n";
  EXPECT_TRUE(is_reported(listed.out, {"b.lvz:\n" + table_head + b_line + "b.lvz: " + section_missing,
                                       "\nc.lvz:\n" + table_head + c_line + table_rule + c_totals}))
      << listed.out;
}

// A container bound for a folder that an earlier one of the run went into is refused before
// anything is written, with -o (containers of one name in different folders) or without.
TEST_F(TarnsplitModes, NeverReplacesWhatTheRunWrote) {
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{"-o", "all", "zone.lvz", "sub\\zone.lvz"}, "sub\\zone.lvz: Output directory all\\zone"},
      {{"-o", "all", "zone.lvz", "sub/zone.lvz"}, "sub/zone.lvz: Output directory all\\zone"},
      {{"zone.lvz", ".\\zone.lvz"}, ".\\zone.lvz: Output directory .\\zone"},
  };
  for (const auto& [args, refused] : rows) {
    SCOPED_TRACE(refused);
    scratch_dir here;
    write_file(here / "zone.lvz", container_builder().raw("x.txt", "first").build());
    fs::create_directory(here / "sub");
    write_file(here / "sub/zone.lvz", container_builder().raw("x.txt", "second").raw("y.txt", "y").build());
    run_result result = run_program(tarnsplit_path(), args, here.path());
    EXPECT_EQ(result.status, static_cast<int>(unpack_status::directory_not_created));
    EXPECT_TRUE(is_failure_output(result.out, refused + " was used by an earlier container\n")) << result.out;
    std::string folder = here / (args[0] == "-o" ? "all/zone" : "zone");
    EXPECT_EQ(read_file(folder + "/x.txt"), "first");
    EXPECT_EQ(list_directory(folder), (std::vector<std::string>{"x.txt", "zone.ini"}));
  }
}

TEST_F(TarnsplitModes, RefusesCommandLinesItCannotTake) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-x", "zone.lvz"}, "Unknown option: -x\n"},
      {{"--list", "--output"}, "Option --output needs a folder\n"},
      {{"--json", "zone.lvz"}, "Option --json needs --list\n"},
      {{"-l", "-t", "zone.lvz"}, "Options --list and --test cannot be used together\n"},
      // Refused where the second way of running is asked for, before what follows it.
      {{"-t", "--list", "-x", "zone.lvz"}, "Options --list and --test cannot be used together\n"},
      {{"-t", "-o", "out", "zone.lvz"}, "Options --output and --test cannot be used together\n"},
      {{"--list"}, "Option --list needs the name of a container\n"},
      {{"-l", "--json", "zone.lvz", "zone.lvz"}, "Option --json lists one container only\n"},
      {{"--json", "-l", "zone.lvz", "zone.lvz"}, "Option --json lists one container only\n"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    run_result result = run_writing_nothing(args, sound);
    EXPECT_EQ(result.status, static_cast<int>(unpack_status::bad_command_line));
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(message + "Usage: tarnsplit"), std::string::npos) << result.err;
  }
}
