// tarnsplit: takes level-zone containers apart, lists or tests them.
#include "unpack_run.h"

int main(int argc, char** argv) { return run_tarnsplit(argc, argv); }
