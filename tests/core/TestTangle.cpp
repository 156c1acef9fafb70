// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the tangle's draws: the shifts each seed gives, which puzzles already shared must keep.
#include "core/Lcg.h"
#include "core/Tangle.h"
#include "core/TileGrid.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <string>

using namespace quorra;

TEST_CASE("every seed gives the shifts it always gave")
{
    struct Case {
        int rows;
        int cols;
        bool emptyRow;
        bool emptyCol;
        std::uint32_t seed;
        const char *shifts; // "from>to" of each shift, as column,row
    };
    const Case cases[] = {
        {2, 2, false, false, 1u, "1,1>1,2 2,1>2,2 1,2>2,2"},
        {3, 3, false, false, 77u, "3,1>3,3 1,1>1,3 1,3>2,3 2,1>2,2 3,1>3,3"},
        {4, 4, true, true, 123456789u, "1,1>3,1 4,1>4,2 1,4>5,4 1,5>2,5 4,1>4,5 1,4>4,4 1,3>4,3 1,1>1,4 1,2>4,2"},
        {2, 3, false, true, 4294967295u, "1,2>2,2 4,1>4,2 1,2>2,2 3,1>3,2 2,1>2,2"},
        {3, 2, true, false, 2654435761u, "1,1>1,4 1,3>2,3 1,1>2,1 1,2>2,2 2,1>2,3"},
    };
    for (const Case &c : cases) {
        CAPTURE(c.seed);
        TileGrid grid;
        grid.init(c.rows, c.cols, c.emptyRow, c.emptyCol);
        Lcg random;
        random.setSeed(c.seed);
        std::string shifts;
        for (const TangleShift &s : drawTangle(grid, random))
            shifts += (shifts.empty() ? "" : " ") + std::to_string(s.from.x()) + ',' + std::to_string(s.from.y()) + '>'
                      + std::to_string(s.to.x()) + ',' + std::to_string(s.to.y());
        CHECK(shifts == c.shifts);
    }
}

TEST_CASE("a grid of fewer than two lines either way gets no shifts")
{
    Lcg random;
    CHECK(drawTangle(TileGrid(), random).empty());
}
