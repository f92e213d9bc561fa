// tarnpack's command line.
#include "command_line.h"

#include <cstring>

#include "safe_name.h"
#include "string_helpers.h"

namespace {

// A word that is taken as an option: one that begins with '-' and is not "-" alone.
bool begins_option(const char* p) { return p[0] == '-' && p[1] != '\0' && !is_blank(p[1]); }

}  // namespace

tarnpack_command parse_command_line(const char* text) {
  bool check = false, help = false, version = false;
  const char* p = text;
  while (begins_option(p)) {
    const char* end = p;
    while (*end && !is_blank(*end)) ++end;
    std::string word(p, end);
    p = skip_blanks(end);
    if (word == "--") break;
    if (word == "-c" || word == "--check")
      check = true;
    else if (word == "-h" || word == "--help")
      help = true;
    else if (word == "-V" || word == "--version")
      version = true;
    else
      return {tarnpack_action::unknown_option, nullptr, word};
  }
  if (help) return {tarnpack_action::help, nullptr, {}};
  if (version) return {tarnpack_action::version, nullptr, {}};
  return {check ? tarnpack_action::check : tarnpack_action::pack, p, {}};
}

const char* text_after_program_name(const char* command_line) {
  const auto* p = reinterpret_cast<const unsigned char*>(command_line);
  bool quoted = false;
  for (; *p > ' ' || (*p && quoted); ++p)
    if (*p == '"') quoted = !quoted;
  while (*p && *p <= ' ') ++p;
  return reinterpret_cast<const char*>(p);
}

std::string unknown_option_message(const std::string& option) {
  return "Unknown option " + printable_name(option.c_str()) +
         " (a description whose name begins with - follows --)";
}
