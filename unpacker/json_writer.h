// A JSON text written as it goes, for tarnsplit's documents.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Writes a JSON text as it goes, each member and element on a line of its own, indented by
// two blanks a level. The caller opens and closes objects and arrays in a sound order.
class json_writer {
 public:
  explicit json_writer(FILE* out) : out_(out) {}

  // Opens an object ('{') or an array ('[').
  void open(char bracket);
  // Closes the innermost open object or array; a line end follows the outermost.
  void close();
  // Closes the open objects and arrays down to depth of them.
  void close_to(size_t depth);
  size_t depth() const { return levels_.size(); }

  // A member's name; its value is the next thing written.
  void key(const char* name);
  // A string of ANSI bytes: '"' and '\' escaped, control bytes and those from 0x7F up as
  // \u00XX, so the text is ASCII and every byte can be told back from it.
  void string(const char* bytes);
  // A number already written as JSON text.
  void number(const std::string& text);
  void number(uint64_t value) { number(std::to_string(value)); }
  // A value with precision decimals as the description writes it; null when not finite.
  void decimal(double value, int precision);
  void boolean(bool value) { number(value ? "true" : "false"); }

  template <typename value_type>
  void member(const char* name, const value_type& value) {
    key(name);
    put(value);
  }

 private:
  struct level {
    char closer;
    bool has_items;
  };

  void put(const char* text) { string(text); }
  void put(const std::string& text) { string(text.c_str()); }
  void put(uint64_t value) { number(value); }
  void put(uint32_t value) { number(value); }
  void put(uint16_t value) { number(value); }
  void put(int value) { number(std::to_string(value)); }
  void put(bool value) { boolean(value); }

  // The comma and line break before a value, unless it is a member's, after its key.
  void next_item();
  void new_line();
  void string_literal(const char* bytes);

  FILE* out_;
  std::vector<level> levels_;
  bool after_key_ = false;
};
