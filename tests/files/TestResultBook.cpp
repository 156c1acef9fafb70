// SPDX-License-Identifier: GPL-3.0-or-later
// The record of results: the best of several solves, puzzles told apart by content and grid, a damaged record
// ignored and started afresh, one that cannot be read left alone, links written through, and programs that win
// at once all counted.
#include "PuzzleFileFixture.h"
#include "ResultBook.h"
#include "core/TileGrid.h"

#include <QGuiApplication>
#include <QProcess>
#include <QThread>

#include <array>

using namespace quorra;

using Result = ResultBook::Result;
using Entry = ResultBook::Entry;
Q_DECLARE_METATYPE(QList<Result>)
Q_DECLARE_METATYPE(std::optional<Entry>)

namespace {

// Run with this argument, then a folder, a puzzle key and a count, the test is a program that wins that puzzle
// so many times in a row.
const char RecordArgument[] = "--record-wins";

int recordWins(const QString &folder, const QByteArray &key, int count)
{
    ResultBook book(folder);
    for (int moves = 1; moves <= count; ++moves) {
        book.record(key, {moves, 1000 * moves});
        // A window wins now and then, never in a tight loop that would keep the record locked for itself.
        QThread::msleep(10);
    }
    return 0;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// A record whose padding makes it Size bytes long.
QByteArray paddedRecord(qint64 size)
{
    const QByteArray head = R"({"puzzles": {}, "padding": ")";
    const QByteArray tail = "\"}";
    return head + QByteArray(size - head.size() - tail.size(), 'x') + tail;
}

TileGrid grid(int rows, int columns, bool emptyRow = false, bool emptyColumn = false)
{
    TileGrid g;
    g.init(rows, columns, emptyRow, emptyColumn);
    return g;
}

// The picture stream of a puzzle file saved at Path from a picture of that size, as the file stores it.
QByteArray savedStream(const QString &path, int width, int height)
{
    QImage display;
    PuzzleDocument document(&display, nullptr);
    document.setPicture(quarterPicture(width, height));
    document.setUp(0, 2, 2, false, false, false);
    document.save(path);
    return readAll(path).mid(PuzzleFile::HeaderSize);
}

} // namespace

class TestResultBook : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void bestOf_data();
    void bestOf();
    void roundTripKeepsWhatItDoesNotKnow();
    void damaged_data();
    void damaged();
    void unreadableLeftAlone_data();
    void unreadableLeftAlone();
    void writesThroughLink_data();
    void writesThroughLink();
    void winsAtOnce_data();
    void winsAtOnce();

private:
    QTemporaryDir m_dir;
};

void TestResultBook::keys_data()
{
    QTest::addColumn<QByteArray>("streamA");
    QTest::addColumn<QList<int>>("shapeA");
    QTest::addColumn<QByteArray>("streamB");
    QTest::addColumn<QList<int>>("shapeB");
    QTest::addColumn<bool>("same");

    const QList<int> plain{3, 3, 0, 0};
    const QString path = m_dir.filePath(QStringLiteral("same.nbq"));
    const QByteArray first = savedStream(path, 120, 80);
    const QByteArray second = savedStream(path, 80, 120);
    QTest::newRow("same file") << first << plain << first << plain << true;
    QTest::newRow("same path, another picture") << first << plain << second << plain << false;
    QTest::newRow("another split") << first << plain << first << QList<int>{3, 4, 0, 0} << false;
    QTest::newRow("rows and columns swapped")
        << first << QList<int>{2, 4, 0, 0} << first << QList<int>{4, 2, 0, 0} << false;
    QTest::newRow("empty row") << first << plain << first << QList<int>{3, 3, 1, 0} << false;
    QTest::newRow("empty column") << first << QList<int>{3, 3, 1, 0} << first << QList<int>{3, 3, 0, 1} << false;
    QTest::newRow("one byte differs") << QByteArray("abcd") << plain << QByteArray("abce") << plain << false;
}

