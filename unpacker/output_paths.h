// Paths in the output directory: its name, and creating a file in it. Strings handed back
// come from malloc and belong to the caller (release with free).
#pragma once

#include <vector>

#include "os_services.h"

// The output directory for the container named input_name: next to the container when it
// came as an argument (argc >= 2) or was typed with its root or drive; next to the program,
// as argv[0] names it, when a relative name was typed, with the typed name's directories.
// Named by the container's file name without its extension (a dot in a directory's name is
// no extension), as the system will create it (name_as_created). A new string.
char* output_directory_path(int argc, char** argv, const char* input_name);

// Starts directory + "\\" + name as a file written under a temporary name and given its
// own when whole (stage_output_file: never through a link, and never over one of in_use).
// False when that fails.
bool stage_in_dir(const char* name, const char* directory, const std::vector<file_identity>& in_use,
                  staged_file* file);
