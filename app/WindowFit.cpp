// Keeps a window's rectangle usable on the screen it is placed on.
#include "WindowFit.h"

#include <algorithm>
#include <utility>

namespace {

// One side, as start and length: the length within [Smallest, Room] (Room wins, a window larger than its screen
// being of no use), then the start moved so that the whole length lies in the room.
std::pair<int, int> FitSide(int Start, int Length, int RoomStart, int Room, int Smallest)
{
    const int Fitted = std::min(std::max(Length, Smallest), Room);
    return {std::clamp(Start, RoomStart, RoomStart + Room - Fitted), Fitted};
}

} // namespace

QRect FitToArea(const QRect &Wanted, const QRect &Area, const QSize &Minimum)
{
    if (Area.width() <= 0 || Area.height() <= 0)
        return Wanted;
    const auto [Left, Width] = FitSide(Wanted.left(), Wanted.width(), Area.left(), Area.width(), Minimum.width());
    const auto [Top, Height] = FitSide(Wanted.top(), Wanted.height(), Area.top(), Area.height(), Minimum.height());
    return QRect(Left, Top, Width, Height);
}