void TestResultBook::keys()
{
    QFETCH(QByteArray, streamA);
    QFETCH(QList<int>, shapeA);
    QFETCH(QByteArray, streamB);
    QFETCH(QList<int>, shapeB);
    QFETCH(bool, same);

    QVERIFY(!streamA.isEmpty());
    const QByteArray a = ResultBook::puzzleKey(streamA, grid(shapeA[0], shapeA[1], shapeA[2], shapeA[3]));
    const QByteArray b = ResultBook::puzzleKey(streamB, grid(shapeB[0], shapeB[1], shapeB[2], shapeB[3]));
    QCOMPARE(a == b, same);
    QCOMPARE(a.size(), 64);
}

void TestResultBook::bestOf_data()
{
    QTest::addColumn<QList<Result>>("solves");
    QTest::addColumn<Result>("best");
    // What the last solve was told: the entry before it.
    QTest::addColumn<std::optional<Entry>>("before");
    // How many of the solves count: 0 when the record must hold nothing.
    QTest::addColumn<int>("counted");

    QTest::newRow("first solve") << QList<Result>{{23, 102000}} << Result{23, 102000} << std::optional<Entry>() << 1;
    QTest::newRow("fewer moves win") << QList<Result>{{23, 50000}, {19, 90000}} << Result{19, 90000}
                                     << std::optional<Entry>(Entry{{23, 50000}, 1}) << 2;
    QTest::newRow("more moves lose") << QList<Result>{{19, 90000}, {23, 50000}} << Result{19, 90000}
                                     << std::optional<Entry>(Entry{{19, 90000}, 1}) << 2;
    QTest::newRow("a tie goes to the quicker") << QList<Result>{{19, 90000}, {19, 70000}, {19, 80000}}
                                               << Result{19, 70000} << std::optional<Entry>(Entry{{19, 70000}, 2}) << 3;
    QTest::newRow("an equal result") << QList<Result>{{5, 1000}, {5, 1000}} << Result{5, 1000}
                                     << std::optional<Entry>(Entry{{5, 1000}, 1}) << 2;
    QTest::newRow("no moves is no victory") << QList<Result>{{0, 4000}} << Result{} << std::optional<Entry>() << 0;
    QTest::newRow("no moves after a victory") << QList<Result>{{9, 1000}, {0, 10}, {-3, 5}} << Result{9, 1000}
                                              << std::optional<Entry>(Entry{{9, 1000}, 1}) << 1;
}

void TestResultBook::bestOf()
{
    QFETCH(QList<Result>, solves);
    QFETCH(Result, best);
    QFETCH(std::optional<Entry>, before);
    QFETCH(int, counted);

    QTemporaryDir dir;
    ResultBook book(dir.filePath(QStringLiteral("new/folder")));
    const QByteArray key = ResultBook::puzzleKey("picture", grid(3, 3));
    std::optional<Entry> told;
    for (const Result &solve : solves)
        told = book.record(key, solve);
    QCOMPARE(told, before);
    QCOMPARE(book.find(key), counted ? std::optional<Entry>(Entry{best, counted}) : std::optional<Entry>());
    // Another puzzle has no record of its own.
    QCOMPARE(book.find(ResultBook::puzzleKey("picture", grid(3, 4))), std::optional<Entry>());
}

void TestResultBook::roundTripKeepsWhatItDoesNotKnow()
{
    QTemporaryDir dir;
    writeAll(dir.filePath(QStringLiteral("results.json")),
             R"({"later": [1, 2], "puzzles": {"k1": {"bestMoves": 4, "bestMilliseconds": 9000, "solves": 2,
                 "note": "kept"}}})");
    ResultBook book(dir.path());
    book.record("k1", {3, 12000});
    book.record("k2", {7, 3000});

    const ResultBook reread(dir.path());
    QCOMPARE(reread.find("k1"), std::optional<Entry>(Entry{{3, 12000}, 3}));
    QCOMPARE(reread.find("k2"), std::optional<Entry>(Entry{{7, 3000}, 1}));
    const QJsonObject record = QJsonDocument::fromJson(readAll(book.filePath())).object();
    QCOMPARE(record.value(QStringLiteral("later")).toArray().size(), 2);
    QCOMPARE(record.value(QStringLiteral("puzzles"))
                 .toObject()
                 .value(QStringLiteral("k1"))
                 .toObject()
                 .value(QStringLiteral("note")),
             QJsonValue(QStringLiteral("kept")));
}

