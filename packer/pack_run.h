// The packer's run: builds the container a description names and writes it in one piece.
#pragma once

class check_report;

enum exit_status {
  exit_written = 0,    // the container was written (checking: it would be)
  exit_cancelled = 1,  // no description was given and none was chosen; nothing shown
  exit_failed = 2,     // an error was shown; nothing was written before the container was whole
};

// Runs tarnpack on path, the command line's text after its options: the description's
// path taken verbatim (cut to 259 characters); when it is empty the path is asked for.
// Every failure is shown in one message box.
exit_status run_tarnpack(const char* path);

// tarnpack --check: the same run up to the container complete in memory, with check told
// what happens on the way; writes nothing. A failure is recorded in check, not shown.
exit_status check_tarnpack(const char* path, check_report& check);

// Asks for the description with the system's file-open dialog (*.ini files first, the
// file must exist) into path (260 bytes, emptied first). False when the user cancels.
bool ask_description_path(char* path);
