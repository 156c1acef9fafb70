// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps a window's rectangle usable on the screen it is placed on.
#include "WindowFit.h"

#include <algorithm>
#include <utility>

namespace quorra {

namespace {

// One side, as start and length: the length within [Smallest, Room] (Room wins, a window larger than its screen
// being of no use), then the start moved so that the whole length lies in the room.
std::pair<int, int> fitSide(int start, int length, int roomStart, int room, int smallest)
{
    const int fitted = std::min(std::max(length, smallest), room);
    return {std::clamp(start, roomStart, roomStart + room - fitted), fitted};
}

} // namespace

QRect fitToArea(const QRect &wanted, const QRect &area, const QSize &minimum)
{
    if (area.width() <= 0 || area.height() <= 0)
        return wanted;
    const auto [Left, Width] = fitSide(wanted.left(), wanted.width(), area.left(), area.width(), minimum.width());
    const auto [Top, Height] = fitSide(wanted.top(), wanted.height(), area.top(), area.height(), minimum.height());
    return QRect(Left, Top, Width, Height);
}

} // namespace quorra
