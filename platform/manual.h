// Where a program's manual is, for its help to name.
#pragma once

#include <string>

// What leads a user to program's manual page: "man tarnsplit" where the pages are installed
// for man (POSIX), "tarnsplit.txt" on Windows, whose package holds each page as text beside
// README.md. Defined by manual_posix.cpp or manual_windows.cpp.
std::string manual_of(const char* program);
