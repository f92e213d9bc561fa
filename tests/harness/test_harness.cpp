// Files, directories and containers for the tests (portable parts).
#include "test_harness.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <stdexcept>
#include <system_error>
#include <zlib.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

scratch_dir::scratch_dir() {
  static std::mt19937_64 random{std::random_device{}()};
  fs::path base = fs::temp_directory_path();
  for (;;) {
    fs::path candidate = base / ("tarn-test-" + std::to_string(random() % 1000000000));
    if (fs::create_directory(candidate)) {
      path_ = candidate.make_preferred().string();
      return;
    }
  }
}

scratch_dir::~scratch_dir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string scratch_dir::operator/(const std::string& name) const {
  return (fs::path(path_) / name).make_preferred().string();
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool file_exists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

bool is_directory(const std::string& path) {
  std::error_code ignored;
  return fs::is_directory(path, ignored);
}

std::vector<std::string> list_directory(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> tree_snapshot(const std::string& root, const std::string& skip) {
  std::map<std::string, std::string> tree;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    std::string relative = fs::relative(it->path(), root).generic_string();
    if (!skip.empty() && relative == skip) {
      it.disable_recursion_pending();
      continue;
    }
    fs::file_status status = it->symlink_status();
    if (fs::is_symlink(status))
      tree[relative] = "link to " + fs::read_symlink(it->path()).generic_string();
    else if (fs::is_directory(status))
      tree[relative] = "directory";
    else if (fs::is_regular_file(status))
      tree[relative] = "file " + read_file(it->path().string());
    else
      tree[relative] = "special";
  }
  return tree;
}

bool is_failure_output(const std::string& out, const std::string& message) {
  static const std::regex exit_report(std::string("^") + tarnsplit_exit_report_pattern + "$");
  return out.size() >= message.size() && out.compare(0, message.size(), message) == 0 &&
         std::regex_search(out.substr(message.size()), exit_report);
}

std::string u32le(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
  return s;
}

std::string u16le(uint16_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string zlib_compress(const std::string& data) {
  uLongf length = compressBound(static_cast<uLong>(data.size()));
  std::string out(length, '\0');
  compress(reinterpret_cast<Bytef*>(&out[0]), &length, reinterpret_cast<const Bytef*>(data.data()),
           static_cast<uLong>(data.size()));
  out.resize(length);
  return out;
}

std::string zlib_uncompress(const std::string& stream, size_t size) {
  std::string out(size, '\0');
  uLongf length = static_cast<uLongf>(size);
  if (uncompress(reinterpret_cast<Bytef*>(&out[0]), &length, reinterpret_cast<const Bytef*>(stream.data()),
                 static_cast<uLong>(stream.size())) != Z_OK)
    return "";
  out.resize(length);
  return out;
}

std::string object_header(const std::string& magic, uint32_t object_count, uint32_t image_count) {
  return magic + u32le(object_count) + u32le(image_count);
}

std::string object_record_bytes(uint16_t kind_and_id, uint16_t x, uint16_t y, uint8_t image_index,
                                uint8_t layer, uint16_t time_and_mode) {
  return u16le(kind_and_id) + u16le(x) + u16le(y) + static_cast<char>(image_index) +
         static_cast<char>(layer) + u16le(time_and_mode);
}

std::string image_entry_bytes(uint16_t x_frames, uint16_t y_frames, uint16_t animation_time,
                              const std::string& file_name) {
  return u16le(x_frames) + u16le(y_frames) + u16le(animation_time) + file_name + std::string(1, '\0');
}

std::string from_hex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

const std::string& three_thousand_x() {
  static const std::string content(3000, 'x');
  return content;
}

const std::string& three_thousand_x_stream() {
  static const std::string stream = from_hex("789cedc13101000000c2a0da8b6f0d0fa000008077036ce47e8c");
  return stream;
}

namespace {

uint32_t load_u32_at(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return v;
}

}  // namespace

std::vector<container_section> read_container(const std::string& bytes) {
  std::vector<container_section> sections;
  if (bytes.size() < 8 || bytes.compare(0, 4, "CONT") != 0) {
    ADD_FAILURE() << "no container header";
    return sections;
  }
  uint32_t count = load_u32_at(bytes, 4);
  size_t offset = 8;
  for (uint32_t i = 0; i < count; ++i) {
    container_section section;
    size_t name_end = offset + 16 <= bytes.size() ? bytes.find('\0', offset + 16) : std::string::npos;
    if (name_end == std::string::npos) {
      ADD_FAILURE() << "section " << i << " cut short";
      return sections;
    }
    section.magic = bytes.substr(offset, 4);
    section.full_size = load_u32_at(bytes, offset + 4);
    section.time = load_u32_at(bytes, offset + 8);
    section.stored_size = load_u32_at(bytes, offset + 12);
    section.name = bytes.substr(offset + 16, name_end - offset - 16);
    offset = name_end + 1;
    if (bytes.size() - offset < section.stored_size) {
      ADD_FAILURE() << "data of section " << i << " cut short";
      return sections;
    }
    section.data = bytes.substr(offset, section.stored_size);
    offset += section.stored_size;
    sections.push_back(section);
  }
  EXPECT_EQ(offset, bytes.size()) << "bytes after the last section";
  return sections;
}

container_builder& container_builder::section(const std::string& magic, uint32_t full_size,
                                              uint32_t time, uint32_t stored_size,
                                              const std::string& name, const std::string& data) {
  body_ += magic + u32le(full_size) + u32le(time) + u32le(stored_size) + name + std::string(1, '\0') + data;
  ++sections_;
  return *this;
}

container_builder& container_builder::raw(const std::string& name, const std::string& data, uint32_t time) {
  auto size = static_cast<uint32_t>(data.size());
  return section("CONT", size, time, size, name, data);
}

container_builder& container_builder::compressed(const std::string& name, const std::string& data,
                                                 uint32_t time) {
  std::string stream = zlib_compress(data);
  return section("CONT", static_cast<uint32_t>(data.size()), time,
                 static_cast<uint32_t>(stream.size()), name, stream);
}

container_builder& container_builder::objects(const std::string& content) {
  return raw("", content, 0);
}

container_builder& container_builder::bytes(const std::string& extra) {
  body_ += extra;
  return *this;
}

std::string container_builder::build() const { return build(sections_); }

std::string container_builder::build(uint32_t section_count) const {
  return "CONT" + u32le(section_count) + body_;
}

const char tarnsplit_exit_report_pattern[] =
    "Exiting from file unpacker/unpack_run\\.cpp, line [0-9]+\n";

namespace {

// The build names programs by the build machine's paths: under wine "/work/..." still
// has to become a path of the Windows side (Z:\work\...).
std::string program_path(const char* built) { return fs::absolute(built).make_preferred().string(); }

}  // namespace

std::string tarnsplit_path() { return program_path(TARNSPLIT_PATH); }
std::string tarnpack_path() { return program_path(TARNPACK_PATH); }

void expect_tarnpack_error(const run_result& result, const std::string& message) {
  if (!runs_on_windows()) {
    EXPECT_EQ(result.err, "Error: " + message + "\n");
  }
}
