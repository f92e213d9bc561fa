// Paths in the output directory: its name, and creating a file in it. Strings handed back
// come from malloc and belong to the caller (release with free).
#pragma once

#include <vector>

#include "os_services.h"

// The output directory for the container named input_name: next to the container when it
// came as an argument (argc >= 2), next to the program (argv[0]) when it was typed, with the
// typed name's directories; named by the container's file name without its extension (a
// dot in a directory's name is no extension). A new string.
char* output_directory_path(int argc, char** argv, const char* input_name);

// Starts directory + "\\" + name as a file written under a temporary name and given its
// own when whole (stage_output_file: never through a link, and never over one of in_use).
// False when that fails.
bool stage_in_dir(const char* name, const char* directory, const std::vector<file_identity>& in_use,
                  staged_file* file);
