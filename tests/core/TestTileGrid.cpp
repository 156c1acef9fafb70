// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the arrangement grid: layouts, rotations, the solved test, homes and the stored record's check.
#include "core/TileGrid.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace quorra;

namespace {

struct Split {
    int rows;
    int cols;
    bool emptyRow;
    bool emptyCol;
};

// Every split the program offers, with and without the empty row and column.
void forEverySplit(const std::function<void(const Split &)> &test)
{
    for (int rows = 2; rows <= 4; ++rows)
        for (int cols = 2; cols <= 4; ++cols)
            for (int extra = 0; extra < 4; ++extra) {
                const Split split{rows, cols, (extra & 1) != 0, (extra & 2) != 0};
                CAPTURE(rows);
                CAPTURE(cols);
                CAPTURE(split.emptyRow);
                CAPTURE(split.emptyCol);
                test(split);
            }
}

TileGrid made(int rows, int cols, bool emptyRow = false, bool emptyCol = false)
{
    TileGrid b;
    b.init(rows, cols, emptyRow, emptyCol);
    return b;
}

// The numbers of one line, in order, as a compact string for comparisons.
std::string columnNumbers(const TileGrid &b, int c)
{
    std::string l;
    for (int r = 1; r <= b.totalRows(); ++r)
        l += (r > 1 ? " " : "") + std::to_string(b.tileAt(CellPos(c, r)).number);
    return l;
}

std::string rowNumbers(const TileGrid &b, int r)
{
    std::string l;
    for (int c = 1; c <= b.totalColumns(); ++c)
        l += (c > 1 ? " " : "") + std::to_string(b.tileAt(CellPos(c, r)).number);
    return l;
}

} // namespace

TEST_CASE("a new grid is all zero")
{
    const TileGrid b;
    CHECK(b.rows() == 0);
    CHECK(b.columns() == 0);
    CHECK(!b.hasEmptyRow());
    CHECK(!b.hasEmptyColumn());
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            CHECK(b.record().target[c][r].number == 0);
            CHECK(b.record().current[c][r].home == CellPos(0, 0));
        }
}

TEST_CASE("a grid is set up solved, its empty lines empty")
{
    forEverySplit([](const Split &s) {
        const TileGrid b = made(s.rows, s.cols, s.emptyRow, s.emptyCol);
        CHECK(b.hasEmptyRow() == s.emptyRow);
        CHECK(b.hasEmptyColumn() == s.emptyCol);
        CHECK(b.totalRows() == s.rows + (s.emptyRow ? 1 : 0));
        CHECK(b.totalColumns() == s.cols + (s.emptyCol ? 1 : 0));
        for (int c = 1; c <= b.totalColumns(); ++c)
            for (int r = 1; r <= b.totalRows(); ++r) {
                const Tile &cell = b.tileAt(CellPos(c, r));
                CHECK(cell == b.targetAt(CellPos(c, r)));
                const bool inPicture = c <= s.cols && r <= s.rows;
                CHECK(cell.number == (inPicture ? (r - 1) * s.cols + c : 0));
                if (inPicture)
                    CHECK(cell.home == CellPos(c, r));
                CHECK(b.isEmpty(CellPos(c, r)) == !inPicture);
            }
        CHECK(b.isSolved());
        CHECK(b.record().isPlayable());
    });
}

TEST_CASE("a set-up leaves the empty cells' homes and the cells it does not use alone")
{
    // Column 3 of row 1 holds the piece from column 2 (home (2, 1)) when the smaller grid is set up over it.
    TileGrid b = made(4, 4);
    b.shift(CellPos(2, 1), CellPos(3, 1));
    CHECK(b.tileAt(CellPos(3, 1)).home == CellPos(2, 1));
    b.init(2, 2, false, true);
    CHECK(b.record().current[2][0].number == 0);
    CHECK(b.record().current[2][0].home == CellPos(2, 1));
    CHECK(b.record().target[2][0].home == CellPos(2, 1));

    b.init(4, 4, true, true);
    b.init(2, 2, false, false);
    CHECK(b.record().current[4][4].number == 0);
    CHECK(b.record().target[3][3].number == 16);
}

