// Operating-system services of the programs that are not plain C or C++: one declaration
// each, implemented by windows/ (the real calls), posix/ or fuzz/ (in memory).
// Paths may use backslashes on every platform; the POSIX side turns them into '/'.
#pragma once

#include <cstdint>
#include <cstdio>

// The system's last-error code (GetLastError on Windows; on POSIX the Windows code that
// matches the errno of the last failed call of this layer: 2 file not found, 3 path not
// found, 5 access denied, 112 disk full, ...).
uint32_t last_error();

// Makes path absolute against the current directory into dest (size bytes, terminated);
// an empty path gives the current directory. False when the result does not fit.
bool full_path(const char* path, char* dest, size_t size);

enum class make_directory_result { made, path_not_found, other_failure };

// Creates one directory level. path_not_found when a parent is missing or the path cannot
// name a directory (the codes that the C library turns into its no-such-file error, and a
// file or other entry that is no directory holding the name); other_failure for everything
// else, above all a directory that exists already.
make_directory_result make_directory(const char* path);

// Opens an existing regular file for binary reading; nullptr (last_error set) otherwise,
// also for a directory.
FILE* open_input_stream(const char* path);

// Creates path anew for binary writing. An existing entry of that name that is not a
// directory is removed first, and the new file is created exclusively without following
// links, so nothing is ever written through a link planted in the way. An existing file
// that the user may not open for writing (read-only) is left as it is: nullptr, with
// last_error 5 (access denied), as for a directory. nullptr on any failure.
FILE* create_output_stream(const char* path);

// fwrite of all count bytes; false (last_error set) when fewer were written.
bool write_stream(FILE* stream, const void* data, size_t count);

// Flushes and closes stream; false (last_error set) when a write error happened at any
// point or the flush fails. The stream is closed either way.
bool close_stream(FILE* stream);

// Size in bytes of the file behind an open stream, or UINT64_MAX when unknown.
uint64_t stream_size(FILE* stream);

// Flushes stream and sets the last-access and last-write times of the file open behind it
// to the moment at which the local clock showed local_seconds, a time as sections store it,
// by the rule of file_time.h; the creation time is left alone. Working on the open file,
// never on a path, it cannot reach another file than the one created. True on success;
// false when the flush fails (which also leaves the stream's error state set) or the system
// cannot set that moment.
bool set_stream_local_times(FILE* stream, uint32_t local_seconds);

// True when standard input is an interactive console.
bool stdin_is_console();

// Waits until a key is pressed on the console, which standard input is, looking every 50
// milliseconds; at once when a key press is waiting already. On Windows the key stays
// unread in the console's input. On a POSIX terminal it is read without echo and consumed,
// so that nothing of it reaches the next reader (the shell); the terminal's settings are
// restored afterwards, also when a signal ends the program during the wait.
void wait_for_key_press();
