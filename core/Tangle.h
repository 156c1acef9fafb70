// SPDX-License-Identifier: GPL-3.0-or-later
// The tangle: the line shifts that take a solved grid to the arrangement a game starts from.
#pragma once

#include "CellPos.h"

#include <vector>

namespace quorra {

class Lcg;
class TileGrid;

// Rotates the line through both cells so that the cell at From ends at To (TileGrid::shift).
struct TangleShift {
    CellPos from;
    CellPos to;
    friend bool operator==(const TangleShift &, const TangleShift &) = default;
};

// The shifts of one tangle of Grid (its dimensions and empty lines), drawn from Random as it stands: one per line
// but one, never the same line twice in a row. The draws never depend on the arrangement, so the whole sequence
// is known before the first shift is shown. A grid of fewer than two lines either way gets none.
std::vector<TangleShift> drawTangle(const TileGrid &grid, Lcg &random);

} // namespace quorra
