// Tests of the arrangement grid: layouts, rotations, the solved test, homes and the stored image.
#include "TileGrid.h"

#include <QBuffer>
#include <QtTest>

#include <cstring>

namespace {

// Every split the program offers, with and without the empty row and column.
void addEverySplit()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("emptyRow");
    QTest::addColumn<bool>("emptyCol");
    for (int rows = 2; rows <= 4; ++rows)
        for (int cols = 2; cols <= 4; ++cols)
            for (int extra = 0; extra < 4; ++extra) {
                const bool emptyRow = extra & 1;
                const bool emptyCol = extra & 2;
                QTest::addRow("%dx%d%s%s", rows, cols, emptyRow ? " +row" : "", emptyCol ? " +col" : "")
                    << rows << cols << emptyRow << emptyCol;
            }
}

// The numbers of one line, in order, as a compact string for comparisons.
QString columnNumbers(const TileGrid &b, int c)
{
    QStringList l;
    for (int r = 1; r <= b.totalRows(); ++r)
        l << QString::number(b.current[c - 1][r - 1].number);
    return l.join(' ');
}

QString rowNumbers(const TileGrid &b, int r)
{
    QStringList l;
    for (int c = 1; c <= b.totalCols(); ++c)
        l << QString::number(b.current[c - 1][r - 1].number);
    return l.join(' ');
}

bool sameCell(const Tile &a, const Tile &b)
{
    return a.number == b.number && a.home == b.home;
}

// Fills both arrangements, the unused region included, with values that differ from cell to cell.
void fillPattern(TileGrid &b)
{
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            b.target[c][r].number = 1000 + c * 10 + r;
            b.target[c][r].home = QPoint(-c - 1, 0x01020304 + r);
            b.current[c][r].number = -2000 - c * 10 - r;
            b.current[c][r].home = QPoint(c * 7, r * 11);
        }
}

} // namespace

class TestTileGrid : public QObject
{
    Q_OBJECT

private slots:
    void newBodyIsZero();
    void initLayout_data() { addEverySplit(); }
    void initLayout();
    void initKeepsEmptyHome();
    void columnShifts_data() { addEverySplit(); }
    void columnShifts();
    void rowShifts_data() { addEverySplit(); }
    void rowShifts();
    void shiftSequenceUndone_data() { addEverySplit(); }
    void shiftSequenceUndone();
    void shiftExamples_data();
    void shiftExamples();
    void shiftOffGridChangesNothing_data();
    void shiftOffGridChangesNothing();
    void emptyCellsInterchangeable();
    void solvedIgnoresHome();
    void findHome_data();
    void findHome();
    void findHomeNoMatchLeavesPosition();
    void cellRects();
    void streamRoundTrip();
    void streamLayout();
    void streamShort();
    void isPlayable_data();
    void isPlayable();
};

void TestTileGrid::newBodyIsZero()
{
    const TileGrid b;
    QCOMPARE(b.rows, 0);
    QCOMPARE(b.cols, 0);
    QCOMPARE(b.extraRow, 0);
    QCOMPARE(b.extraCol, 0);
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            QCOMPARE(b.target[c][r].number, 0);
            QCOMPARE(b.current[c][r].home, QPoint(0, 0));
        }
}

void TestTileGrid::initLayout()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, emptyRow);
    QFETCH(bool, emptyCol);
    TileGrid b;
    b.init(rows, cols, emptyRow, emptyCol);
    QCOMPARE(b.extraRow, emptyRow ? 1 : 0);
    QCOMPARE(b.extraCol, emptyCol ? 1 : 0);
    QCOMPARE(b.totalRows(), rows + (emptyRow ? 1 : 0));
    QCOMPARE(b.totalCols(), cols + (emptyCol ? 1 : 0));
    for (int c = 1; c <= b.totalCols(); ++c)
        for (int r = 1; r <= b.totalRows(); ++r) {
            const Tile &cell = b.current[c - 1][r - 1];
            QVERIFY(sameCell(cell, b.target[c - 1][r - 1]));
            if (c <= cols && r <= rows) {
                QCOMPARE(cell.number, (r - 1) * cols + c);
                QCOMPARE(cell.home, QPoint(c, r));
                QVERIFY(!b.isEmpty(c, r));
            } else {
                QCOMPARE(cell.number, 0);
                QVERIFY(b.isEmpty(c, r));
            }
            QCOMPARE(b.targetNumber(c, r), cell.number);
        }
    QVERIFY(b.isSolved());
    QVERIFY(b.isPlayable());
}

