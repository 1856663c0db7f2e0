// SPDX-License-Identifier: MIT
#pragma once

#include "forms/form.h"

class QWidget;

namespace Monvert::Forms {

// Twips per device-independent pixel at the widget's screen's logical density
// (15 at 96 dpi).
[[nodiscard]] double twipsPerPixel(const QWidget *widget);

[[nodiscard]] int twipsToPixels(double twips, const QWidget *widget);

// Device-independent pixels per pixel counted at 96 dpi, at the widget's
// screen's logical density: 1 where Qt scales the screen itself (144 dpi
// gives a device pixel ratio of 1.5), below 1 on screens under 96 dpi, which
// Qt leaves unscaled. Sizes given at 96 dpi and sizes given in twips then
// agree on every screen.
[[nodiscard]] double screenScale(const QWidget *widget);

} // namespace Monvert::Forms
