// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle file's header bytes: little-endian whatever the processor, checked before anything is taken.
#include "PuzzleHeader.h"

#include <optional>

namespace quorra {

namespace {

void putInt(std::vector<std::uint8_t> &out, std::int32_t value)
{
    const auto bits = std::uint32_t(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(std::uint8_t(bits >> shift));
}

std::int32_t intAt(const std::uint8_t *at)
{
    return std::int32_t(std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16
                        | std::uint32_t(at[3]) << 24);
}

void putArrangement(std::vector<std::uint8_t> &out, const Tile (&cells)[MaxGrid][MaxGrid])
{
    for (const auto &column : cells)
        for (const Tile &tile : column) {
            putInt(out, tile.number);
            putInt(out, tile.home.x());
            putInt(out, tile.home.y());
        }
}

const std::uint8_t *takeArrangement(const std::uint8_t *at, Tile (&cells)[MaxGrid][MaxGrid])
{
    for (auto &column : cells)
        for (Tile &tile : column) {
            tile.number = intAt(at);
            tile.home = CellPos(intAt(at + PuzzleHeader::IntSize), intAt(at + 2 * PuzzleHeader::IntSize));
            at += PuzzleHeader::TileSize;
        }
    return at;
}

} // namespace

std::vector<std::uint8_t> gridRecordBytes(const TileGrid::Record &grid)
{
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t(PuzzleHeader::GridSize));
    putInt(out, grid.rows);
    putInt(out, grid.columns);
    putInt(out, grid.extraRow);
    putInt(out, grid.extraColumn);
    putArrangement(out, grid.target);
    putArrangement(out, grid.current);
    return out;
}

TileGrid::Record gridRecordFromBytes(std::span<const std::uint8_t, PuzzleHeader::GridSize> bytes)
{
    TileGrid::Record grid;
    const std::uint8_t *at = bytes.data();
    grid.rows = intAt(at);
    grid.columns = intAt(at + PuzzleHeader::IntSize);
    grid.extraRow = intAt(at + 2 * PuzzleHeader::IntSize);
    grid.extraColumn = intAt(at + 3 * PuzzleHeader::IntSize);
    at = takeArrangement(at + PuzzleHeader::GridCountsSize, grid.target);
    takeArrangement(at, grid.current);
    return grid;
}

std::variant<PuzzleHeader, NewerPuzzle, HeaderFault> readPuzzleHeader(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < std::size_t(PuzzleHeader::VersionOffset + PuzzleHeader::IntSize))
        return HeaderFault::CutShort;
    const std::int32_t version = intAt(bytes.data() + PuzzleHeader::VersionOffset);
    if (version > PuzzleHeader::CurrentVersion)
        return NewerPuzzle{version};
    if (bytes.size() < std::size_t(PuzzleHeader::Size))
        return HeaderFault::CutShort;

    std::optional<TileGrid> grid =
        TileGrid::fromRecord(gridRecordFromBytes(bytes.subspan<PuzzleHeader::GridOffset, PuzzleHeader::GridSize>()));
    if (!grid)
        return HeaderFault::GridRefused;
    PuzzleHeader header;
    header.version = version;
    header.effect = intAt(bytes.data() + PuzzleHeader::EffectOffset);
    // Any byte but zero is read as set; it is written back as 1.
    header.semiEffect = bytes[PuzzleHeader::SemiEffectOffset] != 0;
    header.grid = *grid;
    return header;
}

std::vector<std::uint8_t> puzzleHeaderBytes(const PuzzleHeader &header)
{
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t(PuzzleHeader::Size));
    putInt(out, header.version);
    putInt(out, header.effect);
    out.push_back(header.semiEffect ? 1 : 0);
    const std::vector<std::uint8_t> grid = gridRecordBytes(header.grid.record());
    out.insert(out.end(), grid.begin(), grid.end());
    return out;
}

} // namespace quorra