void TestTileGrid::initKeepsEmptyHome()
{
    TileGrid b;
    b.current[2][0].home = QPoint(9, 9);
    b.init(2, 2, false, true);
    QCOMPARE(b.current[2][0].number, 0);
    QCOMPARE(b.current[2][0].home, QPoint(9, 9));
    QCOMPARE(b.target[2][0].home, QPoint(9, 9));

    // A second set-up with a smaller grid leaves the cells it no longer uses alone.
    b.init(4, 4, true, true);
    b.init(2, 2, false, false);
    QCOMPARE(b.current[4][4].number, 0);
    QCOMPARE(b.target[3][3].number, 16);
}

void TestTileGrid::columnShifts()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, emptyRow);
    QFETCH(bool, emptyCol);
    TileGrid b;
    b.init(rows, cols, emptyRow, emptyCol);
    const TileGrid solved = b;
    const int l = b.totalRows();
    for (int c = 1; c <= b.totalCols(); ++c)
        for (int from = 1; from <= l; ++from)
            for (int to = 1; to <= l; ++to) {
                b.shift(QPoint(c, from), QPoint(c, to));
                const int d = ((to - from) % l + l) % l;
                for (int r = 1; r <= l; ++r) {
                    const int dest = (r - 1 + d) % l + 1;
                    QVERIFY(sameCell(b.current[c - 1][dest - 1], solved.current[c - 1][r - 1]));
                }
                // The other columns never move.
                for (int other = 1; other <= b.totalCols(); ++other)
                    if (other != c)
                        QCOMPARE(columnNumbers(b, other), columnNumbers(solved, other));
                QCOMPARE(b.isSolved(), d == 0 || c > cols);
                b.shift(QPoint(c, to), QPoint(c, from));
                QVERIFY(std::memcmp(b.current, solved.current, sizeof(b.current)) == 0);
            }
}

void TestTileGrid::rowShifts()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, emptyRow);
    QFETCH(bool, emptyCol);
    TileGrid b;
    b.init(rows, cols, emptyRow, emptyCol);
    const TileGrid solved = b;
    const int l = b.totalCols();
    for (int r = 1; r <= b.totalRows(); ++r)
        for (int from = 1; from <= l; ++from)
            for (int to = 1; to <= l; ++to) {
                b.shift(QPoint(from, r), QPoint(to, r));
                const int d = ((to - from) % l + l) % l;
                for (int c = 1; c <= l; ++c) {
                    const int dest = (c - 1 + d) % l + 1;
                    QVERIFY(sameCell(b.current[dest - 1][r - 1], solved.current[c - 1][r - 1]));
                }
                for (int other = 1; other <= b.totalRows(); ++other)
                    if (other != r)
                        QCOMPARE(rowNumbers(b, other), rowNumbers(solved, other));
                QCOMPARE(b.isSolved(), d == 0 || r > rows);
                b.shift(QPoint(to, r), QPoint(from, r));
                QVERIFY(std::memcmp(b.current, solved.current, sizeof(b.current)) == 0);
            }
}

