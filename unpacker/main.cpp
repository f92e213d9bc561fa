// tarnsplit: takes a level-zone container apart.
#include <cstdio>
#include <cstring>

#include "unpack_run.h"

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
    std::printf(
        "Usage: tarnsplit [container.lvz]\n"
        "Extracts every file of the container, with its time stamp, into a directory named\n"
        "after it, and writes there a description from which tarnpack rebuilds the container.\n"
        "Without an argument the container's name is asked for.\n");
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("tarnsplit " TARN_VERSION "\n");
    return 0;
  }
  return run_tarnsplit(argc, argv);
}
