// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps a window's rectangle usable on the screen it is placed on.
#pragma once

#include <QRect>
#include <QSize>

namespace quorra {

// Wanted is the window's rectangle as asked for (a stored placement, or the design size at some place), Area the
// available area of its screen, Minimum the window's smallest size. The result is no larger than the area, at
// least the smallest size where the area has room for it, and lies wholly inside the area, moved as little as
// that needs. An empty or inverted Wanted counts as the smallest size.
QRect fitToArea(const QRect &wanted, const QRect &area, const QSize &minimum);

} // namespace quorra
