// SPDX-License-Identifier: GPL-3.0-or-later
// One cell of a tile arrangement: the piece it holds and where that piece lies in the solved picture.
#pragma once

#include "CellPos.h"

#include <cstdint>

namespace quorra {

struct Tile {
    std::int32_t number = 0; // 1 .. rows * columns in reading order of its home; 0 for an empty cell
    CellPos home;            // where the piece lies in the solved picture

    friend bool operator==(const Tile &, const Tile &) = default;
};

} // namespace quorra
