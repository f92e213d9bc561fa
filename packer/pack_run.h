// The packer's run: builds the container a description names and writes it in one piece.
#pragma once

enum exit_status {
  exit_written = 0,    // the container was written
  exit_cancelled = 1,  // no description was given and none was chosen; nothing shown
  exit_failed = 2,     // an error was shown; nothing was written before the container was whole
};

// Runs tarnpack on the command-line text, which is the description's path taken verbatim
// (cut to 259 characters); when it is empty the path is asked for. Every failure is shown
// in one message box.
exit_status run_tarnpack(const char* command_line);

// Asks for the description with the system's file-open dialog (*.ini files first, the
// file must exist) into path (260 bytes, emptied first). False when the user cancels.
bool ask_description_path(char* path);
