// Reading an object section's content with every read checked against its end: its header,
// records and images handed in turn to a visitor, which renders them (the description),
// counts them or lists them.
#pragma once

#include <cstdint>

#include "object_section.h"
#include "unpack_status.h"

struct object_section_counts {
  object_version version = object_version::unknown;
  uint32_t images = 0;
  uint32_t map_objects = 0;
  uint32_t screen_objects = 0;
};

// What is done with an object section's parts, in the order the description writes them.
class object_section_visitor {
 public:
  virtual ~object_section_visitor() = default;
  // After the header and every record were read, before the first image is read.
  virtual void counts(const object_section_counts&) {}
  virtual void image(uint32_t /*index*/, const image_entry_head&, const char* /*file_name*/) {}
  // The map objects, then the screen objects, each kind in the order of its records.
  virtual void object(const object_record&) {}
};

// Reads the object-definition block of length bytes and hands its parts to visitor.
// success, or the status after printing the failure's message: description_not_written for
// a header cut short, objects_invalid for an unknown magic or a record cut short,
// image_entry_invalid for an image entry cut short, its name without NUL or a name that
// no description line carries back (image_name_fault_of) before it is handed over, out_of_memory
// when the records cannot be held. Parts handed over before a failure stay handed over.
unpack_status read_object_section(const unsigned char* content, uint32_t length,
                                  object_section_visitor& visitor);