TEST_CASE("a set-up takes only the sizes the program offers")
{
    // A size the program does not offer would make a grid no file can hold, or write past the cells.
    const int cases[][4] = {{9, 7, 4, 4}, {5, 3, 4, 3}, {1, 2, 2, 2}, {-3, 0, 2, 2}};
    for (const auto &c : cases) {
        CAPTURE(c[0]);
        CAPTURE(c[1]);
        const TileGrid b = made(c[0], c[1], true, true);
        CHECK(b.rows() == c[2]);
        CHECK(b.columns() == c[3]);
        CHECK(b.record().isPlayable());
        CHECK(b.isSolved());
    }
}

TEST_CASE("every shift of a column or a row rotates that line only, and its reverse undoes it")
{
    forEverySplit([](const Split &s) {
        TileGrid b = made(s.rows, s.cols, s.emptyRow, s.emptyCol);
        const TileGrid solved = b;
        for (const bool column : {true, false}) {
            const int lines = column ? b.totalColumns() : b.totalRows();
            const int l = column ? b.totalRows() : b.totalColumns();
            const auto at = [column](int line, int k) { return column ? CellPos(line, k) : CellPos(k, line); };
            const auto numbers = [column](const TileGrid &g, int line) {
                return column ? columnNumbers(g, line) : rowNumbers(g, line);
            };
            for (int line = 1; line <= lines; ++line)
                for (int from = 1; from <= l; ++from)
                    for (int to = 1; to <= l; ++to) {
                        b.shift(at(line, from), at(line, to));
                        const int d = ((to - from) % l + l) % l;
                        for (int k = 1; k <= l; ++k)
                            CHECK(b.tileAt(at(line, (k - 1 + d) % l + 1)) == solved.tileAt(at(line, k)));
                        for (int other = 1; other <= lines; ++other)
                            if (other != line)
                                CHECK(numbers(b, other) == numbers(solved, other));
                        CHECK(b.isSolved() == (d == 0 || line > (column ? s.cols : s.rows)));
                        b.shift(at(line, to), at(line, from));
                        CHECK(b.record() == solved.record());
                    }
        }
    });
}

TEST_CASE("a walk of shifts undone backwards gives the solved grid")
{
    forEverySplit([](const Split &s) {
        TileGrid b = made(s.rows, s.cols, s.emptyRow, s.emptyCol);
        const TileGrid solved = b;
        // A fixed pseudo-random walk of alternating row and column shifts, then the inverse shifts backwards.
        auto seed = std::uint32_t(s.rows * 100 + s.cols * 10 + (s.emptyRow ? 2 : 0) + (s.emptyCol ? 1 : 0));
        auto draw = [&seed](int n) {
            seed = seed * 134775813u + 1u;
            return int((std::uint64_t(seed) * std::uint64_t(n)) >> 32);
        };
        std::vector<std::pair<CellPos, CellPos>> moves;
        for (int i = 0; i < 40; ++i) {
            CellPos from;
            CellPos to;
            if (i % 2 == 0) {
                const int c = draw(b.totalColumns()) + 1;
                from = CellPos(c, draw(b.totalRows()) + 1);
                to = CellPos(c, draw(b.totalRows()) + 1);
            } else {
                const int r = draw(b.totalRows()) + 1;
                from = CellPos(draw(b.totalColumns()) + 1, r);
                to = CellPos(draw(b.totalColumns()) + 1, r);
            }
            b.shift(from, to);
            moves.emplace_back(from, to);
        }
        for (auto move = moves.rbegin(); move != moves.rend(); ++move)
            b.shift(move->second, move->first);
        CHECK(b.isSolved());
        CHECK(b.record() == solved.record());
    });
}