void TestResultBook::damaged_data()
{
    QTest::addColumn<QByteArray>("content");
    // Something else in the record's place, which is left as it is: -1 for none.
    QTest::addColumn<int>("inItsPlace");

    QTest::newRow("empty file") << QByteArray() << -1;
    QTest::newRow("not JSON") << QByteArray("\x89PNG\r\n\x1a\n garbage {") << -1;
    QTest::newRow("cut short") << QByteArray(R"({"puzzles": {"k": {"bestMoves": 4, "best)") << -1;
    QTest::newRow("an array") << QByteArray("[1, 2, 3]") << -1;
    QTest::newRow("puzzles not an object") << QByteArray(R"({"puzzles": 12})") << -1;
    QTest::newRow("negative moves") << QByteArray(
        R"({"puzzles": {"k": {"bestMoves": -4, "bestMilliseconds": 9000, "solves": 1}}})")
                                    << -1;
    QTest::newRow("moves in words") << QByteArray(
        R"({"puzzles": {"k": {"bestMoves": "four", "bestMilliseconds": 9000, "solves": 1}}})")
                                    << -1;
    QTest::newRow("half a move") << QByteArray(
        R"({"puzzles": {"k": {"bestMoves": 4.5, "bestMilliseconds": 9000, "solves": 1}}})")
                                 << -1;
    QTest::newRow("never solved") << QByteArray(
        R"({"puzzles": {"k": {"bestMoves": 4, "bestMilliseconds": 9000, "solves": 0}}})")
                                  << -1;
    QTest::newRow("time missing") << QByteArray(R"({"puzzles": {"k": {"bestMoves": 4, "solves": 1}}})") << -1;
    QTest::newRow("a folder in its place") << QByteArray() << int(NonRegularFile::Folder);
    QTest::newRow("a pipe in its place") << QByteArray() << int(NonRegularFile::Fifo);
}

void TestResultBook::damaged()
{
    QFETCH(QByteArray, content);
    QFETCH(int, inItsPlace);

    QTemporaryDir dir;
    ResultBook book(dir.path());
    if (inItsPlace >= 0)
        QVERIFY(makeNonRegularFile(NonRegularFile(inItsPlace), book.filePath()));
    else
        writeAll(book.filePath(), content);

    QCOMPARE(book.find("k"), std::optional<Entry>());
    QCOMPARE(book.record("k", {6, 2000}), std::optional<Entry>());
    // Started afresh where it is a file; left alone where it is something else.
    const std::optional<Entry> after = inItsPlace >= 0 ? std::optional<Entry>() : Entry{{6, 2000}, 1};
    QCOMPARE(book.find("k"), after);
}

void TestResultBook::unreadableLeftAlone_data()
{
    // What stands at the record's name: empty for a link that leads to itself.
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("noPermission");
    const QByteArray record = R"({"puzzles": {"k": {"bestMoves": 4, "bestMilliseconds": 9000, "solves": 2}}})";
    QTest::newRow("no permission") << record << true;
    QTest::newRow("larger than the reader takes") << paddedRecord(ResultBook::MaxFileSize + 1) << false;
    QTest::newRow("would grow larger than the reader takes") << paddedRecord(ResultBook::MaxFileSize - 10) << false;
    QTest::newRow("a link that leads to itself") << QByteArray() << false;
}

