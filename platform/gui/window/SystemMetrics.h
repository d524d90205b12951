// Sizes of the screen and of window parts, as the program asks the system for them.
#pragma once

#include "platform/base/WinTypes.h"

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CYMENU = 15;

// 0 for an index not known here, and for every size without a user interface.
int GetSystemMetrics(int nIndex);