TEST_CASE("shift examples, and shifts that change nothing")
{
    struct Case {
        const char *name;
        int rows;
        int cols;
        CellPos from;
        CellPos to;
        int line; // column number when positive, row number when negative
        const char *numbers;
    };
    const Case cases[] = {
        // The cell from row 1 lands in row 3, row 2 in row 4, rows 3 and 4 wrap to rows 1 and 2.
        {"column of 4, row 1 to row 3", 4, 2, CellPos(1, 1), CellPos(1, 3), 1, "5 7 1 3"},
        // Two steps left is one step right.
        {"row of 3, column 3 to column 1", 2, 3, CellPos(3, 2), CellPos(1, 2), -2, "6 4 5"},
        {"row of 3, column 1 to column 3", 2, 3, CellPos(1, 2), CellPos(3, 2), -2, "5 6 4"},
        {"different line", 2, 2, CellPos(1, 1), CellPos(2, 2), 1, "1 3"},
        {"same cell", 3, 3, CellPos(2, 2), CellPos(2, 2), -2, "4 5 6"},
        // The pointer can be released outside the picture; such a target must neither hang nor move anything.
        {"past the last column", 2, 3, CellPos(1, 1), CellPos(4, 1), -1, "1 2 3"},
        {"column 0", 2, 3, CellPos(2, 1), CellPos(0, 1), -1, "1 2 3"},
        {"past the last row", 2, 3, CellPos(2, 1), CellPos(2, 3), 2, "2 5"},
        {"row 0", 2, 3, CellPos(1, 2), CellPos(1, 0), 1, "1 4"},
        {"from off the grid", 2, 3, CellPos(1, 7), CellPos(1, 1), 1, "1 4"},
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        TileGrid b = made(c.rows, c.cols);
        b.shift(c.from, c.to);
        CHECK((c.line > 0 ? columnNumbers(b, c.line) : rowNumbers(b, -c.line)) == c.numbers);
        const bool offGrid = !b.contains(c.from) || !b.contains(c.to);
        if (offGrid)
            CHECK(b.record() == made(c.rows, c.cols).record());
    }
}

TEST_CASE("the solved test reads numbers, not homes: empty cells are interchangeable")
{
    TileGrid b = made(2, 2, true, true);
    // The empty row's two left cells trade places; the corner cell is empty too.
    b.shift(CellPos(1, 3), CellPos(3, 3));
    CHECK(b.isSolved());
    b.shift(CellPos(3, 1), CellPos(3, 3));
    CHECK(b.isSolved());
    b.shift(CellPos(1, 1), CellPos(1, 2));
    CHECK(!b.isSolved());

    // Empty cells keep the homes of an earlier, larger set-up; moving them around changes homes, not numbers.
    TileGrid c = made(4, 4);
    c.init(2, 2, true, true);
    c.shift(CellPos(1, 3), CellPos(2, 3));
    CHECK(c.tileAt(CellPos(1, 3)).home != c.targetAt(CellPos(1, 3)).home);
    CHECK(c.isSolved());
}

TEST_CASE("the home of a cell")
{
    struct Case {
        const char *name;
        Split split;
        CellPos from; // shifted from here ...
        CellPos to;   // ... to here before asking
        CellPos p;
        std::optional<CellPos> home;
    };
    const Case cases[] = {
        {"number 5 in 2 columns", {3, 2, false, false}, CellPos(1, 3), CellPos(1, 1), CellPos(1, 1), CellPos(1, 3)},
        {"cell at home", {3, 3, false, false}, CellPos(1, 1), CellPos(1, 1), CellPos(2, 3), CellPos(2, 3)},
        {"moved along a row", {2, 4, false, false}, CellPos(1, 2), CellPos(3, 2), CellPos(3, 2), CellPos(1, 2)},
        {"empty column only: its top", {3, 3, false, true}, CellPos(1, 1), CellPos(1, 1), CellPos(4, 3), CellPos(4, 1)},
        {"empty row: bottom of column 1",
         {3, 3, true, false},
         CellPos(1, 1),
         CellPos(1, 1),
         CellPos(3, 4),
         CellPos(1, 4)},
        {"both: bottom of column 1", {2, 2, true, true}, CellPos(1, 1), CellPos(1, 1), CellPos(3, 1), CellPos(1, 3)},
        {"empty cell carried into the picture",
         {2, 2, false, true},
         CellPos(3, 2),
         CellPos(1, 2),
         CellPos(1, 2),
         CellPos(3, 1)},
        // Past the used region lie numbers no target of a grid without empty cells holds.
        {"past the used region", {2, 2, false, false}, CellPos(1, 1), CellPos(1, 1), CellPos(3, 1), std::nullopt},
        {"a cell at home in a grid without empty cells",
         {2, 2, false, false},
         CellPos(1, 1),
         CellPos(1, 1),
         CellPos(1, 1),
         CellPos(1, 1)},
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        TileGrid b = made(c.split.rows, c.split.cols, c.split.emptyRow, c.split.emptyCol);
        b.shift(c.from, c.to);
        CHECK(b.home(c.p) == c.home);
    }

    TileGrid b = made(2, 3);
    b.shift(CellPos(1, 2), CellPos(3, 2)); // row 2 now holds 5 6 4
    CHECK(b.tileAt(CellPos(1, 2)).home == CellPos(2, 2));
    CHECK(b.targetAt(CellPos(1, 2)).home == CellPos(1, 2));
    CHECK(b.tileAt(CellPos(3, 2)).home == CellPos(1, 2));
}