void TestResultBook::unreadableLeftAlone()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, noPermission);

    QTemporaryDir dir;
    ResultBook book(dir.path());
    const QString path = book.filePath();
    if (content.isEmpty())
        QVERIFY(QFile::link(QStringLiteral("results.json"), path));
    else
        writeAll(path, content);
    if (noPermission) {
        QVERIFY(QFile::setPermissions(path, {}));
        if (QFile(path).open(QIODevice::ReadOnly))
            QSKIP("this user reads files that nobody may read");
    }

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^The result was not recorded")));
    QCOMPARE(book.record("k", {6, 2000}), std::optional<Entry>());
    QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("results.json")});
    QCOMPARE(QFileInfo(path).isSymLink(), content.isEmpty());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(readAll(path) == content);
}

void TestResultBook::writesThroughLink_data()
{
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<bool>("linkToLink");
    QTest::newRow("link to a record") << true << false;
    QTest::newRow("link to a link to a record") << true << true;
    QTest::newRow("link to no record yet") << false << false;
}

void TestResultBook::writesThroughLink()
{
    QFETCH(bool, targetExists);
    QFETCH(bool, linkToLink);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("elsewhere")));
    const QString target = dir.filePath(QStringLiteral("elsewhere/kept.json"));
    if (targetExists)
        writeAll(target, R"({"puzzles": {"k": {"bestMoves": 4, "bestMilliseconds": 9000, "solves": 2}}})");
    ResultBook book(dir.path());
    // Relative links, as a person makes them, lead from the folder the link is in.
    QString linkTarget = QStringLiteral("elsewhere/kept.json");
    if (linkToLink) {
        QVERIFY(QFile::link(QStringLiteral("kept.json"), dir.filePath(QStringLiteral("elsewhere/middle"))));
        linkTarget = QStringLiteral("elsewhere/middle");
    }
    QVERIFY(::symlink(qPrintable(linkTarget), qPrintable(book.filePath())) == 0);

    book.record("k", {3, 5000});

    const qint32 solves = targetExists ? 3 : 1;
    QCOMPARE(book.find("k"), std::optional<Entry>(Entry{{3, 5000}, solves}));
    QVERIFY(QFileInfo(book.filePath()).isSymLink());
    const QJsonObject stored = QJsonDocument::fromJson(readAll(target)).object();
    QCOMPARE(stored.value(QStringLiteral("puzzles"))
                 .toObject()
                 .value(QStringLiteral("k"))
                 .toObject()
                 .value(QStringLiteral("solves")),
             QJsonValue(solves));
    QCOMPARE(entriesOf(dir.filePath(QStringLiteral("elsewhere"))).size(), linkToLink ? 2 : 1);
}

void TestResultBook::winsAtOnce_data()
{
    // The puzzle each of the two programs wins.
    QTest::addColumn<QList<QByteArray>>("keys");
    QTest::newRow("the same puzzle in two windows") << QList<QByteArray>{"k", "k"};
    QTest::newRow("two puzzles in two windows") << QList<QByteArray>{"k1", "k2"};
}

void TestResultBook::winsAtOnce()
{
    QFETCH(QList<QByteArray>, keys);
    constexpr int Wins = 40;

    QTemporaryDir dir;
    std::array<QProcess, 2> programs;
    for (int i = 0; i < 2; ++i)
        programs[i].start(
            QCoreApplication::applicationFilePath(),
            {QString::fromLatin1(RecordArgument), dir.path(), QString::fromLatin1(keys[i]), QString::number(Wins)});
    QMap<QByteArray, int> expected;
    for (int i = 0; i < 2; ++i) {
        QVERIFY(programs[i].waitForFinished(60000));
        QCOMPARE(programs[i].exitCode(), 0);
        expected[keys[i]] += Wins;
    }
    ResultBook book(dir.path());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(book.find(it.key()), std::optional<Entry>(Entry{{1, 1000}, it.value()}));
    QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("results.json")});
}

int main(int argc, char *argv[])
{
    if (argc == 5 && qstrcmp(argv[1], RecordArgument) == 0) {
        QCoreApplication app(argc, argv);
        return recordWins(QString::fromLocal8Bit(argv[2]), argv[3], QByteArray(argv[4]).toInt());
    }
    QGuiApplication app(argc, argv);
    TestResultBook test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "TestResultBook.moc"
