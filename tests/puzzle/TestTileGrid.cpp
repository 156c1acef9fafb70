// Tests of the arrangement grid: layouts, rotations, the solved test, homes and the stored record's check.
#include "core/TileGrid.h"

#include <QtTest>

Q_DECLARE_METATYPE(CellPos)

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
        l << QString::number(b.tileAt(CellPos(c, r)).number);
    return l.join(' ');
}

QString rowNumbers(const TileGrid &b, int r)
{
    QStringList l;
    for (int c = 1; c <= b.totalColumns(); ++c)
        l << QString::number(b.tileAt(CellPos(c, r)).number);
    return l.join(' ');
}

bool sameCell(const Tile &a, const Tile &b)
{
    return a.number == b.number && a.home == b.home;
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
    void initTakesOfferedSizes_data();
    void initTakesOfferedSizes();
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
    void findHomeNoMatchIsNone();
    void homesAfterAShift();
    void isPlayable_data();
    void isPlayable();
};

void TestTileGrid::newBodyIsZero()
{
    const TileGrid b;
    QCOMPARE(b.rows(), 0);
    QCOMPARE(b.columns(), 0);
    QVERIFY(!b.hasEmptyRow());
    QVERIFY(!b.hasEmptyColumn());
    const TileGrid::Record &g = b.record();
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            QCOMPARE(g.target[c][r].number, 0);
            QCOMPARE(g.current[c][r].home, CellPos(0, 0));
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
    QCOMPARE(b.hasEmptyRow(), emptyRow);
    QCOMPARE(b.hasEmptyColumn(), emptyCol);
    QCOMPARE(b.totalRows(), rows + (emptyRow ? 1 : 0));
    QCOMPARE(b.totalColumns(), cols + (emptyCol ? 1 : 0));
    for (int c = 1; c <= b.totalColumns(); ++c)
        for (int r = 1; r <= b.totalRows(); ++r) {
            const Tile &cell = b.tileAt(CellPos(c, r));
            QVERIFY(sameCell(cell, b.targetAt(CellPos(c, r))));
            if (c <= cols && r <= rows) {
                QCOMPARE(cell.number, (r - 1) * cols + c);
                QCOMPARE(cell.home, CellPos(c, r));
                QVERIFY(!b.isEmpty(CellPos(c, r)));
            } else {
                QCOMPARE(cell.number, 0);
                QVERIFY(b.isEmpty(CellPos(c, r)));
            }
            QCOMPARE(b.targetAt(CellPos(c, r)).number, cell.number);
        }
    QVERIFY(b.isSolved());
    QVERIFY(b.record().isPlayable());
}

void TestTileGrid::initKeepsEmptyHome()
{
    // Column 3 of row 1 holds the piece from column 2 (home (2, 1)) when the smaller grid is set up over it.
    TileGrid b;
    b.init(4, 4, false, false);
    b.shift(CellPos(2, 1), CellPos(3, 1));
    QCOMPARE(b.tileAt(CellPos(3, 1)).home, CellPos(2, 1));
    b.init(2, 2, false, true);
    QCOMPARE(b.record().current[2][0].number, 0);
    QCOMPARE(b.record().current[2][0].home, CellPos(2, 1));
    QCOMPARE(b.record().target[2][0].home, CellPos(2, 1));

    // A second set-up with a smaller grid leaves the cells it no longer uses alone.
    b.init(4, 4, true, true);
    b.init(2, 2, false, false);
    QCOMPARE(b.record().current[4][4].number, 0);
    QCOMPARE(b.record().target[3][3].number, 16);
}

void TestTileGrid::initTakesOfferedSizes_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("takenRows");
    QTest::addColumn<int>("takenCols");
    QTest::newRow("too many for the cells") << 9 << 7 << 4 << 4;
    QTest::newRow("five") << 5 << 3 << 4 << 3;
    QTest::newRow("one") << 1 << 2 << 2 << 2;
    QTest::newRow("negative") << -3 << 0 << 2 << 2;
}