void TestTileGrid::shiftSequenceUndone()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, emptyRow);
    QFETCH(bool, emptyCol);
    TileGrid b;
    b.init(rows, cols, emptyRow, emptyCol);
    const TileGrid solved = b;

    // A fixed pseudo-random walk of alternating row and column shifts, then the inverse shifts backwards.
    quint32 seed = quint32(rows * 100 + cols * 10 + (emptyRow ? 2 : 0) + (emptyCol ? 1 : 0));
    auto draw = [&seed](int n) {
        seed = seed * 134775813u + 1u;
        return int((quint64(seed) * quint64(n)) >> 32);
    };
    QList<QPair<QPoint, QPoint>> moves;
    for (int i = 0; i < 40; ++i) {
        QPoint from, to;
        if (i % 2 == 0) {
            const int c = draw(b.totalCols()) + 1;
            from = QPoint(c, draw(b.totalRows()) + 1);
            to = QPoint(c, draw(b.totalRows()) + 1);
        } else {
            const int r = draw(b.totalRows()) + 1;
            from = QPoint(draw(b.totalCols()) + 1, r);
            to = QPoint(draw(b.totalCols()) + 1, r);
        }
        b.shift(from, to);
        moves.append({from, to});
    }
    for (qsizetype i = moves.size() - 1; i >= 0; --i)
        b.shift(moves[i].second, moves[i].first);
    QVERIFY(b.isSolved());
    QVERIFY(std::memcmp(b.current, solved.current, sizeof(b.current)) == 0);
}

void TestTileGrid::shiftExamples_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("line"); // column number when positive, row number when negative
    QTest::addColumn<QString>("numbers");

    // The cell from row 1 lands in row 3, row 2 in row 4, rows 3 and 4 wrap to rows 1 and 2.
    QTest::newRow("column of 4, row 1 to row 3") << 4 << 2 << QPoint(1, 1) << QPoint(1, 3) << 1 << "5 7 1 3";
    // Two steps left is one step right.
    QTest::newRow("row of 3, column 3 to column 1") << 2 << 3 << QPoint(3, 2) << QPoint(1, 2) << -2 << "6 4 5";
    QTest::newRow("row of 3, column 1 to column 3") << 2 << 3 << QPoint(1, 2) << QPoint(3, 2) << -2 << "5 6 4";
    QTest::newRow("different line") << 2 << 2 << QPoint(1, 1) << QPoint(2, 2) << 1 << "1 3";
    QTest::newRow("same cell") << 3 << 3 << QPoint(2, 2) << QPoint(2, 2) << -2 << "4 5 6";
}

void TestTileGrid::shiftExamples()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, line);
    QFETCH(QString, numbers);
    TileGrid b;
    b.init(rows, cols, false, false);
    b.shift(from, to);
    QCOMPARE(line > 0 ? columnNumbers(b, line) : rowNumbers(b, -line), numbers);
}

void TestTileGrid::shiftOffGridChangesNothing_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("past the last column") << QPoint(1, 1) << QPoint(4, 1);
    QTest::newRow("column 0") << QPoint(2, 1) << QPoint(0, 1);
    QTest::newRow("past the last row") << QPoint(2, 1) << QPoint(2, 3);
    QTest::newRow("row 0") << QPoint(1, 2) << QPoint(1, 0);
    QTest::newRow("from off the grid") << QPoint(1, 7) << QPoint(1, 1);
}

void TestTileGrid::shiftOffGridChangesNothing()
{
    // The pointer can be released outside the picture; such a target must neither hang nor move anything.
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    TileGrid b;
    b.init(2, 3, false, false);
    const TileGrid before = b;
    b.shift(from, to);
    QVERIFY(std::memcmp(b.current, before.current, sizeof(b.current)) == 0);
}

void TestTileGrid::emptyCellsInterchangeable()
{
    TileGrid b;
    b.init(2, 2, true, true);
    // The empty row's two left cells trade places; the corner cell is empty too.
    b.shift(QPoint(1, 3), QPoint(3, 3));
    QVERIFY(b.isSolved());
    b.shift(QPoint(3, 1), QPoint(3, 3));
    QVERIFY(b.isSolved());
    b.shift(QPoint(1, 1), QPoint(1, 2));
    QVERIFY(!b.isSolved());
}

