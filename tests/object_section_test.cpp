// The object section's bytes, packing rules and name tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "object_section.h"

namespace {

using bytes = std::vector<unsigned char>;

// One image (pic, the defaults) and one screen object: number 5, x C-5, y 100, IMAGE0,
// TopMost, EnterZone, display time 1000.
const bytes example = {0x43, 0x4C, 0x56, 0x32, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
                       0x00, 0x0A, 0x00, 0xB1, 0xFF, 0x40, 0x06, 0x00, 0x07, 0x64, 0x10,
                       0x01, 0x00, 0x01, 0x00, 0x64, 0x00, 0x70, 0x69, 0x63, 0x00};

}  // namespace

TEST(ObjectSection, EncodesTheDocumentedExampleByteForByte) {
  bytes block(32);
  encode_object_section_header(block.data(), object_magic_v2, 1, 1);
  object_record record{};
  record.is_map = false;
  record.object_id = object_id_from_number(5);
  record.x = encode_screen_coordinate(-5, static_cast<uint8_t>(screen_reference_code('C')));
  record.y = encode_screen_coordinate(100, static_cast<uint8_t>(screen_reference_code('+')));
  record.image_index = 0;
  record.layer = static_cast<uint8_t>(display_layer_code("TopMost"));
  record.mode = static_cast<uint8_t>(display_mode_code("EnterZone"));
  record.display_time = display_time_from_description(1000);
  encode_object_record(block.data() + 12, record);
  encode_image_entry_head(block.data() + 22, {default_x_frames, default_y_frames, default_animation_time});
  std::memcpy(block.data() + 28, "pic", 4);
  EXPECT_EQ(block, example);

  // The same object on the map at 1000, -20.
  record.is_map = true;
  record.x = map_coordinate(1000);
  record.y = map_coordinate(-20);
  bytes map_record(10);
  encode_object_record(map_record.data(), record);
  EXPECT_EQ(map_record, (bytes{0x0B, 0x00, 0xE8, 0x03, 0xEC, 0xFF, 0x00, 0x07, 0x64, 0x10}));
}

TEST(ObjectSection, DecodesTheDocumentedExample) {
  object_section_header header = decode_object_section_header(example.data());
  EXPECT_EQ(object_version_of(header.magic), object_version::v2);
  EXPECT_EQ(header.object_count, 1u);
  EXPECT_EQ(header.image_count, 1u);

  object_record r = decode_object_record(example.data() + 12);
  EXPECT_FALSE(r.is_map);
  EXPECT_EQ(r.object_id, 5);
  EXPECT_EQ(r.image_index, 0);
  EXPECT_EQ(r.layer, 7);
  EXPECT_EQ(r.mode, 1);
  EXPECT_EQ(description_display_time(r.display_time), 1000);
  screen_coordinate x = decode_screen_coordinate_v2(r.x);
  screen_coordinate y = decode_screen_coordinate_v2(r.y);
  EXPECT_EQ(x.reference, 1);
  EXPECT_EQ(x.offset, -5);
  EXPECT_EQ(y.reference, 0);
  EXPECT_EQ(y.offset, 100);

  image_entry_head image = decode_image_entry_head(example.data() + 22);
  EXPECT_TRUE(has_default_animation(image));
}

TEST(ObjectSection, KnowsBothMagicsOnly) {
  const unsigned char v1[] = "CLV1", other[] = "CLV3", lower[] = "clv2";
  EXPECT_EQ(object_version_of(v1), object_version::v1);
  EXPECT_EQ(object_version_of(other), object_version::unknown);
  EXPECT_EQ(object_version_of(lower), object_version::unknown);
}

TEST(ObjectSection, PacksScreenCoordinatesIntoTwelveBitsAndAReference) {
  EXPECT_EQ(static_cast<uint16_t>(encode_screen_coordinate(-5, 1)), 0xFFB1);
  EXPECT_EQ(encode_screen_coordinate(100, 0), 1600);
  screen_coordinate wrapped = decode_screen_coordinate_v2(encode_screen_coordinate(2048, 0));
  EXPECT_EQ(wrapped.offset, -2048);  // 2048 does not fit in 12 bits
  for (int offset : {-2048, -1, 0, 1, 2047})
    for (uint8_t reference : {0, 1, 11, 13, 15}) {
      screen_coordinate c = decode_screen_coordinate_v2(encode_screen_coordinate(offset, reference));
      EXPECT_EQ(c.offset, offset);
      EXPECT_EQ(c.reference, reference);
    }
  EXPECT_EQ(map_coordinate(1000), 1000);
  EXPECT_EQ(map_coordinate(40000), 40000 - 65536);
}

