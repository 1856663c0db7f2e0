// SPDX-License-Identifier: MIT
// Windows has the placement call itself.
#include "forms/placement.h"

#include <windows.h>

namespace Monvert::Forms {

bool SetWindowPos(WId hWnd, WId hWndInsertAfter, int X, int Y, int cx, int cy, std::uint32_t uFlags)
{
    return ::SetWindowPos(reinterpret_cast<HWND>(hWnd), reinterpret_cast<HWND>(hWndInsertAfter), X,
                          Y, cx, cy, UINT(uFlags))
        != 0;
}

void choosePlatformBeforeStart() { }

void reportPlacementLimits() { }

} // namespace Monvert::Forms
