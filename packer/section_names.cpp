// The names of a container's sections.
#include "section_names.h"

#include <new>

#include "packer_errors.h"
#include "string_helpers.h"

namespace {

std::string folded(const char* name) {
  std::string text(name);
  for (char& c : text) c = ascii_lower(c);
  return text;
}

}  // namespace

bool section_names::contains(const char* name) const {
  try {
    return folded_.count(folded(name)) != 0;
  } catch (const std::bad_alloc&) {
    throw memory_exception();
  }
}

void section_names::add(const char* name) {
  try {
    folded_.insert(folded(name));
  } catch (const std::bad_alloc&) {
    throw memory_exception();
  }
}
