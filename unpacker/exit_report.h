// The exit report that ends every failed run, and the wait for a key after it.
#pragma once

// Prints the exit report naming source_file and line, then waits for a key press, at once
// when standard input is not a console. The one function of the unpacker's helpers that
// prints.
void report_exit_and_wait(const char* source_file, int line);
