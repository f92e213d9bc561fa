// tarnpack's command line: options at its start, then the description's path verbatim.
#pragma once

#include <string>

enum class tarnpack_action { pack, check, help, version, unknown_option };

struct tarnpack_command {
  tarnpack_action action;
  const char* path;    // pack and check: the rest of the text, verbatim ("" asks for one)
  std::string option;  // unknown_option: the word not understood
};

// Reads the options that open text, each a word of its own followed by blanks:
// -c/--check, -h/--help, -V/--version, and -- that ends them. The first word that does not
// begin with '-' (or is "-" alone), and whatever follows --, begins the path. Help wins
// over version, and both over checking. A text that does not begin with '-' is all path,
// as it always was; path points into text.
tarnpack_command parse_command_line(const char* text);

// The message for an option that is not understood, before the usage.
std::string unknown_option_message(const std::string& option);
