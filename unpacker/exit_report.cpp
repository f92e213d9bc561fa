// The exit report that ends every failed run.
#include "exit_report.h"

#include <cstdio>

#include "os_services.h"
#include "unpack_status.h"

void report_exit(const char* source_file, int line) {
  std::fprintf(message_stream(), "Exiting from file %s, line %d\n", source_file, line);
  std::fflush(message_stream());
}

void wait_for_key_when_watched() {
  if (!stdin_is_console() || !stdout_is_console()) return;
  std::fprintf(message_stream(), " -- < PRESS ANY KEY TO EXIT > -- \n");
  std::fflush(message_stream());
  wait_for_key_press();
}
