// tarnpack --check: what packing observes while it builds a container (each section, each
// entry left out, and what it accepts silently though a zone maker hardly meant it),
// rendered as a report and warnings. The observations never change what is built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "byte_buffer.h"
#include "ini_file.h"
#include "packer_errors.h"
#include "packing_observer.h"

class check_report : public packing_observer {
 public:
  // ---- Observations (see packing_observer) ----

  // Head parameters that stand below a section header, where packing never looks for them.
  void description_loaded(const ini_file& description) override;
  // A value or line cut, or holding ';'.
  void value_read(const char* name, const char* value, bool cut, size_t limit) override;
  void line_read(const char* line, bool cut, size_t limit) override;
  void entry_packed(const char* path, entry_outcome outcome, const byte_buffer& container,
                    uint32_t offset) override;
  // The head's unread lines are consumed here.
  void head_read(ini_file& description) override;
  void times_clamped(const char* variable, const std::string& setting, uint32_t files) override;
  void image_defined(unsigned number, const char* stored_name) override;
  void image_line_ignored(const char* line, image_line_fault fault, unsigned number) override;
  void object_changed(const char* line, const std::string& what) override;
  void objects_compiled(uint32_t images, uint32_t map_objects, uint32_t screen_objects) override;
  void objects_packed(entry_outcome outcome, const byte_buffer& container, uint32_t offset) override;
  void container_built(const char* output_path, const byte_buffer& container) override;

  // Packing fails with error.
  void failed(const base_exception& error);

  // ---- What was found ----

  bool has_failed() const { return failed_; }
  // The failure's text, as packing shows it.
  const std::string& error() const { return error_; }
  // In all that follows, the control bytes of names and lines are shown as \xNN.

  // "NAME: N sections, S bytes".
  std::string totals() const;
  // A line for each entry and the object section, in the container's order.
  std::vector<std::string> entry_lines() const;
  // Each "warning: ...", in the order found.
  std::vector<std::string> warning_lines() const;
  // The totals, then the entry lines and one for a clamp of the files' times, each with its
  // line end.
  std::string report() const;
  // The warning lines, each with its line end.
  std::string warnings() const;
  bool has_warnings() const { return !warnings_.empty(); }

 private:
  void warn(const std::string& text) { warnings_.push_back(text); }
  void note_line(const std::string& line, const char* value, bool cut, size_t limit);
  void add_section_line(entry_outcome outcome, const byte_buffer& container, uint32_t offset,
                        const std::string& name);

  std::string head_;
  std::vector<std::string> lines_;
  std::vector<std::string> warnings_;
  std::vector<std::pair<unsigned, std::string>> images_;  // number, stored file name
  std::string objects_;                                    // what the object section holds
  std::unordered_map<std::string, std::string> entry_paths_;  // by a section's folded name, its entry's path
  std::string clamp_;                                         // how many times a clamp changed
  bool failed_ = false;
  std::string error_;
};
