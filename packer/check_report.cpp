// tarnpack --check: packing's observations and their rendering.
#include "check_report.h"

#include <cstring>

#include "container_format.h"
#include "decimal_text.h"
#include "file_packing.h"
#include "paths.h"
#include "safe_name.h"
#include "string_helpers.h"

namespace {

// The parameters of the head, which packing looks for only there.
constexpr const char* head_parameters[] = {"OutFile", "File", "ExtractFile"};

constexpr size_t line_limit = 255;  // what a warning quotes of a line

std::string quoted(const char* line) { return "line '" + std::string(line) + "'"; }

// The head parameter that line sets, or nullptr.
const char* head_parameter_of(const char* line) {
  for (const char* name : head_parameters)
    if (parameter_value(line, name)) return name;
  return nullptr;
}

// name with its capitals made small: the key of names compared without regard to case.
std::string folded(const char* name) {
  std::string key(name);
  for (char& c : key) c = ascii_lower(c);
  return key;
}

// Whether paths a and b name their files in the same folder, as written (ignoring case).
bool same_folder(const char* a, const char* b) {
  size_t length = static_cast<size_t>(file_name_part(a) - a);
  return length == static_cast<size_t>(file_name_part(b) - b) && equal_ignoring_case(a, b, length);
}

// Why an [objectimages] line is passed over.
std::string image_line_fault_text(image_line_fault fault, unsigned number) {
  switch (fault) {
    case image_line_fault::leading_zero: return "image numbers have no leading zeros";
    case image_line_fault::above_255: return "image numbers go up to 255";
    case image_line_fault::repeated:
      return "an earlier line defines IMAGE" + std::to_string(number) + ", and the first counts";
    case image_line_fault::not_image: break;
  }
  return "it is no image definition (IMAGE0 to IMAGE255)";
}

// n with "," between groups of three digits.
std::string grouped(uint64_t n) {
  char text[32];
  format_thousands(static_cast<int64_t>(n), text);
  return text;
}

std::string count_of(uint32_t n, const char* thing) {
  return std::to_string(n) + " " + thing + (n == 1 ? "" : "s");
}

// An entry line: what became of it, then about what.
std::string entry_line(const char* what, const std::string& text) {
  std::string line = "  " + std::string(what);
  line.resize(14, ' ');
  return line + text;
}

}  // namespace

void check_report::description_loaded(const ini_file& description) {
  if (uint32_t line = description.line_of_ending_zero())
    warn("line " + std::to_string(line) +
         " holds a NUL byte, where packing stops reading: the lines after it are ignored");
  description.for_each_line_below_headers(line_limit + 1, [this](const char* section, const char* line) {
    if (const char* name = head_parameter_of(line))
      warn(quoted(line) + " below [" + section + "] is ignored: " + name +
           " counts only before the first [section]");
  });
}

void check_report::value_read(const char* name, const char* value, bool cut, size_t limit) {
  note_line(std::string(name) + "=" + value, value, cut, limit);
}

void check_report::line_read(const char* line, bool cut, size_t limit) { note_line(line, line, cut, limit); }

void check_report::note_line(const std::string& line, const char* value, bool cut, size_t limit) {
  if (cut) warn(quoted(line.c_str()) + " is cut at " + std::to_string(limit) + " characters");
  if (std::strchr(value, ';'))
    warn(quoted(line.c_str()) + " holds ';': a comment after a value is part of the value");
}

void check_report::entry_packed(const char* path, entry_outcome outcome, const byte_buffer& container,
                                uint32_t offset) {
  if (outcome != entry_outcome::left_out) {
    auto stored_name = reinterpret_cast<const char*>(container.data() + offset + section_header_size);
    add_section_line(outcome, container, offset, stored_name);
    entry_paths_.emplace(folded(stored_name), path);
    return;
  }
  const char* name = file_name_part(path);
  const char* earlier = section_named(container, name);
  if (!earlier) earlier = "";
  lines_.push_back(
      entry_line("left out", std::string(path) + ": an earlier entry (" + earlier + ") has this name"));
  auto earlier_path = entry_paths_.find(folded(name));
  if (std::strcmp(earlier, name) != 0) {
    warn(std::string(path) + " is left out: its name " + name +
         " differs only in letter case from the earlier " + earlier);
  } else if (earlier_path != entry_paths_.end() && !same_folder(earlier_path->second.c_str(), path)) {
    warn(std::string(path) + " is left out: the earlier " + earlier_path->second +
         " from another folder has its name " + name);
  }
}

