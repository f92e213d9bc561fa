// tarnpack's entry point on Windows: a GUI-subsystem program without a window, whose
// command-line text is the description's path.
#include <cstring>

#include "native_api.h"
#include "pack_run.h"
#include "usage.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  // A GUI program has no console to print to: its usage and version come in a box.
  if (std::strcmp(command_line, "--help") == 0) {
    MessageBoxA(nullptr, tarnpack_usage, "tarnpack", MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  if (std::strcmp(command_line, "--version") == 0) {
    MessageBoxA(nullptr, tarnpack_version, "tarnpack", MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  return run_tarnpack(command_line);
}
