// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the game on screen when its puzzle leaves in the middle, and gives it back when the puzzle comes again.
#pragma once

#include "KeptGames.h"

#include <QByteArray>
#include <functional>

namespace quorra {

class PlayStatus;
class PuzzleDocument;

class GameKeeper
{
public:
    // Document gives the document on screen (null when there is none); Status counts its moves and time.
    GameKeeper(std::function<PuzzleDocument *()> document, PlayStatus &status);

    // Where the games are kept; tests choose a folder of their own.
    void setStore(KeptGames store) { m_store = std::move(store); }
    const KeptGames &store() const { return m_store; }

    // The puzzle on screen is about to leave it, or the program is ending: a game in play that has had a move is
    // kept under its puzzle's key. A puzzle never saved has no key, and keeps nothing, as it keeps no results.
    void keep();
    // The puzzle just opened goes on with the game kept for it, instead of being tangled; false when there is
    // none that fits it.
    bool resume();
    // The game on screen is no longer one to go back to: won, tangled anew or restarted.
    void drop();
    // The game on screen is the one resume gave back, not yet tangled anew.
    bool isContinued() const;
    // Another puzzle is on screen: nothing known of the last one may be taken for it, even at the same address.
    void forget()
    {
        m_continued = nullptr;
        m_keySource = {};
    }

private:
    // The key of the puzzle on screen; empty when it has none. Every tangle step asks for it, and a picture stream
    // may be megabytes: it is hashed again only when the document, its stream or its grid's shape has changed.
    QByteArray key() const;

    std::function<PuzzleDocument *()> m_document;
    PlayStatus &m_status;
    KeptGames m_store;
    // The document whose game was given back.
    const PuzzleDocument *m_continued = nullptr;
    // What the last key was made of, and the key.
    struct KeySource {
        const PuzzleDocument *document = nullptr;
        const char *stream = nullptr;
        qsizetype size = 0;
        int shape[4] = {};
        friend bool operator==(const KeySource &, const KeySource &) = default;
    };
    mutable KeySource m_keySource;
    mutable QByteArray m_key;
};

} // namespace quorra
