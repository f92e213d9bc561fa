// The object-definition compiler. Objects are not compiled yet: no description gives an
// object section so far.
#include "object_compiler.h"

void compile_objects(byte_buffer&, ini_file&) {}
