// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader says about the board: the grid, the selected cell, and the status bar's moves, time or result.
#pragma once

#include <QString>

namespace quorra {

class Puzzle;

// Status is the status bar's line as it stands. No puzzle gives an empty description.
QString boardDescription(const Puzzle *puzzle, const QString &status);

} // namespace quorra
