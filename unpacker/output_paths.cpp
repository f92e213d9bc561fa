// Paths in the output directory.
#include "output_paths.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "os_services.h"
#include "paths.h"
#include "safe_name.h"

namespace {

// The directory part of path: everything up to and including its last separator.
std::string directory_part(const char* path) {
  const char* sep = last_separator(path);
  return sep ? std::string(path, static_cast<size_t>(sep - path + 1)) : std::string();
}

char* copy_to_heap(const std::string& text) {
  auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

std::string joined(const char* directory, const char* name) {
  return std::string(directory) + "\\" + name;
}

}  // namespace

char* output_directory_path(int argc, char** argv, const char* input_name) {
  // The extension comes off the file name only: a dot in a directory's name stays.
  std::string name = without_extension(file_name_part(input_name));
  if (argc >= 2) return copy_to_heap(directory_part(argv[1]) + name);
  return copy_to_heap(directory_part(argc >= 1 ? argv[0] : "") + directory_part(input_name) + name);
}

bool stage_in_dir(const char* name, const char* directory, const std::vector<file_identity>& in_use,
                  staged_file* file) {
  return stage_output_file(joined(directory, name).c_str(), in_use, file);
}