void check_report::times_clamped(const char* variable, const std::string& setting, uint32_t files) {
  std::string changed = files == 0   ? "no file's time"
                        : files == 1 ? "the time of 1 file"
                                     : "the times of " + std::to_string(files) + " files";
  clamp_ = std::string(variable) + "=" + setting + " clamps " + changed;
}

void check_report::head_read(ini_file& description) {
  char line[line_limit + 1];
  while (description.next_line(line, sizeof line))
    warn(quoted(line) + " is ignored: " +
         (parameter_value(line, "OutFile") ? "the first OutFile counts"
                                           : "the head holds only OutFile, File and ExtractFile"));
}

void check_report::image_line_ignored(const char* line, image_line_fault fault, unsigned number) {
  if (!head_parameter_of(line))  // told of when the description was loaded
    warn(quoted(line) + " in [objectimages] is ignored: " + image_line_fault_text(fault, number));
}

void check_report::image_defined(unsigned number, const char* stored_name) {
  images_.emplace_back(number, stored_name);
}

void check_report::object_changed(const char* line, const std::string& what) {
  warn(quoted(line) + ": " + what);
}

void check_report::objects_compiled(uint32_t images, uint32_t map_objects, uint32_t screen_objects) {
  objects_ = "object section (" + count_of(images, "image") + ", " + count_of(map_objects, "map object") +
             ", " + count_of(screen_objects, "screen object") + ")";
}

void check_report::objects_packed(entry_outcome outcome, const byte_buffer& container, uint32_t offset) {
  if (outcome != entry_outcome::left_out) add_section_line(outcome, container, offset, objects_);
}

void check_report::container_built(const char* output_path, const byte_buffer& container) {
  uint32_t sections = section_count(container);
  head_ = std::string(output_path) + ": " + count_of(sections, "section") + ", " + grouped(container.size()) +
          " bytes";
  for (const auto& image : images_) {
    std::string number = "IMAGE" + std::to_string(image.first);
    if (image.second.empty())
      warn(number + " names no file");
    else if (!section_named(container, image.second.c_str()))
      warn(number + "'s file " + image.second + " is not packed in this container");
  }
}

void check_report::failed(const base_exception& error) {
  char text[error_text_size];
  error.get_text(text, sizeof text);
  failed_ = true;
  error_ = text;
}

// Each line holds names and lines of the description as they are: their control bytes are
// shown as \xNN, so that none reaches the terminal or the box.
std::string check_report::totals() const { return printable_name(head_.c_str()); }

std::vector<std::string> check_report::entry_lines() const {
  std::vector<std::string> lines;
  for (const std::string& line : lines_) lines.push_back(printable_name(line.c_str()));
  return lines;
}

std::vector<std::string> check_report::warning_lines() const {
  std::vector<std::string> lines;
  for (const std::string& warning : warnings_) lines.push_back("warning: " + printable_name(warning.c_str()));
  return lines;
}

std::string check_report::report() const {
  std::string text = totals() + "\n";
  for (const std::string& line : entry_lines()) text += line + "\n";
  if (!clamp_.empty()) text += clamp_ + "\n";
  return text;
}

std::string check_report::warnings() const {
  std::string text;
  for (const std::string& line : warning_lines()) text += line + "\n";
  return text;
}

void check_report::add_section_line(entry_outcome outcome, const byte_buffer& container, uint32_t offset,
                                    const std::string& name) {
  section_header header = decode_section_header(container.data() + offset);
  std::string sizes = grouped(header.full_size);
  if (outcome == entry_outcome::stored) {
    lines_.push_back(entry_line("stored", name + "  " + sizes + " bytes"));
  } else {
    sizes += " -> " + grouped(header.stored_size) + " bytes (" +
             percent_text(header.full_size, header.stored_size) + "% saved)";
    lines_.push_back(entry_line("compressed", name + "  " + sizes));
  }
}
