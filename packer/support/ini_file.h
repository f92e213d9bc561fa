// The description reader: an .ini file loaded whole, read one section at a time. Every
// read consumes the line it returns, so a parameter that stands several times is read
// occurrence by occurrence.
//
// Text rules: a blank is a space or a tab; CR counts as a line end. A line whose first
// non-blank character is '[' is a section header, named by what follows the '[' and any
// blanks up to the first ']' within 63 characters, trailing blanks removed; the head of
// the file, before the first header, is the section "<default>". A line whose first
// non-blank character is ';' is a comment. A parameter line reads name, blanks, '=',
// blanks, value; the value runs to the line end without trailing blanks. Names of
// sections and parameters are compared without regard to the case of ASCII letters. A
// 0 byte in the file ends the text. Text that begins with a UTF-8 byte-order mark is read
// without it, converted to the code page in which the system reads names (code_page.h:
// Windows' ANSI code page; on POSIX the bytes stay as they are).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "byte_buffer.h"
#include "pointer_list.h"

class ini_file {
 public:
  // Loads the file at path and selects "<default>". Throws file_exception when the file
  // cannot be opened or read, text_exception when it is UTF-16 text (it begins with
  // FF FE or FE FF, or its first line that is not empty has a 0 byte in every second
  // position), memory_exception when memory runs out. A line of UTF-8 text that does not
  // convert fails only when it is read (next_line, find_value), with text_exception: lines
  // that are never read, comments above all, may hold any character.
  explicit ini_file(const char* path);
  ini_file(const ini_file&) = delete;
  ini_file& operator=(const ini_file&) = delete;

  // Selects the head of the file (name nullptr), or the header named name after passing
  // over occurrence earlier ones, and makes all its lines unread again. False, and nothing
  // changes, when there is no such header or it is the last line without a line end.
  bool select_section(const char* name, int occurrence = 0);

  // Copies the first unread line of the selected section (blank lines and comments never
  // count) into buffer: at most size - 1 characters, trailing blanks removed, terminated;
  // the line is consumed. False when no unread line is left. *cut, when given, tells
  // whether the line had more to it than the buffer took. Throws text_exception for a line
  // of UTF-8 text that did not convert.
  bool next_line(char* buffer, size_t size, bool* cut = nullptr);

  // The first unread line of the selected section, in the loaded text from its first
  // non-blank character (it runs to the next line end); the line is consumed. nullptr when
  // no unread line is left. Throws text_exception, as next_line does, for a line of UTF-8
  // text that did not convert.
  const char* take_line();

  // The start of the value of the first unread parameter line named name, in the loaded
  // text (it runs to the next line end); the line is consumed. When there is none: nullptr
  // if optional, otherwise throws text_exception
  // "Ini file: Missing parameter %s in %s section" with name and the section's name. Throws
  // text_exception, too, when the line is one of UTF-8 text that did not convert.
  const char* find_value(const char* name, bool optional);

  // find_value, and the value copied into buffer like a line by next_line. False when the
  // optional parameter is missing.
  bool get_value(char* buffer, size_t size, const char* name, bool optional, bool* cut = nullptr);

  // Calls visit with the name of each section below the head ("" for a header without a
  // usable name) and each of its lines, as next_line copies them into size bytes, in file
  // order; every section of a name, not only the first. Selects nothing.
  using line_visitor = std::function<void(const char* section, const char* line)>;
  void for_each_line_below_headers(size_t size, const line_visitor& visit) const;

  // The selected section's name, "<default>" for the head.
  const char* section_name() const { return section_name_; }

  // The line (from 1) holding the 0 byte that ends the text when more than blanks and line
  // ends follows it, which is then never read; 0 when there is none.
  uint32_t line_of_ending_zero() const { return zero_line_; }

 private:
  // Where the last search for one name ended: no unread line before it matches the name.
  struct name_cursor {
    char name[64];
    uint32_t next;
  };

  // A line of UTF-8 text that did not convert: its bytes in the loaded text, its number
  // (from 1), and why.
  struct unconverted_line {
    uint32_t begin, end, number;
    bool not_utf8;  // else it holds a character that the code page has not
  };

  char* text() { return reinterpret_cast<char*>(text_.data()); }
  const char* text() const { return reinterpret_cast<const char*>(text_.data()); }
  void take_utf8_text(const char* utf8, uint32_t size);
  void refuse_unconverted(const char* line) const;
  void collect_lines(const char* from);
  void consume(uint32_t index);
  name_cursor* cursor_for(const char* name);
  void remember(const char* name, uint32_t next);

  byte_buffer text_;
  // The selected section's lines, in file order; a consumed line's slot holds nullptr.
  pointer_list lines_;
  uint32_t first_unread_ = 0;  // no unread line before this slot
  char section_name_[64] = {};
  static constexpr uint32_t cursor_slots = 4;
  name_cursor cursors_[cursor_slots] = {};
  uint32_t cursors_used_ = 0;
  uint32_t zero_line_ = 0;
  std::string path_;
  std::vector<unconverted_line> unconverted_;
};

// Copies the line or value at text, up to its line end, as next_line copies a line: at most
// size - 1 characters, trailing blanks removed, terminated. True when more than blanks was
// left out.
bool copy_line(char* buffer, size_t size, const char* text);

// The value of line when it is a parameter line named name (ignoring case): the first
// character after blanks, '=' and blanks; nullptr otherwise.
const char* parameter_value(const char* line, const char* name);
