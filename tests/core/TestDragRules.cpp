// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the drag rules: pointer paths in, the line chosen, its shift, snaps and the moves made out.
#include "core/DragRules.h"

#include <doctest/doctest.h>

#include <vector>

using namespace quorra;

namespace {

using Kind = DragStep::Kind;

// Three rows, four columns and an empty fifth of 100-pixel cells (the drag threshold is 15), being played.
struct Table {
    GameBoard board;
    CellGeometry geometry{board.grid()};
    DragRules rules{geometry, board};

    Table()
    {
        board.setUp(3, 4, false, true);
        board.beginTangle();
        geometry.setPicture({400, 300}, true);
        geometry.placeCells(geometry.cellSizeAtScale());
    }
};
constexpr int LineLength = 500;

} // namespace

TEST_CASE("pointer paths choose a line, shift it, snap it and make moves")
{
    struct Path {
        const char *name;
        PicturePoint press;
        std::vector<PicturePoint> moves;
        PicturePoint release;
        std::vector<Kind> steps;
        std::vector<LineMove> made;
        CellPos selectedAtEnd;
        int lastShift; // of the last Shifted step, -1 without one
    };
    const Path paths[] = {
        {"a pull short of the threshold moves nothing",
         {150, 150},
         {{164, 150}, {150, 136}},
         {164, 150},
         {Kind::Nothing, Kind::Nothing},
         {},
         CellPos(2, 2),
         -1},
        {"a pull as far both ways takes the row; let go where caught, no move",
         {150, 150},
         {{165, 165}},
         {165, 165},
         {Kind::LineChosen},
         {},
         CellPos(2, 2),
         -1},
        {"the column, let go a cell down",
         {150, 150},
         {{150, 170}, {150, 200}},
         {150, 260},
         {Kind::LineChosen, Kind::Shifted},
         {{CellPos(2, 2), CellPos(2, 3), LineAxis::Column, 1}},
         CellPos(2, 3),
         50},
        {"a snap, then the hand drifts off the row and the row still holds",
         {150, 150},
         {{170, 150}, {240, 150}, {255, 240}, {270, 260}, {330, 290}},
         {345, 300},
         {Kind::LineChosen, Kind::Snapped, Kind::Nothing, Kind::LineChosen, Kind::Shifted},
         {{CellPos(2, 2), CellPos(3, 2), LineAxis::Row, 1}, {CellPos(3, 2), CellPos(4, 2), LineAxis::Row, 1}},
         CellPos(4, 2),
         80},
        {"a snap read along the column however far the hand is across it",
         {150, 150},
         {{150, 130}, {400, 56}},
         {400, 56},
         {Kind::LineChosen, Kind::Snapped},
         {{CellPos(2, 2), CellPos(2, 1), LineAxis::Column, -1}},
         CellPos(2, 1),
         -1},
        {"past the left edge the line wraps onto the empty column, the short way",
         {50, 50},
         {{30, 50}, {-60, 50}},
         {-60, 50},
         {Kind::LineChosen, Kind::Shifted},
         {{CellPos(1, 1), CellPos(5, 1), LineAxis::Row, -1}},
         CellPos(5, 1),
         390},
        {"pressed off the grid, nothing is caught", {550, 50}, {{580, 50}}, {600, 50}, {Kind::Hovered}, {}, NoCell, -1},
    };
    for (const Path &path : paths) {
        INFO(path.name);
        Table table;
        DragRules &rules = table.rules;
        rules.hover(path.press);
        rules.catchSelected();
        std::vector<Kind> steps;
        std::vector<LineMove> made;
        int lastShift = -1;
        for (const PicturePoint p : path.moves) {
            const DragStep step = rules.move(p);
            steps.push_back(step.kind);
            if (step.kind == Kind::Shifted)
                lastShift = rules.shiftAlong(p, LineLength);
            if (step.kind == Kind::Snapped) {
                if (const auto move = rules.commit(rules.landing(step.at), true))
                    made.push_back(*move);
                rules.catchOnLine();
            }
        }
        if (rules.isDragging())
            if (const auto move = rules.commit(rules.landing(path.release), true))
                made.push_back(*move);
        rules.letGo();
        CHECK(steps == path.steps);
        CHECK(made == path.made);
        CHECK(table.board.selected() == path.selectedAtEnd);
        CHECK(lastShift == path.lastShift);
        CHECK(table.board.canUndo() == !path.made.empty());
    }
}

TEST_CASE("a caught cell's line is chosen afresh after a release, and the advice shows a piece's home")
{
    Table table;
    DragRules &rules = table.rules;
    rules.hover({150, 150});
    rules.catchSelected();
    CHECK(rules.move({170, 150}).kind == Kind::LineChosen);
    CHECK(rules.move({250, 150}) == DragStep{Kind::Snapped, {250, 150}});
    const auto move = rules.commit(rules.landing({250, 150}), true);
    REQUIRE(move.has_value());
    rules.catchOnLine();
    rules.letGo();
    // Caught anew, the same cell may go down its column.
    rules.catchSelected();
    CHECK(rules.move({250, 170}).kind == Kind::LineChosen);
    CHECK(rules.state() == DragState::Column);
    rules.letGo();

    // The piece of (2, 2) now lies at (3, 2); off the grid there is nothing to show.
    CHECK(rules.adviceAt({250, 150}) == std::optional<CellPos>(CellPos(2, 2)));
    CHECK_FALSE(rules.adviceAt({550, 150}).has_value());
}
