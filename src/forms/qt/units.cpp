// SPDX-License-Identifier: MIT
#include "forms/qt/units.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace Monvert::Forms {

double twipsPerPixel(const QWidget *widget)
{
    const QScreen *screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return TwipsPerInch / (dpi > 0 ? dpi : 96.0);
}

double screenScale(const QWidget *widget)
{
    return TwipsPerInch / 96.0 / twipsPerPixel(widget);
}

int twipsToPixels(double twips, const QWidget *widget)
{
    return int(std::lround(twips / twipsPerPixel(widget)));
}

} // namespace Monvert::Forms
