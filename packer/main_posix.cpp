// tarnpack's entry point on POSIX: hands the run the command-line text, the arguments
// joined with single spaces, as Windows hands it to WinMain.
#include <cstdio>
#include <string>

#include "pack_run.h"
#include "usage.h"

namespace {

// Prints text, whose lines are paragraphs, with each line broken at its last blank within
// 80 characters, as a terminal shows it best.
void print_wrapped(const std::string& text) {
  constexpr size_t width = 80;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t cut = end;
    if (end - start > width) {
      cut = text.rfind(' ', start + width);
      if (cut == std::string::npos || cut <= start) cut = start + width;  // one long word
    }
    std::printf("%.*s\n", static_cast<int>(cut - start), text.c_str() + start);
    start = cut + (cut < text.size() && (text[cut] == ' ' || text[cut] == '\n') ? 1 : 0);
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
