// tarnpack's entry point on POSIX: hands the run the command-line text, the arguments
// joined with single spaces, as Windows hands it to WinMain.
#include <cstdio>
#include <cstring>
#include <string>

#include "pack_run.h"
#include "usage.h"

namespace {

// Prints text, whose lines are paragraphs, with each line broken at its last blank within
// 80 characters, as a terminal shows it best.
void print_wrapped(const char* text) {
  constexpr size_t width = 80;
  while (*text) {
    size_t cut = std::strcspn(text, "\n");
    if (cut > width) {
      cut = width;
      while (cut > 0 && text[cut] != ' ') --cut;
      if (cut == 0) cut = width;  // one word longer than a line
    }
    std::printf("%.*s\n", static_cast<int>(cut), text);
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
  if (command_line == "--help") {
    print_wrapped(tarnpack_usage);
    return 0;
  }
  if (command_line == "--version") {
    std::fputs(tarnpack_version, stdout);
    return 0;
  }
  return run_tarnpack(command_line.c_str());
}
