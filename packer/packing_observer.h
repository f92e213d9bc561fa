// What packing tells whoever watches it build a container (tarnpack --check): each call
// says what packing has just read, decided or appended, with what packing itself knows at
// that point. Every method does nothing unless overridden, so packing calls them whether
// anyone watches or not; an observer never changes what is built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "byte_buffer.h"
#include "file_packing.h"
#include "ini_file.h"

// Why a line of [objectimages] defines no image.
enum class image_line_fault {
  not_image,     // no "IMAGEn=" line at all
  leading_zero,  // IMAGE05=
  above_255,     // IMAGE256=
  repeated,      // an earlier line defines the number, and the first counts
};

class packing_observer {
 public:
  virtual ~packing_observer() = default;

  // ---- In the order packing makes them ----

  // The description is loaded, the head selected.
  virtual void description_loaded(const ini_file&) {}

  // The parameter name (as packing asked for it: "OutFile", "IMAGE2") gave value; cut when
  // the reader kept only its first limit characters.
  virtual void value_read(const char* /*name*/, const char* /*value*/, bool /*cut*/,
                          size_t /*limit*/) {}

  // An object line as packing read it; cut as above.
  virtual void line_read(const char* /*line*/, bool /*cut*/, size_t /*limit*/) {}

  // The entry path had its turn: unless outcome is left_out, its section starts at offset
  // of container.
  virtual void entry_packed(const char* /*path*/, entry_outcome /*outcome*/, const byte_buffer& /*container*/,
                            uint32_t /*offset*/) {}

  // Packing has read all it reads of the head: its unread lines are ignored. The observer
  // may read them (packing reads nothing more there).
  virtual void head_read(ini_file&) {}

  // The environment's variable, set to setting, gave files sections (of those packed) its
  // time in place of their files' later ones.
  virtual void times_clamped(const char* /*variable*/, const std::string& /*setting*/, uint32_t /*files*/) {}

  // Image number is stored with the file name stored_name.
  virtual void image_defined(unsigned /*number*/, const char* /*stored_name*/) {}

  // A line of [objectimages], as packing read it, is ignored for fault; number is the image
  // number it repeats.
  virtual void image_line_ignored(const char* /*line*/, image_line_fault /*fault*/,
                                  unsigned /*number*/) {}

  // An object line holds a number that its record keeps otherwise; what says how.
  virtual void object_changed(const char* /*line*/, const std::string& /*what*/) {}

  virtual void objects_compiled(uint32_t /*images*/, uint32_t /*map_objects*/,
                                uint32_t /*screen_objects*/) {}

  // The object section had its turn, as entry_packed.
  virtual void objects_packed(entry_outcome /*outcome*/, const byte_buffer& /*container*/,
                              uint32_t /*offset*/) {}

  // The container is complete and has gone where it goes: to output_path, or, for a check,
  // nowhere.
  virtual void container_built(const char* /*output_path*/, const byte_buffer& /*container*/) {}
};

// The observer of a run that nobody watches.
inline packing_observer& unobserved() {
  static packing_observer none;  // holds nothing, so every thread may share it
  return none;
}
