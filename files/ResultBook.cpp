// The record of results as a small JSON file, read whole and replaced whole.
#include "ResultBook.h"

#include "RegularFile.h"
#include "ReplacingFile.h"
#include "TileGrid.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <cmath>

namespace {

const QString FileName = QStringLiteral("results.json");
const QString PuzzlesKey = QStringLiteral("puzzles");
const QString MovesKey = QStringLiteral("bestMoves");
const QString MillisecondsKey = QStringLiteral("bestMilliseconds");
const QString SolvesKey = QStringLiteral("solves");
// A record of thousands of puzzles is a few hundred kilobytes; anything far larger is not one of ours.
constexpr qint64 MaxFileSize = qint64(16) * 1024 * 1024;

// The whole record, or an empty one when the file is missing, unreadable or damaged.
QJsonObject readRecord(const QString &path)
{
    // Something else in its place, a pipe above all, must not hold the victory up.
    QFile file;
    if (!openRegularFile(file, path).isEmpty() || file.size() > MaxFileSize)
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    return document.isObject() ? document.object() : QJsonObject();
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
    return entryOf(readRecord(filePath()).value(PuzzlesKey).toObject().value(QString::fromLatin1(key)));
}

std::optional<ResultBook::Entry> ResultBook::record(const QByteArray &key, Result result)
{
    if (m_folder.isEmpty())
        return std::nullopt;
    QJsonObject record = readRecord(filePath());
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

    // Written beside the old file and renamed over it, so a failed write never loses the results kept so far;
    // a pipe or a folder in its place is left alone.
    QDir().mkpath(m_folder);
    ReplacingFile file(filePath());
    const QByteArray bytes = QJsonDocument(record).toJson(QJsonDocument::Indented);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        file.commit();
    return before;
}
