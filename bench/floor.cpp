// bench_floor: the least work that packing and unpacking a container can do, as a yardstick
// for the programs: zlib's one-call compress or uncompress over the same files and sections,
// plus one read and one write of the bytes. No checks beyond what keeps it from crashing.
//
//   bench_floor pack DESCRIPTION OUTPUT    every File= / ExtractFile= path of the description
//   bench_floor unpack CONTAINER DIRECTORY every section's content as a file in DIRECTORY
//
// pack writes a valid container (time stamps 0, no duplicate check), so that the unpacking
// floor has something to read before the packer exists.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#include <zlib.h>

#include "container_format.h"
#include "paths.h"

namespace {

int fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "bench_floor: %s %s\n", what, detail.c_str());
  return 1;
}

// A block that only ever grows, so that repeated use faults its pages in once.
class reusable_block {
 public:
  ~reusable_block() { std::free(data_); }
  unsigned char* at_least(size_t size) {
    if (size > capacity_) {
      std::free(data_);
      data_ = static_cast<unsigned char*>(std::malloc(size ? size : 1));
      capacity_ = data_ ? size : 0;
    }
    return data_;
  }

 private:
  unsigned char* data_ = nullptr;
  size_t capacity_ = 0;
};

bool starts_with_ignoring_case(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix)
    if (std::tolower(static_cast<unsigned char>(*text)) != std::tolower(static_cast<unsigned char>(*prefix)))
      return false;
  return true;
}

// The values of the description's File and ExtractFile lines, Files first, in their order.
std::vector<std::string> listed_files(const char* description) {
  std::vector<std::string> files, extract_files;
  FILE* in = std::fopen(description, "rb");
  if (!in) return files;
  char line[4096];
  while (std::fgets(line, sizeof line, in)) {
    line[std::strcspn(line, "\r\n")] = '\0';
    if (starts_with_ignoring_case(line, "File=")) files.emplace_back(line + 5);
    if (starts_with_ignoring_case(line, "ExtractFile=")) extract_files.emplace_back(line + 12);
  }
  std::fclose(in);
  files.insert(files.end(), extract_files.begin(), extract_files.end());
  return files;
}

bool write_all(FILE* out, const void* data, size_t size) {
  return std::fwrite(data, 1, size, out) == size;
}

int pack(const char* description, const char* output) {
  std::vector<std::string> files = listed_files(description);
  if (files.empty()) return fail("no File lines in", description);
  FILE* out = std::fopen(output, "wb");
  if (!out) return fail("cannot create", output);
  unsigned char header[container_header_size];
  encode_container_header(header, static_cast<uint32_t>(files.size()));
  write_all(out, header, sizeof header);

  reusable_block content, scratch;
  for (const std::string& path : files) {
    std::error_code error;
    size_t size = static_cast<size_t>(std::filesystem::file_size(path, error));
    FILE* in = error ? nullptr : std::fopen(path.c_str(), "rb");
    unsigned char* bytes = content.at_least(size);
    if (!in || !bytes) return fail("cannot read", path);
    bool complete = std::fread(bytes, 1, size, in) == size;
    std::fclose(in);
    if (!complete) return fail("cannot read", path);

    const unsigned char* data = bytes;
    uLongf stored = size;
    if (worth_compressing(bytes, size)) {
      uLongf bound = compressBound(size);
      unsigned char* stream = scratch.at_least(bound);
      if (!stream || compress(stream, &bound, bytes, size) != Z_OK) return fail("compress failed on", path);
      if (bound < size) data = stream, stored = bound;
    }
    unsigned char section[section_header_size];
    encode_section_header(section, static_cast<uint32_t>(size), 0, static_cast<uint32_t>(stored));
    const char* name = file_name_part(path.c_str());
    write_all(out, section, sizeof section);
    write_all(out, name, std::strlen(name) + 1);
    write_all(out, data, stored);
  }
  if (std::fclose(out) != 0) return fail("cannot write", output);
  return 0;
}

int unpack(const char* container, const std::string& directory) {
  FILE* in = std::fopen(container, "rb");
  if (!in) return fail("cannot open", container);
  unsigned char header[container_header_size];
  if (std::fread(header, 1, sizeof header, in) != sizeof header) return fail("no header in", container);
  uint32_t count = decode_container_header(header).section_count;
  std::filesystem::create_directory(directory);

  reusable_block stored_block, restored_block;
  for (uint32_t index = 0; index < count; ++index) {
    unsigned char raw[section_header_size];
    if (std::fread(raw, 1, sizeof raw, in) != sizeof raw) return fail("short section in", container);
    section_header section = decode_section_header(raw);
    std::string name;
    for (int c; (c = std::getc(in)) > 0;) name += static_cast<char>(c);
    unsigned char* stored = stored_block.at_least(section.stored_size);
    if (!stored || std::fread(stored, 1, section.stored_size, in) != section.stored_size)
      return fail("short data in", container);

    const unsigned char* content = stored;
    if (!is_raw_section(section)) {
      unsigned char* restored = restored_block.at_least(section.full_size);
      uLongf length = section.full_size;
      if (!restored || uncompress(restored, &length, stored, section.stored_size) != Z_OK ||
          length != section.full_size)
        return fail("uncompress failed on", name);
      content = restored;
    }
    if (name.empty()) name = "object-section";
    std::string path = directory + "/" + name;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return fail("cannot create", path);
    bool written = write_all(out, content, section.full_size);
    if (std::fclose(out) != 0 || !written) return fail("cannot write", path);
  }
  std::fclose(in);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "pack") == 0) return pack(argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "unpack") == 0) return unpack(argv[2], argv[3]);
  std::fprintf(stderr,
               "Usage: bench_floor pack DESCRIPTION OUTPUT\n"
               "       bench_floor unpack CONTAINER DIRECTORY\n");
  return 2;
}