TEST(ObjectSection, ReadsVersion1ScreenCoordinatesAroundTheCentre) {
  struct expected_coordinate {
    int16_t field;
    uint8_t reference;
    int32_t offset;
  };
  for (auto e : {expected_coordinate{20000, 1, 0}, {19990, 1, -10}, {20010, 1, 10},
                 {15000, 1, -5000}, {25000, 1, 5000}, {14999, 0, 14999},
                 {25001, 0, 25001}, {-5, 0, -5}}) {
    screen_coordinate c = decode_screen_coordinate_v1(e.field);
    EXPECT_EQ(c.reference, e.reference) << e.field;
    EXPECT_EQ(c.offset, e.offset) << e.field;
  }
}

TEST(ObjectSection, StoresDisplayTimesInTensUpTo4095) {
  EXPECT_EQ(display_time_from_description(12345), 1234);
  EXPECT_EQ(description_display_time(1234), 12340);
  EXPECT_EQ(display_time_from_description(99999), 4095);
  EXPECT_EQ(display_time_from_description(50000), 4095);
  EXPECT_EQ(display_time_from_description(9), 0);
  EXPECT_EQ(display_time_from_description(-10), 4095);  // -1 in 12 bits
  EXPECT_EQ(description_display_time(4095), 40950);

  unsigned char record[10] = {};
  object_record r{};
  r.mode = 5;
  r.display_time = 4095;
  encode_object_record(record, r);
  EXPECT_EQ(load_u16(record + 8), 0x5FFF);
  record[9] = 0xF0;  // a mode no table names survives decoding as it is
  EXPECT_EQ(decode_object_record(record).mode, 15);
}

TEST(ObjectSection, KeepsTheLow15BitsOfAnObjectNumber) {
  EXPECT_EQ(object_id_from_number(32767), 32767);
  EXPECT_EQ(object_id_from_number(32768), 0);
  EXPECT_EQ(object_id_from_number(-1), 32767);
  unsigned char record[10] = {};
  object_record r{};
  r.is_map = true;
  r.object_id = 32767;
  encode_object_record(record, r);
  EXPECT_EQ(load_u16(record), 0xFFFF);
  object_record back = decode_object_record(record);
  EXPECT_TRUE(back.is_map);
  EXPECT_EQ(back.object_id, 32767);
}

TEST(NameTables, LookUpNamesWithoutRegardToCaseAndNeverReadPastTheirEnds) {
  EXPECT_EQ(display_layer_code("BelowAll"), 0);
  EXPECT_EQ(display_layer_code("topmost"), 7);
  EXPECT_EQ(display_layer_code("AFTERCHAT"), 6);
  EXPECT_EQ(display_layer_code("Top"), -1);
  EXPECT_EQ(display_layer_code("TopMostX"), -1);
  EXPECT_EQ(display_layer_code(""), -1);
  EXPECT_EQ(display_mode_code("serverCONTROLLED"), 5);
  EXPECT_EQ(display_mode_code("kill"), 3);
  EXPECT_EQ(display_mode_code("Killed"), -1);

  EXPECT_STREQ(display_layer_name(0), "BelowAll");
  EXPECT_STREQ(display_layer_name(7), "TopMost");
  EXPECT_EQ(display_layer_name(8), nullptr);
  EXPECT_EQ(display_layer_name(255), nullptr);
  EXPECT_STREQ(display_mode_name(5), "ServerControlled");
  EXPECT_EQ(display_mode_name(6), nullptr);
  EXPECT_EQ(display_mode_name(static_cast<unsigned>(-1)), nullptr);
}

TEST(NameTables, MapReferenceLettersToTheirPositions) {
  const char letters[] = "+CBSGFETROWV";
  for (int code = 0; code < 12; ++code) {
    EXPECT_EQ(screen_reference_code(letters[code]), code);
    EXPECT_EQ(screen_reference_code(ascii_lower(letters[code])), code);
  }
  for (char other : {'\0', 'x', 'A', '-', '1', ' '}) EXPECT_EQ(screen_reference_code(other), -1);

  EXPECT_EQ(screen_reference_letter(0), '\0');
  EXPECT_EQ(screen_reference_letter(1), 'C');
  EXPECT_EQ(screen_reference_letter(11), 'V');
  EXPECT_EQ(screen_reference_letter(12), '\0');
  EXPECT_EQ(screen_reference_letter(15), '\0');
  EXPECT_EQ(screen_reference_c, screen_reference_code('c'));
}
