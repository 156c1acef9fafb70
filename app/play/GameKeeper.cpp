// SPDX-License-Identifier: GPL-3.0-or-later
// The game on screen taken from the board and the clock into the kept games, and back.
#include "GameKeeper.h"

#include "PlayStatus.h"
#include "Puzzle.h"
#include "PuzzleDocument.h"
#include "ResultBook.h"

namespace quorra {

GameKeeper::GameKeeper(std::function<PuzzleDocument *()> document, PlayStatus &status)
    : m_document(std::move(document)), m_status(status)
{
}

QByteArray GameKeeper::key() const
{
    const PuzzleDocument *document = m_document();
    if (!document || document->pictureStream().isEmpty())
        return QByteArray();
    const QByteArray &stream = document->pictureStream();
    const TileGrid &grid = document->puzzle().grid();
    const KeySource source{document,
                           stream.constData(),
                           stream.size(),
                           {grid.rows(), grid.columns(), grid.hasEmptyRow(), grid.hasEmptyColumn()}};
    if (!(source == m_keySource)) {
        m_key = ResultBook::puzzleKey(stream, grid);
        m_keySource = source;
    }
    return m_key;
}

void GameKeeper::keep()
{
    const PuzzleDocument *document = m_document();
    if (!document)
        return;
    const Puzzle &puzzle = document->puzzle();
    const PlayClock &clock = m_status.clock();
    // Only a game being played counts: one being set up is its file's work, one tangling or won has nothing left
    // to go back to, and one with no move yet is as good as the fresh tangle the puzzle would get.
    if (puzzle.isEditMode() || puzzle.isSolved() || puzzle.isTangling() || clock.isFinished() || clock.moves() < 1)
        return;
    const QByteArray puzzleKey = key();
    if (puzzleKey.isEmpty())
        return;
    const GameBoard &game = puzzle.game();
    KeptGame kept;
    kept.grid = game.grid();
    kept.start = game.start();
    kept.done = game.history().done();
    kept.undone = game.history().undone();
    kept.moves = clock.moves();
    kept.elapsedMs = clock.elapsedMs();
    m_store.keep(puzzleKey, std::move(kept));
}

bool GameKeeper::resume()
{
    PuzzleDocument *document = m_document();
    const QByteArray puzzleKey = key();
    if (puzzleKey.isEmpty())
        return false;
    const std::optional<KeptGame> kept = m_store.find(puzzleKey);
    if (!kept || !document->puzzle().resume(*kept))
        return false;
    m_continued = document;
    m_status.continueGame(kept->moves, kept->elapsedMs);
    return true;
}

void GameKeeper::drop()
{
    m_continued = nullptr;
    const QByteArray puzzleKey = key();
    if (!puzzleKey.isEmpty())
        m_store.drop(puzzleKey);
}

bool GameKeeper::isContinued() const
{
    const PuzzleDocument *document = m_document();
    return document && document == m_continued && !document->puzzle().isSolved();
}

} // namespace quorra
