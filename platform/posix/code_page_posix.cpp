// On POSIX names are bytes as written, in no code page of the system's.
#include "code_page.h"

bool is_lead_byte(char) { return false; }
