// The exit report that ends every failed run.
#include "exit_report.h"

#include <cstdio>

#include "os_services.h"
#include "unpack_status.h"

void report_exit(const char* source_file, int line) {
  std::fprintf(message_stream(), "Exiting from file %s, line %d\n", source_file, line);
  std::fprintf(message_stream(), " -- < PRESS ANY KEY TO EXIT > -- \n");
  std::fflush(message_stream());
}

void wait_for_key_on_console() {
  if (!stdin_is_console()) return;  // scripts and CI never wait
  wait_for_key_press();
}
