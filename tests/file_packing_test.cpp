// File packing inside the process: the section walk, the duplicate check with and without
// the name index, the object section, and the limits of zlib's scratch and the container.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "byte_buffer.h"
#include "container_format.h"
#include "file_packing.h"
#include "packer_errors.h"
#include "test_harness.h"

namespace {

void start_container(byte_buffer& container) {
  container.set_size(container_header_size);
  encode_container_header(container.data(), 0);
}

void fill(byte_buffer& buffer, const std::string& bytes) {
  buffer.set_size(0);
  buffer.append(bytes.data(), bytes.size());
}

std::string bytes_of(const byte_buffer& buffer) {
  return std::string(reinterpret_cast<const char*>(buffer.data()), buffer.size());
}

std::string text_of(const base_exception& error) {
  char text[512];
  error.get_text(text, sizeof text);
  return text;
}

const std::string long_text(400, 'x');

}  // namespace

TEST(FilePacking, SectionAfterStepsFromSectionToSection) {
  byte_buffer container, content;
  start_container(container);
  fill(content, "short");
  pack_section(container, content, "dir\\one.txt", 1);
  fill(content, long_text);
  pack_section(container, content, "two.txt", 2);
  fill(content, "third");
  pack_section(container, content, "three", 3);
  EXPECT_EQ(section_count(container), 3u);

  const unsigned char* first = container.data() + container_header_size;
  const unsigned char* second = section_after(first);
  const unsigned char* third = section_after(second);
  EXPECT_EQ(second - first, 16 + 8 + 5);
  EXPECT_STREQ(reinterpret_cast<const char*>(second + 16), "two.txt");
  EXPECT_STREQ(reinterpret_cast<const char*>(third + 16), "three");
  EXPECT_EQ(section_after(third), container.data() + container.size());
}

TEST(FilePacking, FindsDuplicatesTheSameWayWithOrWithoutTheNameIndex) {
  // The entries' duplicates are decided through an index of names; the object section's
  // by walking the container. Both must leave out the same names.
  byte_buffer walked, content;
  start_container(walked);
  std::vector<std::string> paths = {"a\\Ship.bmp", "SHIP.BMP", "b.txt", "x\\ship.bmp", "B.TXT", "c"};
  std::vector<bool> taken = taken_names(paths);
  for (size_t i = 0; i < paths.size(); ++i) {
    uint32_t before = section_count(walked);
    fill(content, paths[i] + long_text);
    pack_section(walked, content, paths[i].c_str(), 7);
    EXPECT_EQ(section_count(walked) == before, taken[i]) << paths[i];
  }
  EXPECT_EQ(section_count(walked), 3u);
}

TEST(FilePacking, TheObjectSectionHasNoNameAndTimeZero) {
  byte_buffer container, content;
  start_container(container);
  fill(content, "a.txt");
  pack_section(container, content, "a.txt", 5);
  fill(content, "CLV2 object block");
  pack_section(container, content, "", 0);
  auto sections = read_container(bytes_of(container));
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[1].name, "");
  EXPECT_EQ(sections[1].time, 0u);
  EXPECT_EQ(sections[1].full_size, 17u);
  EXPECT_EQ(sections[1].stored_size, 17u);
  EXPECT_EQ(sections[1].data, "CLV2 object block");
}

TEST(FilePacking, RefusesAnEmptyContentWithTheNameAsGiven) {
  byte_buffer container, content;
  start_container(container);
  try {
    pack_section(container, content, "dir\\empty.txt", 0);
    ADD_FAILURE() << "packed";
  } catch (const text_exception& error) {
    EXPECT_EQ(text_of(error), "Cannot pack empty file dir\\empty.txt");
  }
  EXPECT_EQ(container.size(), container_header_size);
  EXPECT_EQ(section_count(container), 0u);
}

TEST(FilePacking, CompressBlockFailsWhenTheStreamDoesNotFit) {
  std::string source(1000, 'z');
  auto* bytes = reinterpret_cast<const unsigned char*>(source.data());
  unsigned char small[4];
  EXPECT_EQ(compress_block(small, sizeof small, bytes, 1000), -1);
  std::string room(compress_capacity(1000), '\0');
  int64_t length = compress_block(reinterpret_cast<unsigned char*>(&room[0]), static_cast<uint32_t>(room.size()), bytes, 1000);
  ASSERT_GT(length, 0);
  EXPECT_EQ(room.substr(0, static_cast<size_t>(length)), zlib_compress(source));
}

TEST(FilePacking, RefusesToLetTheContainerReach2GiB) {
  byte_buffer container, content;
  try {
    // Never touched: costs address space only. On Windows all the room is taken first:
    // its heap grows a block by copying it, 2 GiB here, which takes wine half a minute.
    if (runs_on_windows()) container.set_size(0x7FFFFFFFu);
    container.set_size(0x80000000u - 36);
  } catch (const memory_exception&) {
    GTEST_SKIP() << "no room for a 2 GiB block";
  }
  encode_container_header(container.data(), 0);
  fill(content, std::string(10, 'c'));
  pack_section(container, content, "fits.bin", 0);  // 16 + 9 + 10 bytes of the 35 left
  EXPECT_EQ(container.size(), 0x7FFFFFFFu);
  fill(content, std::string(1, 'd'));
  try {
    pack_section(container, content, "dir\\big.bin", 0);
    ADD_FAILURE() << "packed";
  } catch (const text_exception& error) {
    EXPECT_EQ(text_of(error), "Container too large (2 GiB or more) to add dir\\big.bin");
  }
  EXPECT_EQ(container.size(), 0x7FFFFFFFu);
  EXPECT_EQ(section_count(container), 1u);
}
