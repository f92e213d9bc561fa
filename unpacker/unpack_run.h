// The unpacker's run: takes one container apart into a directory named after it.
#pragma once

// Runs tarnsplit with main's arguments. Returns the exit status: 0 when every section was
// processed; otherwise the failure's status after its message and the exit report.
int run_tarnsplit(int argc, char** argv);
