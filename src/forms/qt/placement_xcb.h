// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

// Where the window goes and how it comes back, on X11 through Qt's own xcb
// connection.
namespace Monvert::Forms {

// The window's client area made that wide, its frame's corner left where it
// is whatever the window manager reported.
void setWidthInPlace(QWidget *window, int clientWidth);

// On X11, the window shown, out of the iconic state and activated the way
// EWMH asks, whatever Qt believes its state to be.
void bringToFront(QWidget *window);

} // namespace Monvert::Forms