void TestTileGrid::initTakesOfferedSizes()
{
    // A size the program does not offer would make a grid no file can hold, or write past the cells.
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(int, takenRows);
    QFETCH(int, takenCols);
    TileGrid b;
    b.init(rows, cols, true, true);
    QCOMPARE(b.rows(), takenRows);
    QCOMPARE(b.columns(), takenCols);
    QVERIFY(b.record().isPlayable());
    QVERIFY(b.isSolved());
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
    for (int c = 1; c <= b.totalColumns(); ++c)
        for (int from = 1; from <= l; ++from)
            for (int to = 1; to <= l; ++to) {
                b.shift(CellPos(c, from), CellPos(c, to));
                const int d = ((to - from) % l + l) % l;
                for (int r = 1; r <= l; ++r) {
                    const int dest = (r - 1 + d) % l + 1;
                    QVERIFY(sameCell(b.tileAt(CellPos(c, dest)), solved.tileAt(CellPos(c, r))));
                }
                // The other columns never move.
                for (int other = 1; other <= b.totalColumns(); ++other)
                    if (other != c)
                        QCOMPARE(columnNumbers(b, other), columnNumbers(solved, other));
                QCOMPARE(b.isSolved(), d == 0 || c > cols);
                b.shift(CellPos(c, to), CellPos(c, from));
                QVERIFY(b.record() == solved.record());
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
    const int l = b.totalColumns();
    for (int r = 1; r <= b.totalRows(); ++r)
        for (int from = 1; from <= l; ++from)
            for (int to = 1; to <= l; ++to) {
                b.shift(CellPos(from, r), CellPos(to, r));
                const int d = ((to - from) % l + l) % l;
                for (int c = 1; c <= l; ++c) {
                    const int dest = (c - 1 + d) % l + 1;
                    QVERIFY(sameCell(b.tileAt(CellPos(dest, r)), solved.tileAt(CellPos(c, r))));
                }
                for (int other = 1; other <= b.totalRows(); ++other)
                    if (other != r)
                        QCOMPARE(rowNumbers(b, other), rowNumbers(solved, other));
                QCOMPARE(b.isSolved(), d == 0 || r > rows);
                b.shift(CellPos(to, r), CellPos(from, r));
                QVERIFY(b.record() == solved.record());
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
    QList<QPair<CellPos, CellPos>> moves;
    for (int i = 0; i < 40; ++i) {
        CellPos from, to;
        if (i % 2 == 0) {
            const int c = draw(b.totalColumns()) + 1;
            from = CellPos(c, draw(b.totalRows()) + 1);
            to = CellPos(c, draw(b.totalRows()) + 1);
        } else {
            const int r = draw(b.totalRows()) + 1;
            from = CellPos(draw(b.totalColumns()) + 1, r);
            to = CellPos(draw(b.totalColumns()) + 1, r);
        }
        b.shift(from, to);
        moves.append({from, to});
    }
    for (qsizetype i = moves.size() - 1; i >= 0; --i)
        b.shift(moves[i].second, moves[i].first);
    QVERIFY(b.isSolved());
    QVERIFY(b.record() == solved.record());
}

void TestTileGrid::shiftExamples_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<CellPos>("from");
    QTest::addColumn<CellPos>("to");
    QTest::addColumn<int>("line"); // column number when positive, row number when negative
    QTest::addColumn<QString>("numbers");

    // The cell from row 1 lands in row 3, row 2 in row 4, rows 3 and 4 wrap to rows 1 and 2.
    QTest::newRow("column of 4, row 1 to row 3") << 4 << 2 << CellPos(1, 1) << CellPos(1, 3) << 1 << "5 7 1 3";
    // Two steps left is one step right.
    QTest::newRow("row of 3, column 3 to column 1") << 2 << 3 << CellPos(3, 2) << CellPos(1, 2) << -2 << "6 4 5";
    QTest::newRow("row of 3, column 1 to column 3") << 2 << 3 << CellPos(1, 2) << CellPos(3, 2) << -2 << "5 6 4";
    QTest::newRow("different line") << 2 << 2 << CellPos(1, 1) << CellPos(2, 2) << 1 << "1 3";
    QTest::newRow("same cell") << 3 << 3 << CellPos(2, 2) << CellPos(2, 2) << -2 << "4 5 6";
}

void TestTileGrid::shiftExamples()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(CellPos, from);
    QFETCH(CellPos, to);
    QFETCH(int, line);
    QFETCH(QString, numbers);
    TileGrid b;
    b.init(rows, cols, false, false);
    b.shift(from, to);
    QCOMPARE(line > 0 ? columnNumbers(b, line) : rowNumbers(b, -line), numbers);
}

