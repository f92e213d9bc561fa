// tarnsplit's command line: the options, which come before the first container's name, and
// the names; and the ways of running that the options choose.
#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

#include "unpack_status.h"

// The ways of running: extraction, unless an option asks for another.
enum class run_mode { extract, list, list_json, test };
enum class command_action { run, help, version };

// What sets a way of running apart, read by the command line and by the run alike.
struct run_mode_rules {
  run_mode mode;
  const char* option;         // the option that asks for it, as messages name it
  bool one_container;         // takes one container, not several
  bool messages_on_stderr;    // standard output holds a document alone
  bool heads_each_container;  // with several containers, each one's output begins with its name
  bool waits_for_key;         // after a failure, once every container is done, when watched
};

// In run_mode's order. Extraction is asked for by -o; --json turns --list into list_json.
inline constexpr run_mode_rules run_modes[] = {
    {run_mode::extract, "--output", false, false, false, true},
    {run_mode::list, "--list", false, false, true, false},
    {run_mode::list_json, "--list", true, true, false, false},
    {run_mode::test, "--test", false, false, false, false},
};

constexpr const run_mode_rules& rules_of(run_mode mode) { return run_modes[static_cast<int>(mode)]; }

constexpr bool run_modes_in_order() {
  for (size_t i = 0; i < std::size(run_modes); ++i)
    if (static_cast<size_t>(run_modes[i].mode) != i) return false;
  return true;
}
static_assert(run_modes_in_order(), "rules_of finds a mode's rules by its number");

struct tarnsplit_command {
  command_action action = command_action::run;
  run_mode mode = run_mode::extract;
  const char* output_directory = nullptr;  // -o DIR; nullptr: next to each container
  std::vector<const char*> containers;     // none: the name is asked for
};

// Reads main's arguments into command: success, or bad_command_line after printing what is
// wrong and the usage on standard error. "--" ends the options; so does the first argument
// that does not begin with '-' (or is "-" alone), and every later one is a name. A second
// way of running is refused where its option stands.
unpack_status read_command_line(int argc, char** argv, tarnsplit_command& command);

// --help and --version, on standard output.
void print_help();
void print_version();
