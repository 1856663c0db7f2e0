// SPDX-License-Identifier: MIT
#pragma once

#include <QtGui/qwindowdefs.h>

#include <cstdint>

// The one call into the window system that the window makes itself: placing it
// at start. Each platform has its own implementation file.
namespace Monvert::Forms {

inline const WId HWND_TOPMOST = WId(-1);
inline constexpr std::uint32_t SWP_NOACTIVATE = 0x10;
inline constexpr std::uint32_t SWP_SHOWWINDOW = 0x40;

// Moves and sizes the window's outer rectangle, frame included, in screen
// pixels; HWND_TOPMOST puts it above every ordinary window for good. Returns
// whether the window was found; the window system may still adjust the result.
bool SetWindowPos(WId hWnd, WId hWndInsertAfter, int X, int Y, int cx, int cy,
                  std::uint32_t uFlags);

// Before the application object exists: on a Wayland session with XWayland,
// prefer X11 so that placement and stay-on-top work, unless the user chose.
void choosePlatformBeforeStart();

// After: where placement cannot work, say so once.
void reportPlacementLimits();

} // namespace Monvert::Forms