TEST_CASE("only a record the program can make is playable, and becomes a grid exactly as recorded")
{
    TileGrid tangled = made(3, 3, true, true);
    tangled.shift(CellPos(1, 1), CellPos(1, 3));
    tangled.shift(CellPos(1, 2), CellPos(4, 2));
    const TileGrid::Record solved = made(3, 3).record();
    const TileGrid::Record emptyColumn = made(3, 3, false, true).record();
    const TileGrid::Record bothEmpty = made(2, 2, true, true).record();

    struct Case {
        const char *name;
        TileGrid::Record base;
        std::function<void(TileGrid::Record &)> change;
        bool playable;
    };
    const Case cases[] = {
        {"good, solved", solved, [](auto &) {}, true},
        {"good, tangled with empty lines", tangled.record(), [](auto &) {}, true},
        {"rows 1", solved, [](auto &b) { b.rows = 1; }, false},
        {"rows 5", solved, [](auto &b) { b.rows = 5; }, false},
        {"cols 1", solved, [](auto &b) { b.columns = 1; }, false},
        {"extra row 2", solved, [](auto &b) { b.extraRow = 2; }, false},
        {"extra column -1", solved, [](auto &b) { b.extraColumn = -1; }, false},
        {"target number wrong", solved, [](auto &b) { b.target[1][0].number = 3; }, false},
        {"target home wrong", solved, [](auto &b) { b.target[1][0].home = CellPos(1, 1); }, false},
        {"target empty cell holds a piece", emptyColumn, [](auto &b) { b.target[3][1].number = 4; }, false},
        {"current not a permutation", solved, [](auto &b) { b.current[2][2].number = 10; }, false},
        {"duplicated cell", solved, [](auto &b) { b.current[0][0] = b.current[1][0]; }, false},
        {"current home wrong", solved, [](auto &b) { b.current[0][0].home = CellPos(2, 1); }, false},
        {"current piece lost to an empty cell", emptyColumn, [](auto &b) { b.current[0][0].number = 0; }, false},
        {"garbage outside the used region", solved,
         [](auto &b) {
             b.target[5][5].number = 99;
             b.current[4][0].number = -3;
             b.current[0][4].home = CellPos(7, 7);
         },
         true},
        {"home of an empty cell ignored", bothEmpty,
         [](auto &b) {
             b.target[2][2].home = CellPos(-5, 40);
             b.current[2][0].home = CellPos(8, 8);
         },
         true},
        {"all zero", TileGrid::Record(), [](auto &) {}, false},
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        TileGrid::Record b = c.base;
        c.change(b);
        CHECK(b.isPlayable() == c.playable);
        const std::optional<TileGrid> taken = TileGrid::fromRecord(b);
        CHECK(taken.has_value() == c.playable);
        if (taken)
            CHECK(taken->record() == b);
    }
}
