// How tarnpack --check shows what it found.
#include "check_display.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "native_api.h"
#include "packer_errors.h"

namespace {

constexpr char caption[] = "tarnpack";

// A box must fit on a screen 768 pixels high, its OK button with it: about 40 rows of text,
// where a box wraps a line at about 50 characters (wine's boxes wrap there, Windows' further
// on). The warnings come first, in up to 14 rows; then the totals, and as many entries as
// the rows left hold, 25 at most. What does not fit is counted in a line of its own.
constexpr size_t box_rows = 40;
constexpr size_t box_row_width = 50;
constexpr size_t box_warning_rows = 14;
constexpr size_t box_entries = 25;

size_t rows_of(const std::string& line) {
  return std::max<size_t>(1, (line.size() + box_row_width - 1) / box_row_width);
}

// What a box shows of some lines: the first of them that fit in a number of rows.
struct fitted_lines {
  std::string text;  // each with its line end, then "... and N more ..." for the rest
  size_t rows = 0;   // that the text takes
};

// The first of lines that fit in rows (one of which the count of the rest takes, when there
// is a rest), at most most of them; one and several name what they are.
fitted_lines fit(const std::vector<std::string>& lines, size_t rows, size_t most, const std::string& indent,
                 const char* one, const char* several) {
  fitted_lines fitted;
  size_t shown = 0;
  for (; shown < lines.size() && shown < most; ++shown) {
    size_t needed = rows_of(lines[shown]) + (shown + 1 < lines.size() ? 1 : 0);
    if (fitted.rows + needed > rows) break;
    fitted.rows += rows_of(lines[shown]);
    fitted.text += lines[shown] + "\n";
  }
  if (size_t left = lines.size() - shown) {
    fitted.text += indent + "... and " + std::to_string(left) + " more " + (left == 1 ? one : several) + "\n";
    ++fitted.rows;
  }
  return fitted;
}

fitted_lines box_warnings(const check_report& check) {
  return fit(check.warning_lines(), box_warning_rows, SIZE_MAX, "", "warning", "warnings");
}

}  // namespace

message_box_text check_box(const check_report& check) {
  std::string totals = check.totals();
  size_t rows = rows_of(totals);
  std::string warnings;
  if (check.has_warnings()) {
    fitted_lines fitted = box_warnings(check);
    warnings = fitted.text + "\n";
    rows += fitted.rows + 1;
  }
  std::string entries = fit(check.entry_lines(), box_rows - rows, box_entries, "  ", "entry", "entries").text;
  unsigned icon = check.has_warnings() ? MB_ICONWARNING : MB_ICONINFORMATION;
  return {warnings + totals + "\n" + entries, MB_OK | icon};
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
  if (check.has_warnings())
    MessageBoxA(nullptr, box_warnings(check).text.c_str(), caption, MB_OK | MB_ICONWARNING);
  report_error_text(check.error().c_str());
}
