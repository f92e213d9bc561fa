// How tarnpack --check shows what it found.
#include "check_display.h"

#include <cstdio>

#include "native_api.h"
#include "packer_errors.h"

namespace {

constexpr char caption[] = "tarnpack";

}  // namespace

message_box_text check_box(const check_report& check) {
  if (!check.has_warnings()) return {check.report(), MB_OK | MB_ICONINFORMATION};
  return {check.report() + "\n" + check.warnings(), MB_OK | MB_ICONWARNING};
}

void print_check(const check_report& check) {
  if (!check.has_failed()) std::fputs(check.report().c_str(), stdout);
  std::fflush(stdout);
  std::fputs(check.warnings().c_str(), stderr);
  std::fflush(stderr);
  if (check.has_failed()) report_error_text(check.error().c_str());
}

void show_check(const check_report& check) {
  if (!check.has_failed()) {
    message_box_text box = check_box(check);
    MessageBoxA(nullptr, box.text.c_str(), caption, box.style);
    return;
  }
  if (check.has_warnings()) MessageBoxA(nullptr, check.warnings().c_str(), caption, MB_OK | MB_ICONWARNING);
  report_error_text(check.error().c_str());
}
