// SPDX-License-Identifier: GPL-3.0-or-later
// The games left in the middle, kept in the user's data folder beside the results record until they are played on.
#pragma once

#include "core/KeptGame.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace quorra {

class KeptGames
{
public:
    // The newest games are kept; leaving one more drops the one left longest ago.
    static constexpr int MaxKept = 200;
    // A game of the longest history the reader takes is under 2.5 MB; anything larger is not one of ours.
    static constexpr qint64 MaxFileSize = qint64(4) * 1024 * 1024;

    // The games live in Folder/games; by default beside the results record.
    explicit KeptGames(QString folder);
    KeptGames();
    QString folderPath() const;
    // Where the game of the puzzle known by Key is kept; empty for a key that is no results record's key.
    QString filePath(const QByteArray &key) const;

    // The game kept for the puzzle known by Key (ResultBook::puzzleKey): none when there is none, or when what is
    // there is damaged, too large, not a file, or the game of another puzzle. Nothing read is ever worth an error.
    std::optional<KeptGame> find(const QByteArray &key) const;
    // Keeps Game as the one of the puzzle known by Key, replacing the file whole, so a failed write leaves the game
    // kept before. False (with a warning) when it could not be kept.
    bool keep(const QByteArray &key, KeptGame game);
    // The game of that puzzle is over: won, tangled anew or restarted.
    void drop(const QByteArray &key);

private:
    // Leaves the newest MaxKept games, Kept among them whatever its time says.
    void prune(const QString &kept) const;

    QString m_folder;
};

} // namespace quorra
