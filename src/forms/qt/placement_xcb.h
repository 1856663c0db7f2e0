// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

// Where the window goes and how it comes back, on X11 through Qt's own xcb
// connection; on Wayland, a word on what cannot be done there.
namespace Monvert::Forms {

// Before the application object exists: on a Wayland session with XWayland,
// prefer X11 so that placement and stay-on-top work, unless the user chose.
void choosePlatformBeforeStart();

// After: where placement cannot work, say so once.
void reportPlacementLimits();

// The window's client area made that wide, its frame's corner left where it
// is whatever the window manager reported.
void setWidthInPlace(QWidget *window, int clientWidth);

// On X11, the window shown, out of the iconic state and activated the way
// EWMH asks, whatever Qt believes its state to be.
void bringToFront(QWidget *window);

} // namespace Monvert::Forms
