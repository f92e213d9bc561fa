// The ANSI code page of Windows, in which the programs' names are read.
#include "code_page.h"

#include <windows.h>

bool is_lead_byte(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != 0; }
