// SPDX-License-Identifier: GPL-3.0-or-later
// The record of results as a small JSON file, read whole and replaced whole.
#include "ResultBook.h"

#include "RegularFile.h"
#include "ReplacingFile.h"
#include "core/TileGrid.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QStandardPaths>

#include <cerrno>
#include <cmath>
#include <sys/stat.h>

namespace quorra {

namespace {

const QString FileName = QStringLiteral("results.json");
const QString LockSuffix = QStringLiteral(".lock");
const QString PuzzlesKey = QStringLiteral("puzzles");
const QString MovesKey = QStringLiteral("bestMoves");
const QString MillisecondsKey = QStringLiteral("bestMilliseconds");
const QString SolvesKey = QStringLiteral("solves");
// Writing even the largest record the reader takes lasts a second or so; a lock this old was left by a
// program that hangs (one that died is noticed at once by its process id).
constexpr int StaleLockMilliseconds = 10000;
// A victory waits no longer than this for another program's write: the window must not freeze over a result.
constexpr int LockWaitMilliseconds = 2000;
// Links to links are followed as far as the system itself follows them.
constexpr int MaxLinkHops = 40;

// The whole record: an empty one when there is no file or a damaged one, none when a file is there that cannot
// be read whole (Refused then says why), which must not be replaced by a record of one result.
struct RecordRead {
    std::optional<QJsonObject> record;
    QString refused;
};

RecordRead readRecord(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 && errno == ENOENT)
        return {QJsonObject(), {}};
    // Something else in its place, a pipe above all, must not hold the victory up.
    QFile file;
    if (QString refused = openRegularFile(file, path); !refused.isEmpty())
        return {std::nullopt, refused};
    const QByteArray bytes = file.read(ResultBook::MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, file.errorString()};
    if (bytes.size() > ResultBook::MaxFileSize)
        return {std::nullopt, QStringLiteral("It is larger than %1 bytes.").arg(ResultBook::MaxFileSize)};
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    return {document.isObject() ? document.object() : QJsonObject(), {}};
}

// Where the record's bytes live: a link at its name is followed, as the settings file's is, so a record the
// user keeps elsewhere stays there. A link that loops is returned as it is, and reading it then fails.
QString resolvedPath(const QString &path)
{
    QString current = path;
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            break;
        current = info.symLinkTarget();
    }
    return current;
}

// An entry is taken only when every figure in it is one a game can produce.
std::optional<ResultBook::Entry> entryOf(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    const double moves = object.value(MovesKey).toDouble(-1);
    const double milliseconds = object.value(MillisecondsKey).toDouble(-1);
    const double solves = object.value(SolvesKey).toDouble(-1);
    auto whole = [](double figure, double limit) {
        return figure >= 0 && figure <= limit && std::floor(figure) == figure;
    };
    if (!whole(moves, 2147483647.0) || !whole(milliseconds, 9007199254740992.0) || !whole(solves, 2147483647.0)
        || solves < 1)
        return std::nullopt;
    return ResultBook::Entry{{qint32(moves), qint64(milliseconds)}, qint32(solves)};
}

} // namespace

ResultBook::ResultBook(QString folder) : m_folder(std::move(folder)) {}

QString ResultBook::defaultFolder()
{
    // Without a home folder there is nowhere to keep results, rather than a folder at the root.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/quorra");
}

QString ResultBook::filePath() const
{
    return m_folder + QLatin1Char('/') + FileName;
}

QByteArray ResultBook::puzzleKey(QByteArrayView pictureStream, const TileGrid &grid)
{
    // The picture's bytes, then the grid's shape as four bytes: rows, columns, empty row, empty column.
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(pictureStream);
    const char shape[4] = {char(grid.rows()), char(grid.columns()), char(grid.hasEmptyRow() ? 1 : 0),
                           char(grid.hasEmptyColumn() ? 1 : 0)};
    hash.addData(QByteArrayView(shape, sizeof shape));
    return hash.result().toHex();
}

bool ResultBook::isBetter(Result result, Result than)
{
    return result.moves < than.moves || (result.moves == than.moves && result.milliseconds < than.milliseconds);
}

std::optional<ResultBook::Entry> ResultBook::find(const QByteArray &key) const
{
    if (m_folder.isEmpty())
        return std::nullopt;
    const QJsonObject record = readRecord(resolvedPath(filePath())).record.value_or(QJsonObject());
    return entryOf(record.value(PuzzlesKey).toObject().value(QString::fromLatin1(key)));
}

std::optional<ResultBook::Entry> ResultBook::record(const QByteArray &key, Result result)
{
    if (m_folder.isEmpty())
        return std::nullopt;
    // A victory is the result of a move: a puzzle solved by no move at all was never played.
    if (result.moves <= 0)
        return find(key);
    QDir().mkpath(m_folder);
    // Two windows that win at once must both count: each reads, changes and replaces the record in turn.
    QLockFile lock(filePath() + LockSuffix);
    lock.setStaleLockTime(StaleLockMilliseconds);
    // A folder that takes no lock takes no other program's either; the record may still be written in place.
    if (!lock.tryLock(LockWaitMilliseconds) && lock.error() != QLockFile::PermissionError) {
        qWarning("The result was not recorded: another program kept %s busy.", qPrintable(filePath()));
        return find(key);
    }

    const QString path = resolvedPath(filePath());
    const RecordRead read = readRecord(path);
    if (!read.record) {
        qWarning("The result was not recorded: %s cannot be read, and is left as it is. %s", qPrintable(path),
                 qPrintable(read.refused));
        return std::nullopt;
    }
    QJsonObject record = *read.record;
    QJsonObject puzzles = record.value(PuzzlesKey).toObject();
    const QString name = QString::fromLatin1(key);
    // What a later version added to an entry or to the record stays as it was.
    QJsonObject stored = puzzles.value(name).toObject();
    const std::optional<Entry> before = entryOf(stored);

    Entry after{result, 1};
    if (before) {
        after.best = isBetter(result, before->best) ? result : before->best;
        after.solves = before->solves < 2147483647 ? before->solves + 1 : before->solves;
    }
    stored.insert(MovesKey, after.best.moves);
    stored.insert(MillisecondsKey, double(after.best.milliseconds));
    stored.insert(SolvesKey, after.solves);
    puzzles.insert(name, stored);
    record.insert(PuzzlesKey, puzzles);

    const QByteArray bytes = QJsonDocument(record).toJson(QJsonDocument::Indented);
    // A record the reader would refuse is as good as lost: the old one is kept instead.
    if (bytes.size() > MaxFileSize) {
        qWarning("The result was not recorded: %s would grow past %lld bytes.", qPrintable(path), MaxFileSize);
        return before;
    }
    // Written beside the old file and renamed over it, so a failed write never loses the results kept so far.
    const QString failure = ReplacingFile::writeWhole(path, bytes);
    if (!failure.isEmpty())
        qWarning("The result was not recorded in %s: %s", qPrintable(path), qPrintable(failure));
    return before;
}

} // namespace quorra