void TestTileGrid::shiftOffGridChangesNothing_data()
{
    QTest::addColumn<CellPos>("from");
    QTest::addColumn<CellPos>("to");
    QTest::newRow("past the last column") << CellPos(1, 1) << CellPos(4, 1);
    QTest::newRow("column 0") << CellPos(2, 1) << CellPos(0, 1);
    QTest::newRow("past the last row") << CellPos(2, 1) << CellPos(2, 3);
    QTest::newRow("row 0") << CellPos(1, 2) << CellPos(1, 0);
    QTest::newRow("from off the grid") << CellPos(1, 7) << CellPos(1, 1);
}

void TestTileGrid::shiftOffGridChangesNothing()
{
    // The pointer can be released outside the picture; such a target must neither hang nor move anything.
    QFETCH(CellPos, from);
    QFETCH(CellPos, to);
    TileGrid b;
    b.init(2, 3, false, false);
    const TileGrid before = b;
    b.shift(from, to);
    QVERIFY(b.record() == before.record());
}

void TestTileGrid::emptyCellsInterchangeable()
{
    TileGrid b;
    b.init(2, 2, true, true);
    // The empty row's two left cells trade places; the corner cell is empty too.
    b.shift(CellPos(1, 3), CellPos(3, 3));
    QVERIFY(b.isSolved());
    b.shift(CellPos(3, 1), CellPos(3, 3));
    QVERIFY(b.isSolved());
    b.shift(CellPos(1, 1), CellPos(1, 2));
    QVERIFY(!b.isSolved());
}

void TestTileGrid::solvedIgnoresHome()
{
    // Empty cells keep the homes of an earlier, larger set-up; moving them around changes homes, not numbers.
    TileGrid b;
    b.init(4, 4, false, false);
    b.init(2, 2, true, true);
    b.shift(CellPos(1, 3), CellPos(2, 3));
    QVERIFY(b.tileAt(CellPos(1, 3)).home != b.targetAt(CellPos(1, 3)).home);
    QVERIFY(b.isSolved());
}

void TestTileGrid::findHome_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("emptyRow");
    QTest::addColumn<bool>("emptyCol");
    QTest::addColumn<CellPos>("from"); // shifted from here ...
    QTest::addColumn<CellPos>("to");   // ... to here before asking
    QTest::addColumn<CellPos>("p");
    QTest::addColumn<CellPos>("home");

    QTest::newRow("number 5 in 2 columns")
        << 3 << 2 << false << false << CellPos(1, 3) << CellPos(1, 1) << CellPos(1, 1) << CellPos(1, 3);
    QTest::newRow("cell at home") << 3 << 3 << false << false << CellPos(1, 1) << CellPos(1, 1) << CellPos(2, 3)
                                  << CellPos(2, 3);
    QTest::newRow("moved along a row") << 2 << 4 << false << false << CellPos(1, 2) << CellPos(3, 2) << CellPos(3, 2)
                                       << CellPos(1, 2);
    QTest::newRow("empty column only: its top")
        << 3 << 3 << false << true << CellPos(1, 1) << CellPos(1, 1) << CellPos(4, 3) << CellPos(4, 1);
    QTest::newRow("empty row: bottom of column 1")
        << 3 << 3 << true << false << CellPos(1, 1) << CellPos(1, 1) << CellPos(3, 4) << CellPos(1, 4);
    QTest::newRow("both: bottom of column 1")
        << 2 << 2 << true << true << CellPos(1, 1) << CellPos(1, 1) << CellPos(3, 1) << CellPos(1, 3);
    QTest::newRow("empty cell carried into the picture")
        << 2 << 2 << false << true << CellPos(3, 2) << CellPos(1, 2) << CellPos(1, 2) << CellPos(3, 1);
}