void TestTileGrid::solvedIgnoresHome()
{
    TileGrid b;
    b.init(3, 3, false, false);
    b.current[1][1].home = QPoint(3, 3);
    QVERIFY(b.isSolved());
}

void TestTileGrid::findHome_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("emptyRow");
    QTest::addColumn<bool>("emptyCol");
    QTest::addColumn<QPoint>("from"); // shifted from here ...
    QTest::addColumn<QPoint>("to");   // ... to here before asking
    QTest::addColumn<QPoint>("p");
    QTest::addColumn<QPoint>("home");

    QTest::newRow("number 5 in 2 columns") << 3 << 2 << false << false << QPoint(1, 3) << QPoint(1, 1)
                                           << QPoint(1, 1) << QPoint(1, 3);
    QTest::newRow("cell at home") << 3 << 3 << false << false << QPoint(1, 1) << QPoint(1, 1) << QPoint(2, 3)
                                  << QPoint(2, 3);
    QTest::newRow("moved along a row") << 2 << 4 << false << false << QPoint(1, 2) << QPoint(3, 2)
                                       << QPoint(3, 2) << QPoint(1, 2);
    QTest::newRow("empty column only: its top") << 3 << 3 << false << true << QPoint(1, 1) << QPoint(1, 1)
                                                << QPoint(4, 3) << QPoint(4, 1);
    QTest::newRow("empty row: bottom of column 1") << 3 << 3 << true << false << QPoint(1, 1) << QPoint(1, 1)
                                                   << QPoint(3, 4) << QPoint(1, 4);
    QTest::newRow("both: bottom of column 1") << 2 << 2 << true << true << QPoint(1, 1) << QPoint(1, 1)
                                              << QPoint(3, 1) << QPoint(1, 3);
    QTest::newRow("empty cell carried into the picture")
        << 2 << 2 << false << true << QPoint(3, 2) << QPoint(1, 2) << QPoint(1, 2) << QPoint(3, 1);
}

void TestTileGrid::findHome()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, emptyRow);
    QFETCH(bool, emptyCol);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QPoint, p);
    QFETCH(QPoint, home);
    TileGrid b;
    b.init(rows, cols, emptyRow, emptyCol);
    b.shift(from, to);
    QPoint found(-1, -1);
    b.findHome(p, found);
    QCOMPARE(found, home);
}

void TestTileGrid::findHomeNoMatchLeavesPosition()
{
    TileGrid b;
    b.init(2, 2, false, false);
    b.current[0][0].number = 17;
    QPoint found(5, 6);
    b.findHome(QPoint(1, 1), found);
    QCOMPARE(found, QPoint(5, 6));
}

void TestTileGrid::cellRects()
{
    TileGrid b;
    b.init(2, 3, false, false);
    b.shift(QPoint(1, 2), QPoint(3, 2)); // row 2 now holds 5 6 4
    QRect r;
    b.currentCellRect(1, 2, 100, 80, r);
    QCOMPARE(r, QRect(100, 80, 100, 80));
    b.targetCellRect(1, 2, 100, 80, r);
    QCOMPARE(r, QRect(0, 80, 100, 80));
    b.currentCellRect(3, 2, 7, 9, r);
    QCOMPARE(r, QRect(0, 9, 7, 9));
}

void TestTileGrid::streamRoundTrip()
{
    TileGrid b;
    fillPattern(b);
    b.rows = 3;
    b.cols = 4;
    b.extraRow = 1;
    b.extraCol = 0;
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    b.saveToStream(buffer);
    QCOMPARE(buffer.size(), qint64(880));

    buffer.seek(0);
    TileGrid loaded;
    QVERIFY(loaded.loadFromStream(buffer));
    QCOMPARE(loaded.rows, 3);
    QCOMPARE(loaded.cols, 4);
    QCOMPARE(loaded.extraRow, 1);
    QCOMPARE(loaded.extraCol, 0);
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            QVERIFY(sameCell(loaded.target[c][r], b.target[c][r]));
            QVERIFY(sameCell(loaded.current[c][r], b.current[c][r]));
        }

    QBuffer again;
    again.open(QIODevice::WriteOnly);
    loaded.saveToStream(again);
    QCOMPARE(again.data(), buffer.data());
}

