// SPDX-License-Identifier: GPL-3.0-or-later
// The board's description for assistive technology, composed from what a sighted player sees.
#include "BoardDescription.h"

#include "Puzzle.h"

#include <QCoreApplication>

namespace quorra {

QString boardDescription(const Puzzle *puzzle, const QString &status)
{
    if (!puzzle)
        return {};
    const TileGrid &grid = puzzle->grid();
    QString text = QCoreApplication::translate("BoardDescription", "Grid of %1 rows and %2 columns.")
                       .arg(grid.totalRows())
                       .arg(grid.totalColumns());
    const CellPos selected = puzzle->selected();
    if (puzzle->inGrid(selected))
        text += QCoreApplication::translate("BoardDescription", " Selected: row %1, column %2.")
                    .arg(selected.y())
                    .arg(selected.x());
    if (!status.isEmpty())
        text += QLatin1Char(' ') + status;
    return text;
}

} // namespace quorra
