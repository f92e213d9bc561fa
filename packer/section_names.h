// The names of a container's sections, compared without regard to the case of ASCII
// letters, so that finding a duplicate costs the same however many sections there are.
#pragma once

#include <string>
#include <unordered_set>

class section_names {
 public:
  // True when a name equal to name (ignoring case) has been added.
  bool contains(const char* name) const;

  // Adds name. Throws memory_exception.
  void add(const char* name);

 private:
  std::unordered_set<std::string> folded_;  // each name with its capitals made small
};
