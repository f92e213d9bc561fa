// Bounded copies, blanks, fields and paths on NUL-terminated byte strings. A blank is a
// space or a tab. Every helper that writes into a caller's buffer cuts the text to fit and
// terminates it; none of them fails.
#pragma once

#include <cstddef>

#include "ascii_case.h"

// Paths live in buffers of this size: at most 259 characters and the terminator.
constexpr size_t path_size = 260;

inline bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Copies source whole when it is shorter than destination_size (at least 1), otherwise its
// first destination_size - 1 characters; always terminates. Returns destination.
char* copy_bounded(char* destination, const char* source, size_t destination_size);

// Replaces every from in text by to, in place; with to 0 the text ends at the first from.
void replace_char(char* text, char from, char to);

// The first character of text that is not a blank (possibly the terminator).
const char* skip_blanks(const char* text);
char* skip_blanks(char* text);

// Removes trailing blanks by overwriting them with 0.
void trim_right(char* text);

// (The file name of a path, file_name_part, is in paths.h with the separator rule.)

// True for a path that begins with two separators (a UNC path) or whose second character
// is ':' (a drive), and where '/' is a separator for one that begins with a separator.
bool is_absolute_path(const char* path);

// Copies at most 259 characters of path into a destination of path_size bytes.
void copy_path(char* destination, const char* path);

// destination (path_size bytes) becomes name when it is absolute, otherwise directory, a
// backslash unless directory is empty or ends in a separator, and name; cut to 259
// characters.
void join_path(char* destination, const char* directory, const char* name);

// Field number index (from 0) of text, where fields are separated by separator: from its
// first non-blank character to the next separator or the end of text. Copies at most
// size - 1 characters of it into destination (size at least 1), trailing blanks removed.
// Returns the field's start in text, or nullptr (destination empty) when text has fewer
// than index separators.
const char* get_field(char* destination, size_t size, const char* text, char separator, int index);
