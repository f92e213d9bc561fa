// The Windows API that the packer calls: the real declarations.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max stay usable
#endif
#include <windows.h>

#include <commdlg.h>
