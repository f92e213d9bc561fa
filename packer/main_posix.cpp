// tarnpack's entry point on POSIX: hands the run the command-line text, the arguments
// joined with single spaces, as Windows hands it to WinMain.
#include <cstdio>
#include <cstring>
#include <string>

#include "check_display.h"
#include "check_report.h"
#include "command_line.h"
#include "pack_run.h"
#include "usage.h"

namespace {

// Prints text to out, whose lines are paragraphs, with each line broken at its last blank
// within 80 characters, as a terminal shows it best.
void print_wrapped(std::FILE* out, const char* text) {
  constexpr size_t width = 80;
  while (*text) {
    size_t cut = std::strcspn(text, "\n");
    if (cut > width) {
      cut = width;
      while (cut > 0 && text[cut] != ' ') --cut;
      if (cut == 0) cut = width;  // one word longer than a line
    }
    std::fprintf(out, "%.*s\n", static_cast<int>(cut), text);
    text += cut;
    if (*text == ' ' || *text == '\n') ++text;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string command_line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) command_line += ' ';
    command_line += argv[i];
  }
  tarnpack_command command = parse_command_line(command_line.c_str());
  switch (command.action) {
    case tarnpack_action::help:
      print_wrapped(stdout, tarnpack_usage);
      return 0;
    case tarnpack_action::version:
      std::fputs(tarnpack_version, stdout);
      return 0;
    case tarnpack_action::unknown_option:
      std::fprintf(stderr, "Error: %s\n", unknown_option_message(command.option).c_str());
      print_wrapped(stderr, tarnpack_usage);
      return exit_failed;
    case tarnpack_action::check: {
      check_report check;
      exit_status status = check_tarnpack(command.path, check);
      if (status != exit_cancelled) print_check(check);
      return status;
    }
    case tarnpack_action::pack:
      break;
  }
  return run_tarnpack(command.path);
}
