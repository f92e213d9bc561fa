// tarnpack's entry point on Windows: a GUI-subsystem program without a window, whose
// command-line text holds the options and the description's path.
#include <string>

#include "check_display.h"
#include "check_report.h"
#include "command_line.h"
#include "native_api.h"
#include "pack_run.h"
#include "packer_errors.h"
#include "usage.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  tarnpack_command command = parse_command_line(text_after_program_name(GetCommandLineA()));
  // A GUI program has no console to print to: all it says comes in a box.
  switch (command.action) {
    case tarnpack_action::help:
      MessageBoxA(nullptr, tarnpack_usage, "tarnpack", MB_OK | MB_ICONINFORMATION);
      return 0;
    case tarnpack_action::version:
      MessageBoxA(nullptr, tarnpack_version, "tarnpack", MB_OK | MB_ICONINFORMATION);
      return 0;
    case tarnpack_action::unknown_option:
      report_error_text((unknown_option_message(command.option) + "\n\n" + tarnpack_usage).c_str());
      return exit_failed;
    case tarnpack_action::check: {
      check_report check;
      exit_status status = check_tarnpack(command.path, check);
      if (status != exit_cancelled) show_check(check);
      return status;
    }
    case tarnpack_action::pack:
      break;
  }
  return run_tarnpack(command.path);
}
