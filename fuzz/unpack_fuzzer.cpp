// Fuzz target: the whole unpacker run on a container held in memory. Beyond surviving, the
// run must end with a status of its table, and every file it creates must be the
// description or a safe name inside the output directory. tarnsplit --test must end with
// extraction's status and --list with one of the table, neither creating anything.
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

bool in_table(int status) {
  return status >= static_cast<int>(unpack_status::success) && status <= static_cast<int>(last_unpack_status);
}

// tarnsplit run with option (or none) on the input: its status. No file may be created
// but by extraction.
int run_on_input(const uint8_t* data, size_t size, const char* option) {
  fuzz_platform::set_input(data, size);
  char program[] = "tarnsplit";
  char container[] = "zone.lvz";
  std::string chosen = option ? option : "";
  char* argv[] = {program, option ? &chosen[0] : container, container, nullptr};
  int status = run_tarnsplit(option ? 3 : 2, argv);
  require(in_table(status), std::string("status outside the table: ") + std::to_string(status));
  if (option) require(fuzz_platform::created_files().empty(), std::string(option) + " created a file");
  return status;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silence_stdout();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int tested = run_on_input(data, size, "--test");
  run_on_input(data, size, "--list");
  int status = run_on_input(data, size, nullptr);
  require(tested == status, "--test ended with " + std::to_string(tested) + ", extraction with " +
                                std::to_string(status));

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
