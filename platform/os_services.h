// Operating-system services of the programs that are not plain C or C++: one declaration
// each, implemented by windows/ (the real calls), posix/ or fuzz/ (in memory).
// Paths may use backslashes on every platform; the POSIX side turns them into '/'.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

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

// What tells one file from another however it is named: the volume's serial number and the
// file's index on it on Windows, the device and the inode on POSIX.
struct file_identity {
  uint64_t volume = 0;
  uint64_t index = 0;

  bool operator==(const file_identity& other) const { return volume == other.volume && index == other.index; }
};

// The identity of the file open behind stream; false when the system cannot tell it.
bool stream_identity(FILE* stream, file_identity* identity);

// The identity of the file or directory that path names, a link followed; false when there
// is none or the system cannot tell it.
bool path_identity(const char* path, file_identity* identity);

// A file that is to take path's name only once it is whole: until then it is written under
// a temporary name in the same folder, so that a failure, a full disk or a killed run never
// leaves part of a file under path's name, nor loses the file that had it.
struct staged_file {
  FILE* stream = nullptr;  // open for binary writing until the file is committed or discarded
  std::string path;        // the name it takes
  std::string temporary;   // the name it has until then: path's, cut to fit, and ".N.tmp"
};

// Starts a file that is to replace path, created exclusively under its temporary name
// without following links. Refused, with nothing created, where path could not be written
// anew: a directory there, or a file that the user may not open for writing (read-only),
// last_error 5 (access denied); and where the entry at path is one of the files in_use (the
// run's own open files; a link there is no such file), last_error 32 (a sharing violation,
// as Windows says of a file that is open). False on any failure (last_error set).
bool stage_output_file(const char* path, const std::vector<file_identity>& in_use, staged_file* file);

// Whether the file, staged some time ago, may still replace the entry at its path: the checks
// of stage_output_file made again now (last_error set as there when it may not).
bool may_take_name(const staged_file& file, const std::vector<file_identity>& in_use);

enum class commit_result {
  committed,     // the file has path's name
  write_failed,  // closing the stream showed a failed write
  not_renamed,   // the file could not take path's name
};

// Closes the file's stream and renames the file onto path, replacing the entry there (a link
// is replaced itself, never followed); a replaced file's permission bits pass to the new one
// (on Windows its attributes and security), as writing into the file would have kept them.
// Nothing is flushed to the disk. On failure the temporary file is removed and path stays
// as it was (last_error set).
commit_result commit_staged_file(staged_file* file);

// Closes the file's stream, when open, and removes the temporary file: for a run that fails.
void discard_staged_file(staged_file* file);

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

// True when standard input, or standard output, is an interactive console (a terminal on
// POSIX); false when it is redirected to a file or a pipe.
bool stdin_is_console();
bool stdout_is_console();

// Waits until a key is pressed on the console, which standard input is, looking every 50
// milliseconds; at once when a key press is waiting already. On Windows the key stays
// unread in the console's input. On a POSIX terminal it is read without echo and consumed,
// so that nothing of it reaches the next reader (the shell); the terminal's settings are
// restored afterwards, also when a signal ends the program during the wait.
void wait_for_key_press();
