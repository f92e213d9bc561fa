// The description reader.
#include "ini_file.h"

#include <cstring>
#include <memory>

#include "code_page.h"
#include "disk_file.h"
#include "packer_errors.h"
#include "string_helpers.h"

namespace {

constexpr char head_name[] = "<default>";
constexpr size_t header_name_limit = 63;  // characters after '[' and blanks that count

// How Windows editors mark the encoding at a file's start: UTF-8 with a byte-order mark,
// and UTF-16 ("Unicode") in either byte order.
constexpr char utf8_mark[] = "\xEF\xBB\xBF";
constexpr char utf16_marks[][3] = {"\xFF\xFE", "\xFE\xFF"};

bool begins_with(const char* text, uint32_t size, const char* mark) {
  size_t length = std::strlen(mark);
  return size >= length && std::memcmp(text, mark, length) == 0;
}

// Whether the first line of text that is not empty has a 0 byte in every second position,
// the first of each pair (zero_at 0, big-endian UTF-16) or the second (1, little-endian).
bool first_line_is_utf16(const char* text, uint32_t size, uint32_t zero_at) {
  uint32_t characters = 0;
  for (uint32_t i = 0; i + 1 < size; i += 2) {
    char zero = text[i + zero_at], c = text[i + 1 - zero_at];
    if (zero != '\0' || c == '\0') return false;
    bool line_end = c == '\n' || c == '\r';
    if (line_end && characters > 0) return true;
    if (!line_end) ++characters;
  }
  return characters > 0;  // the text ends with the line
}

// UTF-16 saved without a byte-order mark.
bool is_utf16_without_mark(const char* text, uint32_t size) {
  return first_line_is_utf16(text, size, 0) || first_line_is_utf16(text, size, 1);
}

// The line (from 1) of the first 0 byte of text's size bytes when something else than blanks
// and line ends follows it; 0 otherwise. CR LF is one line end.
uint32_t line_of_a_zero_before_more(const char* text, uint32_t size) {
  const char* zero = static_cast<const char*>(std::memchr(text, '\0', size));
  if (!zero) return 0;
  const char* end = text + size;
  const char* more = zero;
  while (more < end && (*more == '\0' || is_blank(*more) || *more == '\r' || *more == '\n')) ++more;
  if (more == end) return 0;
  uint32_t line = 1;
  for (const char* p = text; p < zero; ++p)
    if (*p == '\n' || (*p == '\r' && p[1] != '\n')) ++line;
  return line;
}

// The name of the header that starts at line (its '['), into name; false when no ']'
// lies within the characters that count.
bool header_name(const char* line, char (&name)[header_name_limit + 1]) {
  const char* start = skip_blanks(line + 1);
  size_t length = 0;
  for (;; ++length) {
    if (length == header_name_limit || start[length] == '\n' || start[length] == '\0') return false;
    if (start[length] == ']') break;
  }
  std::memcpy(name, start, length);
  name[length] = '\0';
  trim_right(name);
  return true;
}

// The character after the line end that follows p, or nullptr when the text ends first.
const char* next_line_start(const char* p) {
  const char* end = std::strchr(p, '\n');
  return end ? end + 1 : nullptr;
}

}  // namespace

bool copy_line(char* buffer, size_t size, const char* text) {
  size_t length = 0;
  while (length < size - 1 && text[length] != '\n' && text[length] != '\0') ++length;
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  trim_right(buffer);
  const char* rest = skip_blanks(text + length);
  return *rest != '\n' && *rest != '\0';
}

const char* parameter_value(const char* line, const char* name) {
  for (; *name; ++line, ++name)
    if (*line == '\0' || ascii_lower(*line) != ascii_lower(*name)) return nullptr;
  line = skip_blanks(line);
  return *line == '=' ? skip_blanks(line + 1) : nullptr;
}

ini_file::ini_file(const char* path) : path_(path) {
  disk_file file;
  file.open_read(path, FILE_SHARE_READ, OPEN_EXISTING);
  uint32_t n = file.size();
  if (n == UINT32_MAX) throw memory_exception();  // no room for the terminator
  text_.set_size(n + 1);
  text()[n] = '\0';
  file.read(text_.data(), n);
  // UTF-16 would read as no text at all (its first 0 byte ends it); the UTF-8 mark would
  // hide the first line's name.
  bool utf16 = is_utf16_without_mark(text(), n);
  for (const char* mark : utf16_marks) utf16 = utf16 || begins_with(text(), n, mark);
  if (utf16) throw text_exception("Description is UTF-16 text; save it as ANSI or UTF-8: %s", path);
  if (begins_with(text(), n, utf8_mark)) {
    uint32_t mark_size = sizeof utf8_mark - 1;
    take_utf8_text(text() + mark_size, n - mark_size);
  }
  zero_line_ = line_of_a_zero_before_more(text(), text_.size() - 1);
  // CR LF becomes two line ends, and the empty line between them is skipped like any other.
  replace_char(text(), '\r', '\n');
  select_section(nullptr);
  file.close();
}

