// Paths in the output directory.
#include "output_paths.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "os_services.h"
#include "paths.h"
#include "safe_name.h"

namespace {

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
  std::string name = name_as_created(without_extension(system_file_name(input_name)));
  if (argc >= 2) return copy_to_heap(system_directory_part(argv[1]) + name);
  std::string typed = system_directory_part(input_name) + name;
  if (names_its_root(input_name)) return copy_to_heap(typed);
  return copy_to_heap(system_directory_part(argc >= 1 ? argv[0] : "") + typed);
}

bool stage_in_dir(const char* name, const char* directory, const std::vector<file_identity>& in_use,
                  staged_file* file) {
  return stage_output_file(joined(directory, name).c_str(), in_use, file);
}
