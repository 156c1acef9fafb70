// SPDX-License-Identifier: GPL-3.0-or-later
// A game in progress as bytes: its arrangement, where it began, its undo and redo, moves and time, with every check
// on the way back.
#pragma once

#include "LineMove.h"
#include "TileGrid.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorra {

// A game left in the middle, as the program keeps it until the puzzle is opened again.
struct KeptGame {
    // The bytes begin with these, so that no other file is ever taken for a game.
    static constexpr std::uint8_t Magic[4] = {'Q', 'K', 'G', 'M'};
    static constexpr std::int32_t CurrentVersion = 1;
    // A key names the puzzle the game belongs to; the owner's keys are far shorter.
    static constexpr std::size_t MaxKeySize = 128;
    // Far more moves than a person makes on a grid of at most 25 cells; a record beyond them is not ours.
    static constexpr std::size_t MaxHistory = 100000;
    // A move turns its line at most this many cells in either way: keyboard turns and drags take far fewer.
    static constexpr int MaxSteps = 1000;
    // A game's time fits a double exactly, as the results record stores it.
    static constexpr std::int64_t MaxElapsedMs = std::int64_t(1) << 53;

    std::string puzzleKey;
    TileGrid grid;
    // The arrangement the game began with: Restart puts it back.
    TileGrid start;
    // Oldest first; Undone's last move is the one Redo makes next.
    std::vector<LineMove> done;
    std::vector<LineMove> undone;
    std::int32_t moves = 0;
    std::int64_t elapsedMs = 0;
};

std::vector<std::uint8_t> keptGameBytes(const KeptGame &game);
// The game the bytes hold, or none unless they are whole and every part of them is one the program can have made:
// both arrangements playable and of one puzzle, not solved, each move on its line of the grid, the moves made
// leading from the start to the arrangement, at least one move counted and a time that is not negative.
std::optional<KeptGame> readKeptGame(std::span<const std::uint8_t> bytes);

} // namespace quorra
