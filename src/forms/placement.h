// SPDX-License-Identifier: MIT
#pragma once

#include <QtCore/qmargins.h>
#include <QtGui/qwindowdefs.h>

#include <cstdint>

// The one call into the window system that the window makes itself: placing it
// at start. Each platform has its own implementation file.
namespace Monvert::Forms {

inline const WId HWND_TOPMOST = WId(-1);
inline constexpr std::uint32_t SWP_NOACTIVATE = 0x10;
inline constexpr std::uint32_t SWP_SHOWWINDOW = 0x40;

// The frame that sizes are counted with: a fixed tool window's at 96 dpi, three
// pixels of border around and a caption of sixteen. Whatever frame the window
// manager really draws, the client area is the size asked for less this one,
// so the controls always fit.
inline constexpr QMargins ReferenceFrame(3, 19, 3, 3);

// Moves and sizes the window's outer rectangle, frame included, in screen
// pixels (Qt's, scaled with the screen), as ReferenceFrame counts it; HWND_TOPMOST puts it above
// every ordinary window for good. Returns whether the window was found; the window system may still
// adjust the result.
bool SetWindowPos(WId hWnd, WId hWndInsertAfter, int X, int Y, int cx, int cy,
                  std::uint32_t uFlags);

// Before the application object exists: on a Wayland session with XWayland,
// prefer X11 so that placement and stay-on-top work, unless the user chose.
void choosePlatformBeforeStart();

// After: where placement cannot work, say so once.
void reportPlacementLimits();

} // namespace Monvert::Forms
