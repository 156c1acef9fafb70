// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of a game in progress as bytes: what goes in comes back, and bytes no game of ours could be are refused.
#include "core/GameBoard.h"
#include "core/KeptGame.h"
#include "core/PuzzleHeader.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

using namespace quorra;

namespace {

// Offsets into the bytes of playedGame(): magic, version, key size, the 64-byte key, the two grids, then moves.
constexpr std::size_t KeyAt = 12;
constexpr std::size_t GridAt = KeyAt + 64;
constexpr std::size_t StartAt = GridAt + std::size_t(PuzzleHeader::GridSize);
constexpr std::size_t MovesAt = StartAt + std::size_t(PuzzleHeader::GridSize);
constexpr std::size_t ElapsedAt = MovesAt + 4;
constexpr std::size_t DoneAt = ElapsedAt + 8;
constexpr std::size_t FirstMoveAt = DoneAt + 4;

void setInt(std::vector<std::uint8_t> &bytes, std::size_t offset, std::uint64_t value, int size = 4)
{
    for (int k = 0; k < size; ++k)
        bytes[offset + std::size_t(k)] = std::uint8_t(value >> (8 * k));
}

// A 3 x 3 game with an empty column, two moves made from its start and one of them taken back.
KeptGame playedGame()
{
    GameBoard board;
    board.setUp(3, 3, false, true);
    board.beginTangle();
    board.resetArrangement();
    board.tangleStep({CellPos(1, 1), CellPos(3, 1)});
    board.tangleStep({CellPos(2, 1), CellPos(2, 3)});
    board.select(CellPos(1, 2));
    board.apply(*board.turnSelected(LineAxis::Row, 1), true);
    board.apply(*board.turnSelected(LineAxis::Column, -1), true);
    board.apply(*board.takeUndo(), true);

    KeptGame game;
    game.puzzleKey = std::string(64, 'a');
    game.grid = board.grid();
    game.start = board.start();
    game.done = board.history().done();
    game.undone = board.history().undone();
    game.moves = 3;
    game.elapsedMs = 102'000;
    return game;
}

} // namespace

TEST_CASE("a kept game comes back whole")
{
    const KeptGame game = playedGame();
    const std::vector<std::uint8_t> bytes = keptGameBytes(game);
    const std::optional<KeptGame> read = readKeptGame(bytes);
    REQUIRE(read);
    CHECK(read->puzzleKey == game.puzzleKey);
    CHECK(read->grid.record() == game.grid.record());
    CHECK(read->start.record() == game.start.record());
    CHECK(read->done == game.done);
    CHECK(read->undone == game.undone);
    CHECK(read->moves == 3);
    CHECK(read->elapsedMs == 102'000);

    // Played on, it undoes and redoes as the game it was.
    GameBoard board;
    board.resume(*read);
    CHECK(board.isPlaying());
    CHECK(board.canRedo());
    board.apply(*board.takeUndo(), true);
    CHECK(board.grid().record() == game.start.record());
}

TEST_CASE("bytes that are no game of ours are refused")
{
    struct Row {
        const char *name;
        std::function<void(std::vector<std::uint8_t> &)> spoil;
    };
    const Row rows[] = {
        {"empty", [](auto &b) { b.clear(); }},
        {"cut short in the history", [](auto &b) { b.resize(b.size() - 3); }},
        {"a byte too many", [](auto &b) { b.push_back(0); }},
        {"another file's magic", [](auto &b) { b[0] = 'X'; }},
        {"a newer version", [](auto &b) { setInt(b, 4, KeptGame::CurrentVersion + 1); }},
        {"a key longer than any", [](auto &b) { setInt(b, 8, 4096); }},
        {"a grid no puzzle has", [](auto &b) { setInt(b, GridAt, 9); }},
        {"a start of another shape", [](auto &b) { setInt(b, StartAt + 8, 1); }},
        {"no move counted", [](auto &b) { setInt(b, MovesAt, 0); }},
        {"a negative time", [](auto &b) { setInt(b, ElapsedAt, std::uint64_t(-5), 8); }},
        {"a history longer than any", [](auto &b) { setInt(b, DoneAt, 0xFFFFFFFF); }},
        {"a move off the grid", [](auto &b) { setInt(b, FirstMoveAt, 7); }},
        {"a move across lines", [](auto &b) { setInt(b, FirstMoveAt + 12, 1); }},
        {"an axis that is neither", [](auto &b) { setInt(b, FirstMoveAt + 16, 2); }},
        {"steps that do not reach the end", [](auto &b) { setInt(b, FirstMoveAt + 20, 2); }},
    };
    const std::vector<std::uint8_t> good = keptGameBytes(playedGame());
    REQUIRE(readKeptGame(good));
    for (const Row &row : rows) {
        INFO(row.name);
        std::vector<std::uint8_t> bytes = good;
        row.spoil(bytes);
        CHECK_FALSE(readKeptGame(bytes));
    }
}

TEST_CASE("a history that does not lead from the start to the arrangement is refused")
{
    struct Row {
        const char *name;
        std::function<void(KeptGame &)> spoil;
    };
    const Row rows[] = {
        {"the arrangement moved on without it", [](KeptGame &g) { g.grid.shift(CellPos(1, 3), CellPos(2, 3)); }},
        {"a start of another game", [](KeptGame &g) { g.start.shift(CellPos(1, 1), CellPos(1, 2)); }},
        {"a game already won",
         [](KeptGame &g) {
             g.grid.reset();
             g.start.reset();
             g.done.clear();
         }},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        KeptGame game = playedGame();
        row.spoil(game);
        CHECK_FALSE(readKeptGame(keptGameBytes(game)));
    }
}
