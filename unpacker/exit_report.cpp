// The exit report that ends every failed run.
#include "exit_report.h"

#include <cstdio>

#include "os_services.h"

void report_exit_and_wait(const char* source_file, int line) {
  std::printf("Exiting from file %s, line %d\n", source_file, line);
  std::printf(" -- < PRESS ANY KEY TO EXIT > -- \n");
  std::fflush(stdout);
  if (!stdin_is_console()) return;  // scripts and CI never wait
  wait_for_key_press();
}
