// tarnpack --check: what packing observes while it builds a container (each section, each
// entry left out, and what it accepts silently though a zone maker hardly meant it),
// rendered as a report and warnings. Packing is handed one only when checking; the
// observations never change what is built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_buffer.h"
#include "ini_file.h"
#include "packer_errors.h"

class check_report {
 public:
  // ---- Observations, in the order packing makes them ----

  // The description is loaded: head parameters that stand below a section header, where
  // packing never looks for them.
  void description_loaded(const ini_file& description);

  // A value or line as packing read it, named in warnings by line: cut when the reader
  // kept only its first limit characters. A ';' in value is part of it.
  void line_read(const std::string& line, const char* value, bool cut, size_t limit);

  // The entry path was packed: container gained the section at old_size, or nothing when
  // its name was taken already.
  void entry_packed(const char* path, const byte_buffer& container, uint32_t old_size);

  // The environment's variable, set to setting, gave files sections (of those packed) its
  // time in place of their files' later ones.
  void times_clamped(const char* variable, const std::string& setting, uint32_t files);

  // Packing has read what it reads of the selected section, the head or [objectimages]:
  // its unread lines are ignored (they are consumed here).
  void head_read(ini_file& description);
  void images_read(ini_file& description);

  // Image number is stored with the file name stored_name.
  void image_defined(unsigned number, const char* stored_name);

  // An object line holds a number that its record keeps otherwise; what says how.
  void object_changed(const char* line, const std::string& what);

  void objects_compiled(uint32_t images, uint32_t map_objects, uint32_t screen_objects);

  // The object section was appended at old_size (nothing when container is that long).
  void objects_packed(const byte_buffer& container, uint32_t old_size);

  // The container is complete; it would be written to output_path.
  void container_built(const char* output_path, const byte_buffer& container);

  // Packing fails with error.
  void failed(const base_exception& error);

  // ---- What was found ----

  bool has_failed() const { return failed_; }
  // The failure's text, as packing shows it.
  const std::string& error() const { return error_; }
  // "NAME: N sections, S bytes", then a line for each entry and the object section, and
  // one for a clamp of the files' times.
  std::string report() const;
  // Each "warning: ..." with its line end, in the order found.
  std::string warnings() const;
  bool has_warnings() const { return !warnings_.empty(); }

 private:
  void warn(const std::string& text) { warnings_.push_back(text); }
  void add_section_line(const byte_buffer& container, uint32_t offset, const std::string& name);

  std::string head_;
  std::vector<std::string> lines_;
  std::vector<std::string> warnings_;
  std::vector<std::pair<unsigned, std::string>> images_;  // number, stored file name
  std::string objects_;                                    // what the object section holds
  std::string clamp_;                                      // how many times a clamp changed
  bool failed_ = false;
  std::string error_;
};
