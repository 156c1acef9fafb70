// SPDX-License-Identifier: GPL-3.0-or-later
// Converts the windows' design sizes, drawn at 120 dots per inch, to the screen's logical dots per inch.
#pragma once

#include <QWidget>
#include <cmath>

namespace quorra {

inline int designPixels(int pixels, const QWidget *widget)
{
    return int(std::lround(pixels * widget->logicalDpiX() / 120.0));
}

} // namespace quorra
