// How tarnpack --check shows what it found: on a console the report on standard output and
// the warnings and the error on standard error; where there is no console, in message boxes.
#pragma once

#include <string>

#include "check_report.h"

struct message_box_text {
  std::string text;
  unsigned style;  // MB_ flags: the information icon, or the warning icon after warnings
};

// The one box of a check that did not fail: its warnings, then its totals and entries, as
// many of each as fit on a screen, with a line that counts the rest.
message_box_text check_box(const check_report& check);

// Console: the report, or after a failure only the warnings and then the error, as packing
// shows it.
void print_check(const check_report& check);

// Message boxes: the report's box, or after a failure the warnings' box (as many as fit)
// when there are warnings and then the error's box, as packing shows it.
void show_check(const check_report& check);
