// The unpacker's run: takes containers apart into directories named after them (or into a
// chosen one), or lists or tests them.
#pragma once

// Runs tarnsplit with main's arguments. Returns the exit status: 0 when every container
// went well; otherwise the first failure's status, each failure after its message and the
// exit report; bad_command_line (15) for arguments it cannot take.
int run_tarnsplit(int argc, char** argv);
