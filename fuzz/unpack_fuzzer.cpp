// Fuzz target: the whole unpacker run on a container held in memory. Beyond surviving, the
// run must end with a status of its table, and every file it creates must be the
// description or a safe name inside the output directory.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "fuzz_platform.h"
#include "safe_name.h"
#include "unpack_run.h"
#include "unpack_status.h"

namespace {

const char output_directory[] = "zone";
const char description_name[] = "zone.ini";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silence_stdout();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_platform::set_input(data, size);
  char program[] = "tarnsplit";
  char container[] = "zone.lvz";
  char* argv[] = {program, container, nullptr};
  int status = run_tarnsplit(2, argv);
  bool in_table =
      status >= static_cast<int>(unpack_status::success) && status <= static_cast<int>(last_unpack_status);
  require(in_table, std::string("status outside the table: ") + std::to_string(status));

  const std::string prefix = std::string(output_directory) + "\\";
  const auto& created = fuzz_platform::created_files();
  for (size_t i = 0; i < created.size(); ++i) {
    const std::string& path = created[i];
    require(path.compare(0, prefix.size(), prefix) == 0, std::string("created outside the output directory: ") + path);
    std::string name = path.substr(prefix.size());
    if (i == 0) {
      require(name == description_name, std::string("the first file created is not the description: ") + path);
      continue;
    }
    require(is_safe_file_name(name.c_str(), description_name), std::string("created an unsafe name: ") + path);
  }
  return 0;
}
