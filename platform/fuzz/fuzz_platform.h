// The fuzz targets' hold on the in-memory platform: they hand it the container bytes and
// read back what the program tried to create.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz_platform {

// Serves data (size bytes, kept alive by the caller for the whole run) to every
// open_input_stream, and forgets what earlier runs created.
void set_input(const uint8_t* data, size_t size);

// Every path handed to stage_output_file since set_input, in order (system form, as
// the program passed it).
const std::vector<std::string>& created_files();

}  // namespace fuzz_platform
