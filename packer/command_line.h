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

// The text after the program's name in a Windows command line, as WinMain is to receive it:
// the name runs to the first blank outside quotes, then the blanks go. Bytes from 0x80 up
// are characters, never blanks: the start-up code of mingw-w64 compares signed bytes and
// drops those that begin the path ("\xFCber.ini" in code page 1252, any double-byte
// character of 932), so WinMain takes its text from here.
const char* text_after_program_name(const char* command_line);

// The message for an option that is not understood, before the usage.
std::string unknown_option_message(const std::string& option);
