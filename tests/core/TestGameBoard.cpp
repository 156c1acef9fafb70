// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the game as a value: turns of the selected cell's line, undo and redo, and what wins.
#include "core/GameBoard.h"

#include <doctest/doctest.h>

#include <optional>

using namespace quorra;

namespace {

// A game of three rows and four columns with an empty fifth one, being played from its solved arrangement.
GameBoard playedBoard()
{
    GameBoard board;
    board.setUp(3, 4, false, true);
    board.beginTangle();
    return board;
}

} // namespace

TEST_CASE("a turn of the selected cell's line wraps round and is recorded")
{
    struct Row {
        const char *name;
        CellPos selected;
        LineAxis axis;
        int steps;
        std::optional<LineMove> move;
    };
    const Row rows[] = {
        {"right", CellPos(2, 2), LineAxis::Row, 1, LineMove{CellPos(2, 2), CellPos(3, 2), LineAxis::Row, 1}},
        {"left over the edge, onto the empty column", CellPos(1, 2), LineAxis::Row, -1,
         LineMove{CellPos(1, 2), CellPos(5, 2), LineAxis::Row, -1}},
        {"more than a whole column", CellPos(2, 2), LineAxis::Column, 5,
         LineMove{CellPos(2, 2), CellPos(2, 1), LineAxis::Column, 5}},
        {"no step, no move", CellPos(2, 2), LineAxis::Row, 0, std::nullopt},
        {"nothing selected, no move", NoCell, LineAxis::Row, 1, std::nullopt},
        {"a selection off the grid, no move", CellPos(6, 1), LineAxis::Row, 1, std::nullopt},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        GameBoard board = playedBoard();
        board.select(row.selected);
        const TileGrid before = board.grid();
        const std::optional<LineMove> move = board.turnSelected(row.axis, row.steps);
        CHECK(move == row.move);
        CHECK(board.canUndo() == row.move.has_value());
        if (!move)
            continue;
        board.apply(*move, true);
        CHECK(board.selected() == move->to);
        CHECK(board.grid().tileAt(move->to) == before.tileAt(move->from));
    }
}

TEST_CASE("moves are taken back and made again until a new one, and not once solved or in edit mode")
{
    GameBoard board = playedBoard();
    const TileGrid solved = board.grid();

    board.select(CellPos(1, 1));
    board.apply(*board.turnSelected(LineAxis::Row, 1), true);
    const TileGrid afterFirst = board.grid();
    board.apply(*board.turnSelected(LineAxis::Column, -1), true);
    CHECK_FALSE(board.isSolved());

    board.apply(*board.takeUndo(), true);
    CHECK(board.grid().record() == afterFirst.record());
    CHECK(board.canRedo());
    board.apply(*board.takeRedo(), true);
    board.apply(*board.takeUndo(), true);
    // Back at the solved arrangement by a move in play: the game is won, and nothing goes back any more.
    board.apply(*board.takeUndo(), true);
    CHECK(board.grid().record() == solved.record());
    CHECK(board.isSolved());
    CHECK_FALSE(board.canUndo());
    CHECK_FALSE(board.canRedo());
    CHECK_FALSE(board.takeUndo().has_value());

    // A new move ends what could be made again.
    GameBoard again = playedBoard();
    again.select(CellPos(2, 2));
    again.apply(*again.turnSelected(LineAxis::Row, 1), true);
    again.apply(*again.takeUndo(), false);
    CHECK_FALSE(again.isSolved()); // not a move in play
    CHECK(again.canRedo());
    again.apply(*again.turnSelected(LineAxis::Row, 2), true);
    CHECK_FALSE(again.canRedo());

    // A tangle and a new split both forget the moves.
    again.beginTangle();
    CHECK_FALSE(again.canUndo());
    again.select(CellPos(1, 1));
    again.apply(*again.turnSelected(LineAxis::Row, 1), true);
    again.setUp(2, 2, false, false);
    CHECK(again.isEditMode());
    CHECK(again.selected() == NoCell);
    CHECK_FALSE(again.canUndo());
    // In edit mode even a move that restores the picture wins nothing.
    again.select(CellPos(1, 1));
    again.settle(CellPos(2, 1), true);
    again.settle(CellPos(1, 1), true);
    CHECK_FALSE(again.isSolved());
}
