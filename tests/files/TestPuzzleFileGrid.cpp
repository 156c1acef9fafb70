// Tests of the grid's part of a puzzle file: the record's bytes, their layout and a grid cut short.
#include "PuzzleFile.h"

#include "UserError.h"

#include <QBuffer>
#include <QtTest>

namespace {

bool sameCell(const Tile &a, const Tile &b)
{
    return a.number == b.number && a.home == b.home;
}

// Both arrangements, the unused region included, with values that differ from cell to cell.
TileGrid::Record patternRecord()
{
    TileGrid::Record b;
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            b.target[c][r].number = 1000 + c * 10 + r;
            b.target[c][r].home = CellPos(-c - 1, 0x01020304 + r);
            b.current[c][r].number = -2000 - c * 10 - r;
            b.current[c][r].home = CellPos(c * 7, r * 11);
        }
    return b;
}

} // namespace

class TestPuzzleFileGrid : public QObject
{
    Q_OBJECT

private slots:
    void streamRoundTrip();
    void streamLayout();
    void streamShort();
};

void TestPuzzleFileGrid::streamRoundTrip()
{
    TileGrid::Record b = patternRecord();
    b.rows = 3;
    b.columns = 4;
    b.extraRow = 1;
    b.extraColumn = 0;
    const QByteArray bytes = PuzzleFile::gridBytes(b);
    QCOMPARE(bytes.size(), qint64(880));
    QCOMPARE(PuzzleFile::GridSize, qint64(880));

    const TileGrid::Record loaded = PuzzleFile::gridRecord(bytes.constData());
    QCOMPARE(loaded.rows, 3);
    QCOMPARE(loaded.columns, 4);
    QCOMPARE(loaded.extraRow, 1);
    QCOMPARE(loaded.extraColumn, 0);
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            QVERIFY(sameCell(loaded.target[c][r], b.target[c][r]));
            QVERIFY(sameCell(loaded.current[c][r], b.current[c][r]));
        }

    QCOMPARE(PuzzleFile::gridBytes(loaded), bytes);
}

void TestPuzzleFileGrid::streamLayout()
{
    TileGrid b;
    b.init(2, 3, false, true);
    b.shift(CellPos(1, 1), CellPos(2, 1)); // row 1: empty, 1, 2
    const QByteArray d = PuzzleFile::gridBytes(b.record());
    auto intAt = [&d](int offset) { return qFromLittleEndian<qint32>(d.constData() + offset); };
    QCOMPARE(intAt(0), 2);
    QCOMPARE(intAt(4), 3);
    QCOMPARE(intAt(8), 0);
    QCOMPARE(intAt(12), 1);
    QCOMPARE(d.mid(0, 4), QByteArray("\x02\x00\x00\x00", 4));
    // Target column 1, row 2 is number 4 at home (1, 2); column 2 starts six records later.
    QCOMPARE(intAt(16 + 12), 4);
    QCOMPARE(intAt(16 + 12 + 4), 1);
    QCOMPARE(intAt(16 + 12 + 8), 2);
    QCOMPARE(intAt(16 + 6 * 12), 2);
    // Current follows Target: column 2, row 1 now holds number 1.
    QCOMPARE(intAt(16 + 432 + 6 * 12), 1);
    QCOMPARE(intAt(16 + 432), 0);
    // The same offsets as the file names them.
    QCOMPARE(PuzzleFile::TargetOffset - PuzzleFile::GridOffset, qint64(16));
    QCOMPARE(PuzzleFile::CurrentOffset - PuzzleFile::GridOffset, qint64(16 + 432));
}

void TestPuzzleFileGrid::streamShort()
{
    // A file whose grid ends one byte early is refused before anything of it is taken.
    TileGrid b;
    b.init(2, 2, false, false);
    QByteArray cut(PuzzleFile::GridOffset, '\0');
    cut[0] = 1;
    cut += PuzzleFile::gridBytes(b.record());
    cut.chop(1);
    QBuffer buffer(&cut);
    buffer.open(QIODevice::ReadOnly);
    try {
        PuzzleFile::read(buffer, QStringLiteral("cut.nbq"));
        QFAIL("a grid cut short was read");
    } catch (const UserError &e) {
        QCOMPARE(e.message(), QStringLiteral("The puzzle file \"cut.nbq\" is damaged: it ends before its header is "
                                             "complete."));
    }
}

QTEST_GUILESS_MAIN(TestPuzzleFileGrid)
#include "TestPuzzleFileGrid.moc"
