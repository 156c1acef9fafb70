// SPDX-License-Identifier: GPL-3.0-or-later
// Points and sizes in the pixels of the picture as the view shows it, where the pointer and the cells meet.
#pragma once

namespace quorra {

struct PicturePoint {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(PicturePoint, PicturePoint) = default;
};

struct PixelSize {
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(PixelSize, PixelSize) = default;
};

} // namespace quorra
