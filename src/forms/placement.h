// SPDX-License-Identifier: MIT
#pragma once

#include "forms/form.h"

#include <cstdint>

// The one call into the window system that the window makes itself: placing it
// at start.
namespace Monvert::Forms {

// Names of the layer's own: the system's (HWND_TOPMOST, SWP_...) are macros
// in <windows.h>, which each implementation maps these onto.
inline const WindowHandle AboveAll = WindowHandle(-1);
inline constexpr std::uint32_t PlaceWithoutActivating = 0x10;
inline constexpr std::uint32_t PlaceAndShow = 0x40;

// The frame that sizes are counted with: a fixed tool window's at 96 dpi, three
// pixels of border around and a caption of sixteen. Whatever frame the window
// manager really draws, the client area is the size asked for less this one,
// so the controls always fit.
struct Frame
{
    int left, top, right, bottom;
};
inline constexpr Frame ReferenceFrame{3, 19, 3, 3};

// Moves and sizes the window's outer rectangle, frame included, in pixels
// scaled with the screen (96 to the inch), as ReferenceFrame counts it;
// AboveAll puts it above every ordinary window for good. Returns whether
// the window was found; the window system may still adjust the result.
bool SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx, int cy,
                  std::uint32_t uFlags);

} // namespace Monvert::Forms
