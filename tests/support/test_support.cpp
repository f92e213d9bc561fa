// Files, directories and containers for the tests (portable parts).
#include "test_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>
#include <zlib.h>

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

container_builder& container_builder::bytes(const std::string& extra) {
  body_ += extra;
  return *this;
}

std::string container_builder::build() const { return build(sections_); }

std::string container_builder::build(uint32_t section_count) const {
  return "CONT" + u32le(section_count) + body_;
}

namespace {

// The build names programs by the build machine's paths: under wine "/work/..." still
// has to become a path of the Windows side (Z:\work\...).
std::string program_path(const char* built) {
  return *built ? fs::absolute(built).make_preferred().string() : std::string();
}

}  // namespace

std::string tarnsplit_path() { return program_path(TARNSPLIT_PATH); }
std::string tarnpack_path() {
#ifdef TARNPACK_PATH
  return program_path(TARNPACK_PATH);
#else
  return "";
#endif
}
