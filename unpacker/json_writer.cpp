// A JSON text written as it goes.
#include "json_writer.h"

#include <cmath>

#include "decimal_text.h"

void json_writer::open(char bracket) {
  next_item();
  std::fputc(bracket, out_);
  levels_.push_back({bracket == '{' ? '}' : ']', false});
}

void json_writer::close() {
  level closing = levels_.back();
  levels_.pop_back();
  if (closing.has_items) new_line();
  std::fputc(closing.closer, out_);
  if (levels_.empty()) std::fputc('\n', out_);
}

void json_writer::close_to(size_t depth) {
  while (levels_.size() > depth) close();
}

void json_writer::key(const char* name) {
  next_item();
  string_literal(name);
  std::fputs(": ", out_);
  after_key_ = true;
}

void json_writer::string(const char* bytes) {
  next_item();
  string_literal(bytes);
}

void json_writer::number(const std::string& text) {
  next_item();
  std::fputs(text.c_str(), out_);
}

void json_writer::decimal(double value, int precision) {
  number(std::isfinite(value) ? fixed_decimal(value, precision) : "null");
}

void json_writer::next_item() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (levels_.empty()) return;
  if (levels_.back().has_items) std::fputc(',', out_);
  levels_.back().has_items = true;
  new_line();
}

void json_writer::new_line() {
  std::fputc('\n', out_);
  for (size_t i = 0; i < levels_.size(); ++i) std::fputs("  ", out_);
}

void json_writer::string_literal(const char* bytes) {
  std::fputc('"', out_);
  for (const char* p = bytes; *p; ++p) {
    auto c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\')
      std::fprintf(out_, "\\%c", c);
    else if (c < 0x20 || c >= 0x7F)
      std::fprintf(out_, "\\u%04X", c);
    else
      std::fputc(c, out_);
  }
  std::fputc('"', out_);
}