void TestTileGrid::findHome()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, emptyRow);
    QFETCH(bool, emptyCol);
    QFETCH(CellPos, from);
    QFETCH(CellPos, to);
    QFETCH(CellPos, p);
    QFETCH(CellPos, home);
    TileGrid b;
    b.init(rows, cols, emptyRow, emptyCol);
    b.shift(from, to);
    QCOMPARE(b.home(p), std::optional<CellPos>(home));
}

void TestTileGrid::findHomeNoMatchIsNone()
{
    // Past the used region lie numbers no target of a grid without empty cells holds.
    TileGrid b;
    b.init(2, 2, false, false);
    QCOMPARE(b.home(CellPos(3, 1)), std::nullopt);
    QCOMPARE(b.home(CellPos(1, 1)), std::optional<CellPos>(CellPos(1, 1)));
}

void TestTileGrid::homesAfterAShift()
{
    TileGrid b;
    b.init(2, 3, false, false);
    b.shift(CellPos(1, 2), CellPos(3, 2)); // row 2 now holds 5 6 4
    QCOMPARE(b.tileAt(CellPos(1, 2)).home, CellPos(2, 2));
    QCOMPARE(b.targetAt(CellPos(1, 2)).home, CellPos(1, 2));
    QCOMPARE(b.tileAt(CellPos(3, 2)).home, CellPos(1, 2));
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
    TileGrid grid;
    grid.init(3, 3, variant == 1, variant == 1);
    if (variant == 1) {
        grid.shift(CellPos(1, 1), CellPos(1, 3));
        grid.shift(CellPos(1, 2), CellPos(4, 2));
    }
    const auto setUp = [](int rows, int cols, bool emptyRow, bool emptyCol) {
        TileGrid made;
        made.init(rows, cols, emptyRow, emptyCol);
        return made.record();
    };
    TileGrid::Record b = grid.record();
    switch (variant) {
    case 2:
        b.rows = 1;
        break;
    case 3:
        b.rows = 5;
        break;
    case 4:
        b.columns = 1;
        break;
    case 5:
        b.extraRow = 2;
        break;
    case 6:
        b.extraColumn = -1;
        break;
    case 7:
        b.target[1][0].number = 3;
        break;
    case 8:
        b.target[1][0].home = CellPos(1, 1);
        break;
    case 9:
        b = setUp(3, 3, false, true);
        b.target[3][1].number = 4;
        break;
    case 10:
        b.current[2][2].number = 10;
        break;
    case 11:
        b.current[0][0] = b.current[1][0];
        break;
    case 12:
        b.current[0][0].home = CellPos(2, 1);
        break;
    case 13:
        b = setUp(3, 3, false, true);
        b.current[0][0].number = 0;
        break;
    case 14:
        b.target[5][5].number = 99;
        b.current[4][0].number = -3;
        b.current[0][4].home = CellPos(7, 7);
        break;
    case 15:
        b = setUp(2, 2, true, true);
        b.target[2][2].home = CellPos(-5, 40);
        b.current[2][0].home = CellPos(8, 8);
        break;
    case 16:
        b = TileGrid::Record();
        break;
    default:
        break;
    }
    QCOMPARE(b.isPlayable(), playable);
    // Only a playable record becomes a grid, and then exactly as recorded.
    const std::optional<TileGrid> taken = TileGrid::fromRecord(b);
    QCOMPARE(taken.has_value(), playable);
    if (taken)
        QVERIFY(taken->record() == b);
}

QTEST_GUILESS_MAIN(TestTileGrid)
#include "TestTileGrid.moc"
