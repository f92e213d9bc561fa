// Writes samples/zone.lvz, the demo's container: two text files, two small images and an
// object section that places them, laid out as tarnpack would write them.
// Usage: sample_zone OUTPUT.lvz
#include <cstdio>
#include <string>
#include <vector>

#include "object_section.h"
#include "test_support.h"

namespace {

// A bottom-up 24-bit BMP of width x height pixels, all of one colour.
std::string bmp(int width, int height, unsigned char red, unsigned char green, unsigned char blue) {
  int row = (width * 3 + 3) / 4 * 4;
  auto pixels = static_cast<uint32_t>(row * height);
  std::string rows;
  for (int y = 0; y < height; ++y) {
    std::string line;
    for (int x = 0; x < width; ++x) line += {static_cast<char>(blue), static_cast<char>(green), static_cast<char>(red)};
    line.resize(static_cast<size_t>(row), '\0');
    rows += line;
  }
  return "BM" + u32le(54 + pixels) + u32le(0) + u32le(54) + u32le(40) + u32le(static_cast<uint32_t>(width)) +
         u32le(static_cast<uint32_t>(height)) + u16le(1) + u16le(24) + u32le(0) + u32le(pixels) +
         u32le(2835) + u32le(2835) + u32le(0) + u32le(0) + rows;
}

struct placed_object {
  bool is_map;
  const char* x;  // as the description writes it: an optional reference letter, a number
  const char* y;
  uint8_t image_index;
  const char* layer;
  const char* mode;
  int32_t display_time;
  int32_t number;
};

int16_t coordinate(const char* text, bool is_map) {
  int reference = screen_reference_code(text[0]);
  if (reference >= 0) ++text;
  int32_t number = std::stoi(text);
  if (is_map) return map_coordinate(number);
  return encode_screen_coordinate(number, static_cast<uint8_t>(reference < 0 ? 0 : reference));
}

std::string record_bytes(const placed_object& o) {
  object_record r{};
  r.is_map = o.is_map;
  r.object_id = object_id_from_number(o.number);
  r.x = coordinate(o.x, o.is_map);
  r.y = coordinate(o.y, o.is_map);
  r.image_index = o.image_index;
  r.layer = static_cast<uint8_t>(display_layer_code(o.layer));
  r.mode = static_cast<uint8_t>(display_mode_code(o.mode));
  r.display_time = display_time_from_description(o.display_time);
  unsigned char bytes[object_record_size];
  encode_object_record(bytes, r);
  return std::string(reinterpret_cast<char*>(bytes), sizeof bytes);
}

// The object section: records ordered by layer, map objects first, then the images.
std::string object_block() {
  const placed_object objects[] = {
      {true, "512", "512", 0, "AfterTiles", "ShowAlways", 0, 1},
      {true, "600", "480", 1, "AfterShips", "Kill", 1500, 2},
      {false, "10", "10", 0, "AfterChat", "ServerControlled", 0, 4},
      {false, "C-50", "B10", 1, "TopMost", "EnterZone", 3000, 3},
  };
  std::string block = object_header("CLV2", 4, 2);
  for (const placed_object& o : objects) block += record_bytes(o);
  block += image_entry_bytes(1, 1, 100, "ship.bmp");
  block += image_entry_bytes(4, 2, 80, "explode.bmp");
  return block;
}

std::string notes() {
  std::string text;
  for (int i = 0; i < 40; ++i)
    text += "Welcome to the sample zone, line " + std::to_string(i) + " of the zone's notes.\r\n";
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: sample_zone OUTPUT.lvz\n");
    return 2;
  }
  container_builder zone;
  zone.raw("hello.txt", "Hello from the zone.\r\n", 1070000000);
  zone.compressed("notes.txt", notes(), 1080000000);
  zone.compressed("ship.bmp", bmp(16, 16, 40, 90, 200), 1090000000);
  zone.compressed("explode.bmp", bmp(64, 32, 250, 120, 0), 1090000000);
  std::string block = object_block();
  if (zlib_compress(block).size() < block.size())
    zone.compressed("", block, 0);
  else
    zone.raw("", block, 0);
  write_file(argv[1], zone.build());
  return 0;
}
