// The exit report that ends every failed run, and the wait for a key after it.
#pragma once

// Prints the exit report's line naming source_file and line on the message stream. The one
// function of the unpacker's helpers that prints. Only the driver calls it, with its own
// file (unpack_run.cpp) and the line of its check at which the run ended.
void report_exit(const char* source_file, int line);

// When a person is watching, standard input and standard output both a console: prints the
// prompt on the message stream and waits for a key press. Otherwise nothing, at once: a
// script, a log or CI never waits, nor gets a prompt that nobody answers. Extraction waits
// once after its failures, however many containers failed.
void wait_for_key_when_watched();
