// SPDX-License-Identifier: MIT
#pragma once

#include "forms/form.h"

class QWidget;

namespace Monvert::Forms {

// Twips per device-independent pixel at the widget's screen's logical density
// (15 at 96 dpi).
[[nodiscard]] double twipsPerPixel(const QWidget *widget);

[[nodiscard]] int twipsToPixels(double twips, const QWidget *widget);

} // namespace Monvert::Forms
