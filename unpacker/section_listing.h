// What tarnsplit --list shows of a container: a table of its sections for people, or the
// same facts as one JSON document for scripts and zone tools.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "container_format.h"
#include "object_section_reader.h"
#include "unpack_status.h"

class section_listing {
 public:
  virtual ~section_listing() = default;
  // The container header is sound; before the first section.
  virtual void begin() = 0;
  // name as extraction keeps it; extractable: whether extraction would create it.
  virtual void file(const char* name, const section_header& header, bool extractable) = 0;
  // The object section: the visitor that read_object_section hands its parts to, then
  // objects_read once it was read whole.
  virtual object_section_visitor& objects(const section_header& header) = 0;
  virtual void objects_read() = 0;
  // After the last section.
  virtual void totals(uint32_t sections, uint64_t full_size, uint64_t stored_size) = 0;
  // The end of the run, whatever its status and wherever it stopped.
  virtual void end(unpack_status status) = 0;
};

// One aligned line per section (sizes, compression percent, the stored date and time,
// the name), then the totals.
std::unique_ptr<section_listing> make_text_listing(FILE* out);

// One JSON document (pure ASCII; bytes of names from 0x7F up and control bytes as \u00XX,
// the byte's value as the code point) naming container_name. It is whole however the run
// ends, and its last member is the run's status.
std::unique_ptr<section_listing> make_json_listing(FILE* out, const char* container_name);

// "1 file", "3 files": a count and its noun.
std::string count_text(uint64_t count, const char* noun);
