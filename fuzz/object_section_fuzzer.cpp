// Fuzz target: the object-section renderer alone on any content. It may end only with 0 or
// the object section's own statuses (12, 13, 14), and its work is bounded by its input: the
// text it writes is at most a fixed multiple of the content's length. And it writes no line
// that the content did not give: read as tarnpack reads a description, the text holds one
// IMAGEn line per image entry, numbered in turn, and one object line per object record, and
// no other line in those sections or outside them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "fuzz_check.h"
#include "object_section.h"
#include "object_section_writer.h"

namespace {

// The longest text one input byte can give: a 10-byte record becomes a line of at most 90
// characters, a 7-byte image entry two lines of at most 110; plus the fixed report lines.
constexpr size_t text_per_byte = 32;
constexpr size_t fixed_text = 4096;

struct line_counts {
  uint32_t images = 0, map_objects = 0, screen_objects = 0;
};

// The lines of text that tarnpack's reader takes, counted by section: a CR ends a line as a
// LF does, blanks lead, and blank lines and comments are passed over.
line_counts described_lines(const std::string& text) {
  line_counts counts;
  std::string section;
  std::set<std::string> headers;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == ';') continue;
    line.erase(0, first);
    if (line[0] == '[') {
      require(line == "[objectimages]" || line == "[mapobjects]" || line == "[screenobjects]",
              "a section header the content did not give: " + line);
      require(headers.insert(line).second, "a second " + line);
      section = line;
    } else if (section == "[objectimages]") {
      std::string name = "IMAGE" + std::to_string(counts.images) + "=";
      require(line.compare(0, name.size(), name) == 0, "an image line out of turn: " + line);
      ++counts.images;
    } else if (section == "[mapobjects]") {
      ++counts.map_objects;
    } else if (section == "[screenobjects]") {
      ++counts.screen_objects;
    } else {
      require(false, "a line outside the object sections: " + line);
    }
  }
  return counts;
}

// What a content whose every part was read holds.
line_counts content_counts(const uint8_t* data) {
  object_section_header header = decode_object_section_header(data);
  line_counts counts;
  counts.images = header.image_count;
  for (uint32_t k = 0; k < header.object_count; ++k) {
    const uint8_t* record = data + object_section_header_size + k * object_record_size;
    ++(decode_object_record(record).is_map ? counts.map_objects : counts.screen_objects);
  }
  return counts;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silence_stdout();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char* text = nullptr;
  size_t text_size = 0;
  FILE* out = open_memstream(&text, &text_size);
  if (!out) return 0;
  auto length = static_cast<uint32_t>(size);
  unpack_status status = write_object_section(out, data, length, length, length);
  std::fclose(out);
  std::string written(text, text_size);
  std::free(text);
  require(status == unpack_status::success || status == unpack_status::description_not_written ||
              status == unpack_status::objects_invalid || status == unpack_status::image_entry_invalid,
          "status outside 0, 12, 13, 14: " + std::to_string(static_cast<int>(status)));
  require(text_size <= fixed_text + text_per_byte * size,
          "wrote " + std::to_string(text_size) + " bytes for " + std::to_string(size));

  line_counts lines = described_lines(written);
  if (status != unpack_status::success) {
    // Object lines follow the images, so a failure leaves none; the images before it stay.
    require(lines.map_objects == 0 && lines.screen_objects == 0, "object lines before a failure");
    require(size < object_section_header_size ||
                lines.images <= decode_object_section_header(data).image_count,
            "more image lines than entries");
    return 0;
  }
  line_counts expected = content_counts(data);
  require(lines.images == expected.images, "image lines: " + std::to_string(lines.images) + " for " +
                                               std::to_string(expected.images) + " entries");
  require(lines.map_objects == expected.map_objects && lines.screen_objects == expected.screen_objects,
          "object lines other than the records");
  return 0;
}
