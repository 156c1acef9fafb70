// SPDX-License-Identifier: GPL-3.0-or-later
// The part of a puzzle file before its picture: version, effect, semi-effect flag and grid, read from bytes and
// written to bytes.
#pragma once

#include "Effects.h"
#include "TileGrid.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

namespace quorra {

// A puzzle file is this little-endian header followed by the picture as a baseline JPEG stream: the version, the
// effect, the one-byte semi-effect flag, then the grid's record. Every offset and size of it is named here.
struct PuzzleHeader {
    // The newest format this program reads, and the one it writes for puzzles it sets up.
    static constexpr std::int32_t CurrentVersion = 1;

    static constexpr std::ptrdiff_t IntSize = 4;
    static constexpr std::ptrdiff_t VersionOffset = 0;
    static constexpr std::ptrdiff_t EffectOffset = 4;
    static constexpr std::ptrdiff_t SemiEffectOffset = 8;
    static constexpr std::ptrdiff_t GridOffset = 9;
    // The grid: rows, columns, extra row and extra column, then the target and the current arrangement, each
    // MaxGrid x MaxGrid tiles column by column, a tile being its number and its home's X and Y.
    static constexpr std::ptrdiff_t GridCountsSize = 4 * IntSize;
    static constexpr std::ptrdiff_t TileSize = 3 * IntSize;
    static constexpr std::ptrdiff_t ArrangementSize = std::ptrdiff_t(MaxGrid) * MaxGrid * TileSize;
    static constexpr std::ptrdiff_t TargetOffset = GridOffset + GridCountsSize;
    static constexpr std::ptrdiff_t CurrentOffset = TargetOffset + ArrangementSize;
    static constexpr std::ptrdiff_t GridSize = GridCountsSize + 2 * ArrangementSize;
    // The picture starts here.
    static constexpr std::ptrdiff_t Size = GridOffset + GridSize;
    static_assert(Size == 889);

    std::int32_t version = 0;
    EffectCode effect = 0;
    bool semiEffect = false;
    TileGrid grid;
};

// Why bytes are no header this program can take.
enum class HeaderFault : std::uint8_t {
    CutShort,    // they end before the header does
    GridRefused, // the grid is not one the program makes
};

// A header written for a newer program: only its version is read.
struct NewerPuzzle {
    std::int32_t version = 0;
};

// Reads the header from the start of Bytes (which may go on into the picture). The version is looked at first, so a
// file of a newer program is told as such even when the rest is not there.
std::variant<PuzzleHeader, NewerPuzzle, HeaderFault> readPuzzleHeader(std::span<const std::uint8_t> bytes);
// The header's Size bytes.
std::vector<std::uint8_t> puzzleHeaderBytes(const PuzzleHeader &header);

// The grid's record as the header stores it (GridSize bytes), and back from at least GridSize bytes. Every cell is
// kept, the ones outside the used region included, so a file read and written again keeps its bytes.
std::vector<std::uint8_t> gridRecordBytes(const TileGrid::Record &grid);
TileGrid::Record gridRecordFromBytes(std::span<const std::uint8_t, PuzzleHeader::GridSize> bytes);

} // namespace quorra
