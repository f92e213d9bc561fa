// tarnsplit's command line: the options, which come before the first container's name,
// and the names.
#pragma once

#include <vector>

#include "unpack_status.h"

enum class run_mode { extract, list, test };
enum class command_action { run, help, version };

struct tarnsplit_command {
  command_action action = command_action::run;
  run_mode mode = run_mode::extract;
  bool json = false;                       // --list as one JSON document
  const char* output_directory = nullptr;  // -o DIR; nullptr: next to each container
  std::vector<const char*> containers;     // none: the name is asked for
};

// Reads main's arguments into command: success, or bad_command_line after printing what is
// wrong and the usage on standard error. "--" ends the options; so does the first argument
// that does not begin with '-' (or is "-" alone), and every later one is a name.
unpack_status read_command_line(int argc, char** argv, tarnsplit_command& command);

// --help and --version, on standard output.
void print_help();
void print_version();