// The text becomes the code page's line by line, so that a line that does not convert, kept
// as it was, is known by its place and number.
void ini_file::take_utf8_text(const char* utf8, uint32_t size) {
  std::string converted;
  uint32_t number = 1;
  for (uint32_t start = 0; start < size; ++number) {
    uint32_t end = start;
    while (end < size && utf8[end] != '\n' && utf8[end] != '\r') ++end;
    auto begin = static_cast<uint32_t>(converted.size());
    ansi_conversion result = utf8_to_ansi(utf8 + start, end - start, &converted);
    if (result != ansi_conversion::converted)
      unconverted_.push_back({begin, static_cast<uint32_t>(converted.size()), number,
                              result == ansi_conversion::not_utf8});
    uint32_t next = end;  // after the line end, CR LF being one
    if (next < size) next += utf8[next] == '\r' && next + 1 < size && utf8[next + 1] == '\n' ? 2 : 1;
    converted.append(utf8 + end, next - end);
    start = next;
  }
  // No longer than the UTF-8 text: no character takes more bytes in a code page than in UTF-8.
  text_.set_size(static_cast<uint32_t>(converted.size()) + 1);
  std::memcpy(text(), converted.c_str(), converted.size() + 1);
}

void ini_file::refuse_unconverted(const char* line) const {
  auto offset = static_cast<uint32_t>(line - text());
  for (const unconverted_line& unconverted : unconverted_) {
    if (offset < unconverted.begin || offset >= unconverted.end) continue;
    auto number = static_cast<unsigned>(unconverted.number);
    if (unconverted.not_utf8)
      throw text_exception("Description line %u is not UTF-8 text (the description begins with UTF-8's "
                           "byte-order mark): %s", number, path_.c_str());
    throw text_exception("Description line %u holds a character that the ANSI code page cannot hold: %s",
                         number, path_.c_str());
  }
}

bool ini_file::select_section(const char* name, int occurrence) {
  const char* from = text();
  if (name) {
    for (;;) {
      const char* line = skip_blanks(from);
      char found[header_name_limit + 1];
      bool wanted = false;
      if (*line == '[' && header_name(line, found) && equal_ignoring_case(found, name))
        wanted = occurrence-- == 0;
      from = next_line_start(line);
      if (!from) return false;
      if (wanted) break;
    }
  }
  copy_bounded(section_name_, name ? name : head_name, sizeof section_name_);
  lines_.release();
  first_unread_ = 0;
  cursors_used_ = 0;
  collect_lines(from);
  return true;
}

void ini_file::collect_lines(const char* from) {
  while (from) {
    char* line = skip_blanks(const_cast<char*>(from));
    if (*line == '[' || *line == '\0') return;
    if (*line != '\n' && *line != ';') lines_.append(line);
    from = next_line_start(line);
  }
}

void ini_file::consume(uint32_t index) {
  lines_.set_at(index, nullptr);
  while (first_unread_ < lines_.count() && !lines_.at(first_unread_)) ++first_unread_;
}

bool ini_file::next_line(char* buffer, size_t size, bool* cut) {
  const char* line = take_line();
  if (!line) return false;
  bool was_cut = copy_line(buffer, size, line);
  if (cut) *cut = was_cut;
  return true;
}

const char* ini_file::take_line() {
  if (first_unread_ == lines_.count()) return nullptr;
  auto line = static_cast<const char*>(lines_.at(first_unread_));
  refuse_unconverted(line);
  consume(first_unread_);
  return line;
}

void ini_file::for_each_line_below_headers(size_t size, const line_visitor& visit) const {
  char section[header_name_limit + 1] = {};
  bool below_header = false;
  std::unique_ptr<char[]> copy(new char[size]);
  for (const char* from = text(); from; from = next_line_start(from)) {
    from = skip_blanks(from);
    if (*from == '[') {
      below_header = true;
      if (!header_name(from, section)) section[0] = '\0';
    } else if (below_header && *from != '\n' && *from != '\0' && *from != ';') {
      copy_line(copy.get(), size, from);
      visit(section, copy.get());
    }
  }
}

ini_file::name_cursor* ini_file::cursor_for(const char* name) {
  for (uint32_t i = 0; i < cursors_used_; ++i)
    if (equal_ignoring_case(cursors_[i].name, name)) return &cursors_[i];
  return nullptr;
}

// Searches for the same name go on where the last one ended, so reading every occurrence
// of a parameter takes one pass over the section however its lines are mixed.
void ini_file::remember(const char* name, uint32_t next) {
  name_cursor* cursor = cursor_for(name);
  if (!cursor) {
    if (std::strlen(name) >= sizeof cursor->name) return;  // such names are searched afresh
    if (cursors_used_ == cursor_slots) {  // the oldest goes
      std::memmove(cursors_, cursors_ + 1, (cursor_slots - 1) * sizeof cursors_[0]);
      --cursors_used_;
    }
    cursor = &cursors_[cursors_used_++];
    copy_bounded(cursor->name, name, sizeof cursor->name);
  }
  cursor->next = next;
}

const char* ini_file::find_value(const char* name, bool optional) {
  uint32_t index = first_unread_;
  if (const name_cursor* cursor = cursor_for(name))
    if (cursor->next > index) index = cursor->next;
  for (; index < lines_.count(); ++index) {
    const char* line = static_cast<const char*>(lines_.at(index));
    const char* value = line ? parameter_value(line, name) : nullptr;
    if (value) {
      refuse_unconverted(line);
      consume(index);
      remember(name, index + 1);
      return value;
    }
  }
  remember(name, lines_.count());
  if (optional) return nullptr;
  throw text_exception("Ini file: Missing parameter %s in %s section", name, section_name_);
}

bool ini_file::get_value(char* buffer, size_t size, const char* name, bool optional, bool* cut) {
  const char* value = find_value(name, optional);
  if (!value) return false;
  bool was_cut = copy_line(buffer, size, value);
  if (cut) *cut = was_cut;
  return true;
}
