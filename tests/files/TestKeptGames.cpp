// SPDX-License-Identifier: GPL-3.0-or-later
// The kept games in the data folder: a game comes back under its key only, anything damaged, too large, not a file
// or another puzzle's is ignored without harm, and only the newest are kept.
#include "../NonRegularFiles.h"
#include "KeptGames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace quorra;

namespace {

QByteArray keyOf(int n)
{
    return QByteArray::number(n, 16).rightJustified(64, '0');
}

KeptGame game(int moves)
{
    KeptGame g;
    g.grid.init(2, 2, false, false);
    g.grid.shift(CellPos(1, 1), CellPos(2, 1));
    g.start = g.grid;
    g.moves = moves;
    g.elapsedMs = 1000 * moves;
    return g;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestKeptGames : public QObject
{
    Q_OBJECT

private slots:
    void whatIsFoundUnderAKey_data();
    void whatIsFoundUnderAKey();
    void onlyTheNewestAreKept();
};

void TestKeptGames::whatIsFoundUnderAKey_data()
{
    using Spoil = std::function<bool(KeptGames &, const QString &)>;
    QTest::addColumn<Spoil>("spoil");
    QTest::addColumn<bool>("found");

    QTest::newRow("as kept") << Spoil([](KeptGames &, const QString &) { return true; }) << true;
    QTest::newRow("cut short") << Spoil([](KeptGames &, const QString &path) {
        QFile file(path);
        return file.resize(file.size() / 2);
    }) << false;
    QTest::newRow("not a game at all") << Spoil([](KeptGames &, const QString &path) {
        return writeFile(path, "{\"puzzles\": {}}");
    }) << false;
    QTest::newRow("larger than any game") << Spoil([](KeptGames &, const QString &path) {
        return writeFile(path, QByteArray(KeptGames::MaxFileSize + 1, 'Q'));
    }) << false;
    // Another puzzle's game copied under this key would put its pieces on the wrong picture.
    QTest::newRow("another puzzle's game") << Spoil([](KeptGames &games, const QString &path) {
        return QFile::remove(path) && QFile::copy(games.filePath(keyOf(2)), path);
    }) << false;
    QTest::newRow("a pipe in its place") << Spoil([](KeptGames &, const QString &path) {
        return QFile::remove(path) && makeNonRegularFile(NonRegularFile::Fifo, path);
    }) << false;
}

void TestKeptGames::whatIsFoundUnderAKey()
{
    using Spoil = std::function<bool(KeptGames &, const QString &)>;
    QFETCH(Spoil, spoil);
    QFETCH(bool, found);

    QTemporaryDir folder;
    KeptGames games(folder.path());
    QVERIFY(games.keep(keyOf(1), game(7)));
    QVERIFY(games.keep(keyOf(2), game(9)));
    QVERIFY(spoil(games, games.filePath(keyOf(1))));

    const std::optional<KeptGame> kept = games.find(keyOf(1));
    QCOMPARE(kept.has_value(), found);
    if (kept)
        QCOMPARE(kept->moves, 7);
    // Whatever happened to one game, the other is as it was.
    QCOMPARE(games.find(keyOf(2))->moves, 9);
    // A key is never a path.
    QVERIFY(games.filePath("../../etc/passwd").isEmpty());
    QVERIFY(!games.keep("../../x", game(1)));
}

void TestKeptGames::onlyTheNewestAreKept()
{
    QTemporaryDir folder;
    KeptGames games(folder.path());
    const int extra = 3;
    for (int n = 0; n < KeptGames::MaxKept + extra; ++n) {
        QVERIFY(games.keep(keyOf(n), game(n + 1)));
        // The oldest are told by their time; make it plain, whatever the file system's resolution.
        QFile file(games.filePath(keyOf(n)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(n - 1000), QFileDevice::FileModificationTime));
    }
    QCOMPARE(QDir(games.folderPath()).entryList({QStringLiteral("*.game")}, QDir::Files).size(), KeptGames::MaxKept);
    // The one left longest ago went first; the last one left is there even though it is the one just written.
    for (int n = 0; n < extra; ++n)
        QVERIFY(!games.find(keyOf(n)));
    QVERIFY(games.find(keyOf(KeptGames::MaxKept + extra - 1)));
}

QTEST_GUILESS_MAIN(TestKeptGames)
#include "TestKeptGames.moc"
