// The Windows API that the packer calls: the real declarations, and local_zone_rules, which
// it shares with tarnsplit.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max stay usable
#endif
#include <windows.h>

#include <commdlg.h>

#include "local_zone.h"
