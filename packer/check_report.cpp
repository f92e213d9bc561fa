// tarnpack --check: packing's observations and their rendering.
#include "check_report.h"

#include <cstring>

#include "container_format.h"
#include "file_packing.h"
#include "paths.h"
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

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Why an [objectimages] line that no IMAGE0 to IMAGE255 read took is passed over.
std::string image_line_fault(const char* line) {
  const char* p = line;
  for (const char* prefix = "image"; *prefix; ++prefix, ++p)
    if (ascii_lower(*p) != *prefix) return "it is no image definition (IMAGE0 to IMAGE255)";
  const char* digits = p;
  while (is_digit(*p)) ++p;
  size_t count = static_cast<size_t>(p - digits);
  if (count == 0 || !parameter_value(line, std::string(line, p).c_str()))
    return "it is no image definition (IMAGE0 to IMAGE255)";
  if (count > 1 && digits[0] == '0') return "image numbers have no leading zeros";
  std::string number(digits, count);
  if (count > 3 || std::stoi(number) > 255) return "image numbers go up to 255";
  return "an earlier line defines IMAGE" + number + ", and the first counts";
}

// n with "," between groups of three digits.
std::string grouped(uint64_t n) {
  std::string digits = std::to_string(n);
  for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
  return digits;
}

// How much of full the stored bytes save, in percent to one decimal, rounded half up.
std::string percent_saved(uint32_t full, uint32_t stored) {
  if (full == 0 || stored >= full) return "0.0";
  uint64_t tenths = ((uint64_t{full} - stored) * 2000 + full) / (uint64_t{2} * full);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
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
  description.for_each_line_below_headers(line_limit + 1, [this](const char* section, const char* line) {
    if (const char* name = head_parameter_of(line))
      warn(quoted(line) + " below [" + section + "] is ignored: " + name +
           " counts only before the first [section]");
  });
}

void check_report::line_read(const std::string& line, const char* value, bool cut, size_t limit) {
  if (cut) warn(quoted(line.c_str()) + " is cut at " + std::to_string(limit) + " characters");
  if (std::strchr(value, ';'))
    warn(quoted(line.c_str()) + " holds ';': a comment after a value is part of the value");
}

void check_report::entry_packed(const char* path, const byte_buffer& container, uint32_t old_size) {
  if (container.size() > old_size) {
    const unsigned char* stored_name = container.data() + old_size + section_header_size;
    add_section_line(container, old_size, reinterpret_cast<const char*>(stored_name));
    return;
  }
  const char* name = file_name_part(path);
  const char* earlier = section_named(container, name);
  if (!earlier) earlier = "";
  lines_.push_back(
      entry_line("left out", std::string(path) + ": an earlier entry (" + earlier + ") has this name"));
  if (std::strcmp(earlier, name) != 0)
    warn(std::string(path) + " is left out: its name " + name +
         " differs only in letter case from the earlier " + earlier);
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

void check_report::images_read(ini_file& description) {
  char line[line_limit + 1];
  while (description.next_line(line, sizeof line))
    if (!head_parameter_of(line))  // told of when the description was loaded
      warn(quoted(line) + " in [objectimages] is ignored: " + image_line_fault(line));
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

void check_report::objects_packed(const byte_buffer& container, uint32_t old_size) {
  if (container.size() > old_size) add_section_line(container, old_size, objects_);
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

std::string check_report::report() const {
  std::string text = head_ + "\n";
  for (const std::string& line : lines_) text += line + "\n";
  if (!clamp_.empty()) text += clamp_ + "\n";
  return text;
}

std::string check_report::warnings() const {
  std::string text;
  for (const std::string& warning : warnings_) text += "warning: " + warning + "\n";
  return text;
}

void check_report::add_section_line(const byte_buffer& container, uint32_t offset, const std::string& name) {
  section_header header = decode_section_header(container.data() + offset);
  std::string sizes = grouped(header.full_size);
  if (header.stored_size == header.full_size) {
    lines_.push_back(entry_line("stored", name + "  " + sizes + " bytes"));
  } else {
    sizes += " -> " + grouped(header.stored_size) + " bytes (" +
             percent_saved(header.full_size, header.stored_size) + "% saved)";
    lines_.push_back(entry_line("compressed", name + "  " + sizes));
  }
}