void TestTileGrid::streamLayout()
{
    TileGrid b;
    b.init(2, 3, false, true);
    b.shift(QPoint(1, 1), QPoint(2, 1)); // row 1: empty, 1, 2
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    b.saveToStream(buffer);
    const QByteArray d = buffer.data();
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
}

void TestTileGrid::streamShort()
{
    TileGrid b;
    b.init(2, 2, false, false);
    QBuffer whole;
    whole.open(QIODevice::WriteOnly);
    b.saveToStream(whole);
    QByteArray cut = whole.data();
    cut.chop(1);
    QBuffer buffer(&cut);
    buffer.open(QIODevice::ReadOnly);

    TileGrid loaded;
    loaded.init(4, 4, true, true);
    const TileGrid before = loaded;
    QVERIFY(!loaded.loadFromStream(buffer));
    QCOMPARE(loaded.rows, 4);
    QVERIFY(std::memcmp(loaded.target, before.target, sizeof(loaded.target)) == 0);
}

void TestTileGrid::isPlayable_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<bool>("playable");
    QTest::newRow("good, solved") << 0 << true;
    QTest::newRow("good, tangled with empty lines") << 1 << true;
    QTest::newRow("rows 1") << 2 << false;
    QTest::newRow("rows 5") << 3 << false;
    QTest::newRow("cols 1") << 4 << false;
    QTest::newRow("extra row 2") << 5 << false;
    QTest::newRow("extra column -1") << 6 << false;
    QTest::newRow("target number wrong") << 7 << false;
    QTest::newRow("target home wrong") << 8 << false;
    QTest::newRow("target empty cell holds a piece") << 9 << false;
    QTest::newRow("current not a permutation") << 10 << false;
    QTest::newRow("duplicated cell") << 11 << false;
    QTest::newRow("current home wrong") << 12 << false;
    QTest::newRow("current piece lost to an empty cell") << 13 << false;
    QTest::newRow("garbage outside the used region") << 14 << true;
    QTest::newRow("home of an empty cell ignored") << 15 << true;
    QTest::newRow("all zero") << 16 << false;
}

void TestTileGrid::isPlayable()
{
    QFETCH(int, variant);
    QFETCH(bool, playable);
    TileGrid b;
    b.init(3, 3, variant == 1, variant == 1);
    if (variant == 1) {
        b.shift(QPoint(1, 1), QPoint(1, 3));
        b.shift(QPoint(1, 2), QPoint(4, 2));
    }
    switch (variant) {
    case 2: b.rows = 1; break;
    case 3: b.rows = 5; break;
    case 4: b.cols = 1; break;
    case 5: b.extraRow = 2; break;
    case 6: b.extraCol = -1; break;
    case 7: b.target[1][0].number = 3; break;
    case 8: b.target[1][0].home = QPoint(1, 1); break;
    case 9:
        b.init(3, 3, false, true);
        b.target[3][1].number = 4;
        break;
    case 10: b.current[2][2].number = 10; break;
    case 11: b.current[0][0] = b.current[1][0]; break;
    case 12: b.current[0][0].home = QPoint(2, 1); break;
    case 13:
        b.init(3, 3, false, true);
        b.current[0][0].number = 0;
        break;
    case 14:
        b.target[5][5].number = 99;
        b.current[4][0].number = -3;
        b.current[0][4].home = QPoint(7, 7);
        break;
    case 15:
        b.init(2, 2, true, true);
        b.target[2][2].home = QPoint(-5, 40);
        b.current[2][0].home = QPoint(8, 8);
        break;
    case 16: b = TileGrid(); break;
    default: break;
    }
    QCOMPARE(b.isPlayable(), playable);
}

QTEST_GUILESS_MAIN(TestTileGrid)
#include "TestTileGrid.moc"
