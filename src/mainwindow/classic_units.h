#pragma once

#include <QWidget>

#include <cmath>

namespace kinetra {

// Positions and sizes of the classic window design are in units of 1/1440 inch: 15 units make
// one pixel at 96 dpi, and the screen's scale applies on top.
inline int classicUnits(const QWidget* widget, int units)
{
    const double dpi = widget ? widget->logicalDpiX() : 96.0;
    return static_cast<int>(std::lround(units / 15.0 * dpi / 96.0));
}

} // namespace kinetra
