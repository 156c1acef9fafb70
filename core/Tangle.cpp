// SPDX-License-Identifier: GPL-3.0-or-later
// The tangle's draws: which line moves next and how far.
#include "Tangle.h"

#include "Lcg.h"
#include "TileGrid.h"

#include <algorithm>
#include <iterator>

namespace quorra {

std::vector<TangleShift> drawTangle(const TileGrid &grid, Lcg &random)
{
    std::vector<TangleShift> shifts;
    const int cols = grid.totalColumns();
    const int rows = grid.totalRows();
    if (cols < 2 || rows < 2 || cols > MaxGrid || rows > MaxGrid)
        return shifts;

    // Entries 1..Cols are the columns, Cols + 1..N the rows. An empty line holds nothing but empty cells until
    // a line across it has moved, so it is not offered before then.
    const int n = cols + rows;
    bool available[2 * MaxGrid + 1];
    std::fill(std::begin(available), std::end(available), true);
    available[cols] = !grid.hasEmptyColumn();
    available[n] = !grid.hasEmptyRow();

    for (int step = 1; step <= n - 1; ++step) {
        int k = 0;
        do
            k = random.below(n) + 1;
        while (!available[k]);
        available[k] = false;

        if (k <= cols) {
            shifts.push_back({CellPos(k, 1), CellPos(k, random.below(rows - 1) + 2)});
            std::fill(available + cols + 1, available + n + 1, true);
        } else {
            const int r = k - cols;
            shifts.push_back({CellPos(1, r), CellPos(random.below(cols - 1) + 2, r)});
            std::fill(available + 1, available + cols + 1, true);
        }
    }
    return shifts;
}

} // namespace quorra
