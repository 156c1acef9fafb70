// SPDX-License-Identifier: GPL-3.0-or-later
// The kept game's bytes: little-endian, counted, and replayed before they are believed.
#include "KeptGame.h"

#include "PuzzleHeader.h"

#include <algorithm>

namespace quorra {

namespace {

constexpr std::size_t MoveSize = std::size_t(6) * 4;

void putInt(std::vector<std::uint8_t> &out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

void putMoves(std::vector<std::uint8_t> &out, const std::vector<LineMove> &moves)
{
    putInt(out, moves.size(), 4);
    for (const LineMove &move : moves) {
        for (int value : {move.from.x(), move.from.y(), move.to.x(), move.to.y(), int(move.axis), move.steps})
            putInt(out, std::uint32_t(value), 4);
    }
}

// Reads forward through the bytes; once anything is missing every later read fails too.
class Reader
{
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::optional<std::span<const std::uint8_t>> take(std::size_t size)
    {
        if (m_bytes.size() - m_at < size)
            return std::nullopt;
        const auto part = m_bytes.subspan(m_at, size);
        m_at += size;
        return part;
    }
    std::optional<std::uint64_t> unsignedInt(int size)
    {
        const auto part = take(std::size_t(size));
        if (!part)
            return std::nullopt;
        std::uint64_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value << 8 | (*part)[std::size_t(i)];
        return value;
    }
    std::optional<std::int32_t> int32()
    {
        const auto value = unsignedInt(4);
        return value ? std::optional<std::int32_t>(std::int32_t(std::uint32_t(*value))) : std::nullopt;
    }
    std::optional<std::int64_t> int64()
    {
        const auto value = unsignedInt(8);
        return value ? std::optional<std::int64_t>(std::int64_t(*value)) : std::nullopt;
    }
    std::optional<TileGrid> grid()
    {
        const auto part = take(std::size_t(PuzzleHeader::GridSize));
        if (!part)
            return std::nullopt;
        return TileGrid::fromRecord(gridRecordFromBytes(part->first<PuzzleHeader::GridSize>()));
    }
    bool atEnd() const { return m_at == m_bytes.size(); }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
};

// A move the grid's own moves can be: both ends inside it, on one row or one column, the steps bringing From to To.
bool isMoveOn(const TileGrid &grid, const LineMove &move)
{
    if (!grid.contains(move.from) || !grid.contains(move.to) || move.steps < -KeptGame::MaxSteps
        || move.steps > KeptGame::MaxSteps)
        return false;
    const bool row = move.axis == LineAxis::Row;
    if (row ? move.from.y() != move.to.y() : move.from.x() != move.to.x())
        return false;
    const int length = row ? grid.totalColumns() : grid.totalRows();
    const int from = row ? move.from.x() : move.from.y();
    const int to = row ? move.to.x() : move.to.y();
    return ((from - 1 + move.steps) % length + length) % length + 1 == to;
}

std::optional<std::vector<LineMove>> readMoves(Reader &reader, const TileGrid &grid)
{
    const auto count = reader.unsignedInt(4);
    if (!count || *count > KeptGame::MaxHistory)
        return std::nullopt;
    std::vector<LineMove> moves;
    moves.reserve(std::size_t(*count));
    for (std::uint64_t i = 0; i < *count; ++i) {
        const auto part = reader.take(MoveSize);
        if (!part)
            return std::nullopt;
        Reader fields(*part);
        const std::int32_t fromX = *fields.int32(), fromY = *fields.int32(), toX = *fields.int32(),
                           toY = *fields.int32(), axis = *fields.int32(), steps = *fields.int32();
        if (axis != int(LineAxis::Row) && axis != int(LineAxis::Column))
            return std::nullopt;
        const LineMove move{CellPos(fromX, fromY), CellPos(toX, toY), LineAxis(axis), steps};
        if (!isMoveOn(grid, move))
            return std::nullopt;
        moves.push_back(move);
    }
    return moves;
}

} // namespace

std::vector<std::uint8_t> keptGameBytes(const KeptGame &game)
{
    std::vector<std::uint8_t> out(std::begin(KeptGame::Magic), std::end(KeptGame::Magic));
    putInt(out, std::uint32_t(KeptGame::CurrentVersion), 4);
    putInt(out, game.puzzleKey.size(), 4);
    out.insert(out.end(), game.puzzleKey.begin(), game.puzzleKey.end());
    for (const TileGrid *grid : {&game.grid, &game.start}) {
        const std::vector<std::uint8_t> record = gridRecordBytes(grid->record());
        out.insert(out.end(), record.begin(), record.end());
    }
    putInt(out, std::uint32_t(game.moves), 4);
    putInt(out, std::uint64_t(game.elapsedMs), 8);
    putMoves(out, game.done);
    putMoves(out, game.undone);
    return out;
}

std::optional<KeptGame> readKeptGame(std::span<const std::uint8_t> bytes)
{
    Reader reader(bytes);
    const auto magic = reader.take(sizeof KeptGame::Magic);
    if (!magic || !std::equal(magic->begin(), magic->end(), std::begin(KeptGame::Magic)))
        return std::nullopt;
    // A newer program's record is not guessed at: the puzzle is played afresh.
    if (reader.int32() != KeptGame::CurrentVersion)
        return std::nullopt;
    KeptGame game;
    const auto keySize = reader.unsignedInt(4);
    if (!keySize || *keySize > KeptGame::MaxKeySize)
        return std::nullopt;
    const auto key = reader.take(std::size_t(*keySize));
    const auto grid = reader.grid();
    const auto start = reader.grid();
    const auto moves = reader.int32();
    const auto elapsed = reader.int64();
    if (!key || !grid || !start || !moves || !elapsed)
        return std::nullopt;
    game.puzzleKey.assign(key->begin(), key->end());
    game.grid = *grid;
    game.start = *start;
    game.moves = *moves;
    game.elapsedMs = *elapsed;
    // Both arrangements must be of one puzzle, and a game that is won or was never played is not kept.
    const TileGrid::Record &now = game.grid.record();
    const TileGrid::Record &began = game.start.record();
    if (now.rows != began.rows || now.columns != began.columns || now.extraRow != began.extraRow
        || now.extraColumn != began.extraColumn
        || !std::equal(&now.target[0][0], &now.target[0][0] + std::ptrdiff_t(MaxGrid) * MaxGrid, &began.target[0][0])
        || game.grid.isSolved() || game.moves < 1 || game.elapsedMs < 0 || game.elapsedMs > KeptGame::MaxElapsedMs)
        return std::nullopt;

    auto done = readMoves(reader, game.grid);
    if (!done)
        return std::nullopt;
    auto undone = readMoves(reader, game.grid);
    if (!undone || !reader.atEnd())
        return std::nullopt;
    game.done = std::move(*done);
    game.undone = std::move(*undone);

    // The moves that can be taken back are the ones that led from the start to here: otherwise Undo would walk
    // the pieces to an arrangement this game never had.
    TileGrid replay = game.start;
    for (const LineMove &move : game.done)
        replay.shift(move.from, move.to);
    if (replay.record() != game.grid.record())
        return std::nullopt;
    return game;
}

} // namespace quorra
