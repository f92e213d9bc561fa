// The exit report that ends every failed run, and the wait for a key after it.
#pragma once

// Prints the exit report naming source_file and line on the message stream. The one
// function of the unpacker's helpers that prints. Only the driver calls it, with its own
// file (unpack_run.cpp) and the line of its check at which the run ended.
void report_exit(const char* source_file, int line);

// Waits for a key press when standard input is a console; at once otherwise. Extraction
// waits once after its failures, however many containers failed.
void wait_for_key_on_console();
