// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the puzzle file's header bytes: the grid record's layout and round trip, and what a header cut short,
// too new or holding a grid no puzzle has gives.
#include "core/PuzzleHeader.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <variant>
#include <vector>

using namespace quorra;

namespace {

std::int32_t intAt(const std::vector<std::uint8_t> &bytes, std::ptrdiff_t offset)
{
    const auto *at = bytes.data() + offset;
    return std::int32_t(std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16
                        | std::uint32_t(at[3]) << 24);
}

void setInt(std::vector<std::uint8_t> &bytes, std::ptrdiff_t offset, std::int32_t value)
{
    for (int k = 0; k < 4; ++k)
        bytes[std::size_t(offset + k)] = std::uint8_t(std::uint32_t(value) >> (8 * k));
}

PuzzleHeader header(int rows, int columns, bool emptyRow, bool emptyColumn)
{
    PuzzleHeader h;
    h.version = PuzzleHeader::CurrentVersion;
    h.effect = Effect::TopSecret;
    h.semiEffect = true;
    h.grid.init(rows, columns, emptyRow, emptyColumn);
    return h;
}

} // namespace

TEST_CASE("a grid record keeps every cell's bytes, the unused region included")
{
    TileGrid::Record record;
    record.rows = 3;
    record.columns = 4;
    record.extraRow = 1;
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            record.target[c][r] = {1000 + c * 10 + r, CellPos(-c - 1, 0x01020304 + r)};
            record.current[c][r] = {-2000 - c * 10 - r, CellPos(c * 7, r * 11)};
        }
    const std::vector<std::uint8_t> bytes = gridRecordBytes(record);
    REQUIRE(bytes.size() == 880);
    const auto loaded = gridRecordFromBytes(std::span<const std::uint8_t, PuzzleHeader::GridSize>(bytes.data(), 880));
    CHECK(loaded == record);
    CHECK(gridRecordBytes(loaded) == bytes);
}

TEST_CASE("the header's layout")
{
    PuzzleHeader h = header(2, 3, false, true);
    h.grid.shift(CellPos(1, 1), CellPos(2, 1)); // row 1: empty, 1, 2
    const std::vector<std::uint8_t> bytes = puzzleHeaderBytes(h);
    REQUIRE(bytes.size() == 889);
    CHECK(intAt(bytes, 0) == 1);
    CHECK(intAt(bytes, 4) == Effect::TopSecret);
    CHECK(bytes[8] == 1);
    const std::ptrdiff_t grid = PuzzleHeader::GridOffset;
    CHECK(intAt(bytes, grid) == 2);
    CHECK(intAt(bytes, grid + 4) == 3);
    CHECK(intAt(bytes, grid + 8) == 0);
    CHECK(intAt(bytes, grid + 12) == 1);
    // Target column 1, row 2 is number 4 at home (1, 2); column 2 starts six tiles later.
    CHECK(intAt(bytes, grid + 16 + 12) == 4);
    CHECK(intAt(bytes, grid + 16 + 12 + 4) == 1);
    CHECK(intAt(bytes, grid + 16 + 12 + 8) == 2);
    CHECK(intAt(bytes, grid + 16 + 6 * 12) == 2);
    // Current follows Target: column 2, row 1 now holds number 1, column 1 the empty cell.
    CHECK(PuzzleHeader::CurrentOffset - grid == 16 + 432);
    CHECK(intAt(bytes, grid + 16 + 432 + 6 * 12) == 1);
    CHECK(intAt(bytes, grid + 16 + 432) == 0);
}

TEST_CASE("reading a header")
{
    struct Case {
        const char *name;
        std::size_t length;    // bytes kept of a good header (with 4 more of picture after it)
        std::ptrdiff_t offset; // where Value is written first, or -1
        std::int32_t value;
        int expected; // 0: read, 1: newer, 2: cut short, 3: grid refused
    };
    const Case cases[] = {
        {"whole, with picture bytes after it", 893, -1, 0, 0},
        {"nothing", 0, -1, 0, 2},
        {"cut inside the version", 3, -1, 0, 2},
        {"cut inside the grid", 888, -1, 0, 2},
        {"a newer version, cut after it", 4, PuzzleHeader::VersionOffset, 2, 1},
        {"the largest version", 893, PuzzleHeader::VersionOffset, 0x7fffffff, 1},
        {"version zero is read", 893, PuzzleHeader::VersionOffset, 0, 0},
        {"five rows", 893, PuzzleHeader::GridOffset, 5, 3},
        {"an empty column flag of 2", 893, PuzzleHeader::GridOffset + 12, 2, 3},
        {"a piece twice", 893, PuzzleHeader::CurrentOffset, 2, 3},
        {"a solved layout with a wrong home", 893, PuzzleHeader::TargetOffset + 4, 2, 3},
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        std::vector<std::uint8_t> bytes = puzzleHeaderBytes(header(3, 2, true, false));
        bytes.resize(893, 0xFF);
        if (c.offset >= 0)
            setInt(bytes, c.offset, c.value);
        bytes.resize(c.length);
        const auto read = readPuzzleHeader(bytes);
        switch (c.expected) {
        case 0:
            REQUIRE(std::holds_alternative<PuzzleHeader>(read));
            CHECK(std::get<PuzzleHeader>(read).grid.record() == header(3, 2, true, false).grid.record());
            break;
        case 1:
            REQUIRE(std::holds_alternative<NewerPuzzle>(read));
            CHECK(std::get<NewerPuzzle>(read).version == c.value);
            break;
        default:
            REQUIRE(std::holds_alternative<HeaderFault>(read));
            CHECK(std::get<HeaderFault>(read) == (c.expected == 2 ? HeaderFault::CutShort : HeaderFault::GridRefused));
        }
    }
}

TEST_CASE("any set semi-effect byte reads as set and is written back as 1")
{
    std::vector<std::uint8_t> bytes = puzzleHeaderBytes(header(2, 2, false, false));
    bytes[PuzzleHeader::SemiEffectOffset] = 7;
    const auto read = readPuzzleHeader(bytes);
    REQUIRE(std::holds_alternative<PuzzleHeader>(read));
    CHECK(std::get<PuzzleHeader>(read).semiEffect);
    CHECK(puzzleHeaderBytes(std::get<PuzzleHeader>(read))[PuzzleHeader::SemiEffectOffset] == 1);
}
