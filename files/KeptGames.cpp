// SPDX-License-Identifier: GPL-3.0-or-later
// The kept games as one small file each, named by the puzzle's key, replaced whole and pruned to the newest.
#include "KeptGames.h"

#include "RegularFile.h"
#include "ReplacingFile.h"
#include "ResultBook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <span>

namespace quorra {

namespace {

const QString SubFolder = QStringLiteral("/games");
const QString Suffix = QStringLiteral(".game");
const QString LockName = QStringLiteral("/.lock");
// Keeping a game is a few kilobytes' write; a lock older than this was left by a program that hangs.
constexpr int StaleLockMilliseconds = 10000;
// Leaving a puzzle must not freeze the window over another program's prune.
constexpr int LockWaitMilliseconds = 1000;

// The keys are SHA-256 in hexadecimal: nothing else may become part of a path.
bool isKey(const QByteArray &key)
{
    if (key.size() != 64)
        return false;
    for (char c : key)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace

KeptGames::KeptGames(QString folder) : m_folder(std::move(folder)) {}

KeptGames::KeptGames() : KeptGames(ResultBook::defaultFolder()) {}

QString KeptGames::folderPath() const
{
    return m_folder.isEmpty() ? QString() : m_folder + SubFolder;
}

QString KeptGames::filePath(const QByteArray &key) const
{
    if (m_folder.isEmpty() || !isKey(key))
        return QString();
    return folderPath() + QLatin1Char('/') + QString::fromLatin1(key) + Suffix;
}

std::optional<KeptGame> KeptGames::find(const QByteArray &key) const
{
    const QString path = filePath(key);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return std::nullopt;
    // A pipe or a device in its place must not hold the opening up.
    QFile file;
    if (!openRegularFile(file, path).isEmpty())
        return std::nullopt;
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxFileSize)
        return std::nullopt;
    std::optional<KeptGame> game = readKeptGame(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t *>(bytes.constData()), bytes.size()));
    // A file copied or renamed under another puzzle's key would put that puzzle's pieces on this one's picture.
    if (!game || game->puzzleKey != key.toStdString())
        return std::nullopt;
    return game;
}

bool KeptGames::keep(const QByteArray &key, KeptGame game)
{
    const QString path = filePath(key);
    if (path.isEmpty())
        return false;
    game.puzzleKey = key.toStdString();
    const std::vector<std::uint8_t> bytes = keptGameBytes(game);
    if (qint64(bytes.size()) > MaxFileSize) {
        qWarning("The game was not kept: it would be larger than %lld bytes.", MaxFileSize);
        return false;
    }
    QDir().mkpath(folderPath());
    QLockFile lock(folderPath() + LockName);
    lock.setStaleLockTime(StaleLockMilliseconds);
    const bool locked = lock.tryLock(LockWaitMilliseconds);
    // Written beside the old file and renamed over it: a failed write keeps the game left before.
    const QString failure = ReplacingFile::writeWhole(path, QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (!failure.isEmpty()) {
        qWarning("The game was not kept in %s: %s", qPrintable(path), qPrintable(failure));
        return false;
    }
    // Another program pruning meanwhile would only drop what this one would.
    if (locked)
        prune(path);
    return true;
}

void KeptGames::drop(const QByteArray &key)
{
    const QString path = filePath(key);
    if (!path.isEmpty())
        QFile::remove(path);
}

void KeptGames::prune(const QString &kept) const
{
    const QFileInfoList games = QDir(folderPath()).entryInfoList({QLatin1Char('*') + Suffix}, QDir::Files, QDir::Time);
    // Newest first; the one just kept counts first whatever the clock says.
    qsizetype room = MaxKept - 1;
    for (const QFileInfo &game : games) {
        if (game.filePath() == kept)
            continue;
        if (room > 0)
            --room;
        else
            QFile::remove(game.filePath());
    }
}

} // namespace quorra
