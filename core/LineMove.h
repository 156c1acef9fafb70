// SPDX-License-Identifier: GPL-3.0-or-later
// One turn of a row or a column, as the player makes it and as the history keeps it.
#pragma once

#include "CellPos.h"

#include <cstdint>

namespace quorra {

enum class LineAxis : std::uint8_t { Row = 0, Column = 1 };

// The cell at From went Steps cells along its line (negative: left or up) and ended at To. Steps is the way it is
// shown sliding; the arrangement depends only on From and To.
struct LineMove {
    CellPos from;
    CellPos to;
    LineAxis axis = LineAxis::Row;
    int steps = 0;

    // The move that takes this one back.
    LineMove reversed() const { return {to, from, axis, -steps}; }
    friend bool operator==(const LineMove &, const LineMove &) = default;
};

} // namespace quorra
