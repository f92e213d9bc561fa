// tarnpack's entry point on POSIX: hands the run the command-line text, the arguments
// joined with single spaces, as Windows hands it to WinMain.
#include <cstdio>
#include <string>

#include "pack_run.h"
#include "usage.h"

int main(int argc, char** argv) {
  std::string command_line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) command_line += ' ';
    command_line += argv[i];
  }
  if (command_line == "--help") {
    std::fputs(tarnpack_usage, stdout);
    return 0;
  }
  if (command_line == "--version") {
    std::fputs(tarnpack_version, stdout);
    return 0;
  }
  return run_tarnpack(command_line.c_str());
}
