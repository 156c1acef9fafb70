// Tests of the arrangement grid: layouts, rotations, the solved test, homes and the stored image.
#include "TBody.h"

#include <QBuffer>
#include <QtTest>

#include <cstring>

namespace {

// Every split the program offers, with and without the empty row and column.
void AddEverySplit()
{
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    QTest::addColumn<bool>("EmptyRow");
    QTest::addColumn<bool>("EmptyCol");
    for (int Rows = 2; Rows <= 4; ++Rows)
        for (int Cols = 2; Cols <= 4; ++Cols)
            for (int Extra = 0; Extra < 4; ++Extra) {
                const bool EmptyRow = Extra & 1;
                const bool EmptyCol = Extra & 2;
                QTest::addRow("%dx%d%s%s", Rows, Cols, EmptyRow ? " +row" : "", EmptyCol ? " +col" : "")
                    << Rows << Cols << EmptyRow << EmptyCol;
            }
}

// The numbers of one line, in order, as a compact string for comparisons.
QString ColumnNumbers(const TBody &B, int c)
{
    QStringList L;
    for (int r = 1; r <= B.TotalRows(); ++r)
        L << QString::number(B.Current[c - 1][r - 1].Number);
    return L.join(' ');
}

QString RowNumbers(const TBody &B, int r)
{
    QStringList L;
    for (int c = 1; c <= B.TotalCols(); ++c)
        L << QString::number(B.Current[c - 1][r - 1].Number);
    return L.join(' ');
}

bool SameCell(const TCell &A, const TCell &B)
{
    return A.Number == B.Number && A.Home == B.Home;
}

// Fills both arrangements, the unused region included, with values that differ from cell to cell.
void FillPattern(TBody &B)
{
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            B.Target[c][r].Number = 1000 + c * 10 + r;
            B.Target[c][r].Home = QPoint(-c - 1, 0x01020304 + r);
            B.Current[c][r].Number = -2000 - c * 10 - r;
            B.Current[c][r].Home = QPoint(c * 7, r * 11);
        }
}

} // namespace

class TestTBody : public QObject
{
    Q_OBJECT

private slots:
    void newBodyIsZero();
    void initLayout_data() { AddEverySplit(); }
    void initLayout();
    void initKeepsEmptyHome();
    void columnShifts_data() { AddEverySplit(); }
    void columnShifts();
    void rowShifts_data() { AddEverySplit(); }
    void rowShifts();
    void shiftSequenceUndone_data() { AddEverySplit(); }
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

void TestTBody::newBodyIsZero()
{
    const TBody B;
    QCOMPARE(B.Rows, 0);
    QCOMPARE(B.Cols, 0);
    QCOMPARE(B.ExtraRow, 0);
    QCOMPARE(B.ExtraCol, 0);
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            QCOMPARE(B.Target[c][r].Number, 0);
            QCOMPARE(B.Current[c][r].Home, QPoint(0, 0));
        }
}

void TestTBody::initLayout()
{
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(bool, EmptyRow);
    QFETCH(bool, EmptyCol);
    TBody B;
    B.Init(Rows, Cols, EmptyRow, EmptyCol);
    QCOMPARE(B.ExtraRow, EmptyRow ? 1 : 0);
    QCOMPARE(B.ExtraCol, EmptyCol ? 1 : 0);
    QCOMPARE(B.TotalRows(), Rows + (EmptyRow ? 1 : 0));
    QCOMPARE(B.TotalCols(), Cols + (EmptyCol ? 1 : 0));
    for (int c = 1; c <= B.TotalCols(); ++c)
        for (int r = 1; r <= B.TotalRows(); ++r) {
            const TCell &Cell = B.Current[c - 1][r - 1];
            QVERIFY(SameCell(Cell, B.Target[c - 1][r - 1]));
            if (c <= Cols && r <= Rows) {
                QCOMPARE(Cell.Number, (r - 1) * Cols + c);
                QCOMPARE(Cell.Home, QPoint(c, r));
                QVERIFY(!B.IsEmpty(c, r));
            } else {
                QCOMPARE(Cell.Number, 0);
                QVERIFY(B.IsEmpty(c, r));
            }
            QCOMPARE(B.TargetNumber(c, r), Cell.Number);
        }
    QVERIFY(B.IsSolved());
    QVERIFY(B.IsPlayable());
}

void TestTBody::initKeepsEmptyHome()
{
    TBody B;
    B.Current[2][0].Home = QPoint(9, 9);
    B.Init(2, 2, false, true);
    QCOMPARE(B.Current[2][0].Number, 0);
    QCOMPARE(B.Current[2][0].Home, QPoint(9, 9));
    QCOMPARE(B.Target[2][0].Home, QPoint(9, 9));

    // A second set-up with a smaller grid leaves the cells it no longer uses alone.
    B.Init(4, 4, true, true);
    B.Init(2, 2, false, false);
    QCOMPARE(B.Current[4][4].Number, 0);
    QCOMPARE(B.Target[3][3].Number, 16);
}

void TestTBody::columnShifts()
{
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(bool, EmptyRow);
    QFETCH(bool, EmptyCol);
    TBody B;
    B.Init(Rows, Cols, EmptyRow, EmptyCol);
    const TBody Solved = B;
    const int L = B.TotalRows();
    for (int c = 1; c <= B.TotalCols(); ++c)
        for (int From = 1; From <= L; ++From)
            for (int To = 1; To <= L; ++To) {
                B.Shift(QPoint(c, From), QPoint(c, To));
                const int d = ((To - From) % L + L) % L;
                for (int r = 1; r <= L; ++r) {
                    const int Dest = (r - 1 + d) % L + 1;
                    QVERIFY(SameCell(B.Current[c - 1][Dest - 1], Solved.Current[c - 1][r - 1]));
                }
                // The other columns never move.
                for (int Other = 1; Other <= B.TotalCols(); ++Other)
                    if (Other != c)
                        QCOMPARE(ColumnNumbers(B, Other), ColumnNumbers(Solved, Other));
                QCOMPARE(B.IsSolved(), d == 0 || c > Cols);
                B.Shift(QPoint(c, To), QPoint(c, From));
                QVERIFY(std::memcmp(B.Current, Solved.Current, sizeof(B.Current)) == 0);
            }
}

void TestTBody::rowShifts()
{
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(bool, EmptyRow);
    QFETCH(bool, EmptyCol);
    TBody B;
    B.Init(Rows, Cols, EmptyRow, EmptyCol);
    const TBody Solved = B;
    const int L = B.TotalCols();
    for (int r = 1; r <= B.TotalRows(); ++r)
        for (int From = 1; From <= L; ++From)
            for (int To = 1; To <= L; ++To) {
                B.Shift(QPoint(From, r), QPoint(To, r));
                const int d = ((To - From) % L + L) % L;
                for (int c = 1; c <= L; ++c) {
                    const int Dest = (c - 1 + d) % L + 1;
                    QVERIFY(SameCell(B.Current[Dest - 1][r - 1], Solved.Current[c - 1][r - 1]));
                }
                for (int Other = 1; Other <= B.TotalRows(); ++Other)
                    if (Other != r)
                        QCOMPARE(RowNumbers(B, Other), RowNumbers(Solved, Other));
                QCOMPARE(B.IsSolved(), d == 0 || r > Rows);
                B.Shift(QPoint(To, r), QPoint(From, r));
                QVERIFY(std::memcmp(B.Current, Solved.Current, sizeof(B.Current)) == 0);
            }
}

void TestTBody::shiftSequenceUndone()
{
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(bool, EmptyRow);
    QFETCH(bool, EmptyCol);
    TBody B;
    B.Init(Rows, Cols, EmptyRow, EmptyCol);
    const TBody Solved = B;

    // A fixed pseudo-random walk of alternating row and column shifts, then the inverse shifts backwards.
    quint32 Seed = quint32(Rows * 100 + Cols * 10 + (EmptyRow ? 2 : 0) + (EmptyCol ? 1 : 0));
    auto Draw = [&Seed](int N) {
        Seed = Seed * 134775813u + 1u;
        return int((quint64(Seed) * quint64(N)) >> 32);
    };
    QList<QPair<QPoint, QPoint>> Moves;
    for (int i = 0; i < 40; ++i) {
        QPoint From, To;
        if (i % 2 == 0) {
            const int c = Draw(B.TotalCols()) + 1;
            From = QPoint(c, Draw(B.TotalRows()) + 1);
            To = QPoint(c, Draw(B.TotalRows()) + 1);
        } else {
            const int r = Draw(B.TotalRows()) + 1;
            From = QPoint(Draw(B.TotalCols()) + 1, r);
            To = QPoint(Draw(B.TotalCols()) + 1, r);
        }
        B.Shift(From, To);
        Moves.append({From, To});
    }
    for (qsizetype i = Moves.size() - 1; i >= 0; --i)
        B.Shift(Moves[i].second, Moves[i].first);
    QVERIFY(B.IsSolved());
    QVERIFY(std::memcmp(B.Current, Solved.Current, sizeof(B.Current)) == 0);
}

void TestTBody::shiftExamples_data()
{
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    QTest::addColumn<QPoint>("From");
    QTest::addColumn<QPoint>("To");
    QTest::addColumn<int>("Line"); // column number when positive, row number when negative
    QTest::addColumn<QString>("Numbers");

    // The cell from row 1 lands in row 3, row 2 in row 4, rows 3 and 4 wrap to rows 1 and 2.
    QTest::newRow("column of 4, row 1 to row 3") << 4 << 2 << QPoint(1, 1) << QPoint(1, 3) << 1 << "5 7 1 3";
    // Two steps left is one step right.
    QTest::newRow("row of 3, column 3 to column 1") << 2 << 3 << QPoint(3, 2) << QPoint(1, 2) << -2 << "6 4 5";
    QTest::newRow("row of 3, column 1 to column 3") << 2 << 3 << QPoint(1, 2) << QPoint(3, 2) << -2 << "5 6 4";
    QTest::newRow("different line") << 2 << 2 << QPoint(1, 1) << QPoint(2, 2) << 1 << "1 3";
    QTest::newRow("same cell") << 3 << 3 << QPoint(2, 2) << QPoint(2, 2) << -2 << "4 5 6";
}

void TestTBody::shiftExamples()
{
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(QPoint, From);
    QFETCH(QPoint, To);
    QFETCH(int, Line);
    QFETCH(QString, Numbers);
    TBody B;
    B.Init(Rows, Cols, false, false);
    B.Shift(From, To);
    QCOMPARE(Line > 0 ? ColumnNumbers(B, Line) : RowNumbers(B, -Line), Numbers);
}

void TestTBody::shiftOffGridChangesNothing_data()
{
    QTest::addColumn<QPoint>("From");
    QTest::addColumn<QPoint>("To");
    QTest::newRow("past the last column") << QPoint(1, 1) << QPoint(4, 1);
    QTest::newRow("column 0") << QPoint(2, 1) << QPoint(0, 1);
    QTest::newRow("past the last row") << QPoint(2, 1) << QPoint(2, 3);
    QTest::newRow("row 0") << QPoint(1, 2) << QPoint(1, 0);
    QTest::newRow("from off the grid") << QPoint(1, 7) << QPoint(1, 1);
}

void TestTBody::shiftOffGridChangesNothing()
{
    // The pointer can be released outside the picture; such a target must neither hang nor move anything.
    QFETCH(QPoint, From);
    QFETCH(QPoint, To);
    TBody B;
    B.Init(2, 3, false, false);
    const TBody Before = B;
    B.Shift(From, To);
    QVERIFY(std::memcmp(B.Current, Before.Current, sizeof(B.Current)) == 0);
}

void TestTBody::emptyCellsInterchangeable()
{
    TBody B;
    B.Init(2, 2, true, true);
    // The empty row's two left cells trade places; the corner cell is empty too.
    B.Shift(QPoint(1, 3), QPoint(3, 3));
    QVERIFY(B.IsSolved());
    B.Shift(QPoint(3, 1), QPoint(3, 3));
    QVERIFY(B.IsSolved());
    B.Shift(QPoint(1, 1), QPoint(1, 2));
    QVERIFY(!B.IsSolved());
}

void TestTBody::solvedIgnoresHome()
{
    TBody B;
    B.Init(3, 3, false, false);
    B.Current[1][1].Home = QPoint(3, 3);
    QVERIFY(B.IsSolved());
}

void TestTBody::findHome_data()
{
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    QTest::addColumn<bool>("EmptyRow");
    QTest::addColumn<bool>("EmptyCol");
    QTest::addColumn<QPoint>("From"); // shifted from here ...
    QTest::addColumn<QPoint>("To");   // ... to here before asking
    QTest::addColumn<QPoint>("P");
    QTest::addColumn<QPoint>("Home");

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

void TestTBody::findHome()
{
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(bool, EmptyRow);
    QFETCH(bool, EmptyCol);
    QFETCH(QPoint, From);
    QFETCH(QPoint, To);
    QFETCH(QPoint, P);
    QFETCH(QPoint, Home);
    TBody B;
    B.Init(Rows, Cols, EmptyRow, EmptyCol);
    B.Shift(From, To);
    QPoint Found(-1, -1);
    B.FindHome(P, Found);
    QCOMPARE(Found, Home);
}

void TestTBody::findHomeNoMatchLeavesPosition()
{
    TBody B;
    B.Init(2, 2, false, false);
    B.Current[0][0].Number = 17;
    QPoint Found(5, 6);
    B.FindHome(QPoint(1, 1), Found);
    QCOMPARE(Found, QPoint(5, 6));
}

void TestTBody::cellRects()
{
    TBody B;
    B.Init(2, 3, false, false);
    B.Shift(QPoint(1, 2), QPoint(3, 2)); // row 2 now holds 5 6 4
    QRect R;
    B.CurrentCellRect(1, 2, 100, 80, R);
    QCOMPARE(R, QRect(100, 80, 100, 80));
    B.TargetCellRect(1, 2, 100, 80, R);
    QCOMPARE(R, QRect(0, 80, 100, 80));
    B.CurrentCellRect(3, 2, 7, 9, R);
    QCOMPARE(R, QRect(0, 9, 7, 9));
}

void TestTBody::streamRoundTrip()
{
    TBody B;
    FillPattern(B);
    B.Rows = 3;
    B.Cols = 4;
    B.ExtraRow = 1;
    B.ExtraCol = 0;
    QBuffer Buffer;
    Buffer.open(QIODevice::ReadWrite);
    B.SaveToStream(Buffer);
    QCOMPARE(Buffer.size(), qint64(880));

    Buffer.seek(0);
    TBody Loaded;
    QVERIFY(Loaded.LoadFromStream(Buffer));
    QCOMPARE(Loaded.Rows, 3);
    QCOMPARE(Loaded.Cols, 4);
    QCOMPARE(Loaded.ExtraRow, 1);
    QCOMPARE(Loaded.ExtraCol, 0);
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            QVERIFY(SameCell(Loaded.Target[c][r], B.Target[c][r]));
            QVERIFY(SameCell(Loaded.Current[c][r], B.Current[c][r]));
        }

    QBuffer Again;
    Again.open(QIODevice::WriteOnly);
    Loaded.SaveToStream(Again);
    QCOMPARE(Again.data(), Buffer.data());
}

void TestTBody::streamLayout()
{
    TBody B;
    B.Init(2, 3, false, true);
    B.Shift(QPoint(1, 1), QPoint(2, 1)); // row 1: empty, 1, 2
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    B.SaveToStream(Buffer);
    const QByteArray D = Buffer.data();
    auto IntAt = [&D](int Offset) { return qFromLittleEndian<qint32>(D.constData() + Offset); };
    QCOMPARE(IntAt(0), 2);
    QCOMPARE(IntAt(4), 3);
    QCOMPARE(IntAt(8), 0);
    QCOMPARE(IntAt(12), 1);
    QCOMPARE(D.mid(0, 4), QByteArray("\x02\x00\x00\x00", 4));
    // Target column 1, row 2 is number 4 at home (1, 2); column 2 starts six records later.
    QCOMPARE(IntAt(16 + 12), 4);
    QCOMPARE(IntAt(16 + 12 + 4), 1);
    QCOMPARE(IntAt(16 + 12 + 8), 2);
    QCOMPARE(IntAt(16 + 6 * 12), 2);
    // Current follows Target: column 2, row 1 now holds number 1.
    QCOMPARE(IntAt(16 + 432 + 6 * 12), 1);
    QCOMPARE(IntAt(16 + 432), 0);
}

void TestTBody::streamShort()
{
    TBody B;
    B.Init(2, 2, false, false);
    QBuffer Whole;
    Whole.open(QIODevice::WriteOnly);
    B.SaveToStream(Whole);
    QByteArray Cut = Whole.data();
    Cut.chop(1);
    QBuffer Buffer(&Cut);
    Buffer.open(QIODevice::ReadOnly);

    TBody Loaded;
    Loaded.Init(4, 4, true, true);
    const TBody Before = Loaded;
    QVERIFY(!Loaded.LoadFromStream(Buffer));
    QCOMPARE(Loaded.Rows, 4);
    QVERIFY(std::memcmp(Loaded.Target, Before.Target, sizeof(Loaded.Target)) == 0);
}

void TestTBody::isPlayable_data()
{
    QTest::addColumn<int>("Case");
    QTest::addColumn<bool>("Playable");
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

void TestTBody::isPlayable()
{
    QFETCH(int, Case);
    QFETCH(bool, Playable);
    TBody B;
    B.Init(3, 3, Case == 1, Case == 1);
    if (Case == 1) {
        B.Shift(QPoint(1, 1), QPoint(1, 3));
        B.Shift(QPoint(1, 2), QPoint(4, 2));
    }
    switch (Case) {
    case 2: B.Rows = 1; break;
    case 3: B.Rows = 5; break;
    case 4: B.Cols = 1; break;
    case 5: B.ExtraRow = 2; break;
    case 6: B.ExtraCol = -1; break;
    case 7: B.Target[1][0].Number = 3; break;
    case 8: B.Target[1][0].Home = QPoint(1, 1); break;
    case 9:
        B.Init(3, 3, false, true);
        B.Target[3][1].Number = 4;
        break;
    case 10: B.Current[2][2].Number = 10; break;
    case 11: B.Current[0][0] = B.Current[1][0]; break;
    case 12: B.Current[0][0].Home = QPoint(2, 1); break;
    case 13:
        B.Init(3, 3, false, true);
        B.Current[0][0].Number = 0;
        break;
    case 14:
        B.Target[5][5].Number = 99;
        B.Current[4][0].Number = -3;
        B.Current[0][4].Home = QPoint(7, 7);
        break;
    case 15:
        B.Init(2, 2, true, true);
        B.Target[2][2].Home = QPoint(-5, 40);
        B.Current[2][0].Home = QPoint(8, 8);
        break;
    case 16: B = TBody(); break;
    default: break;
    }
    QCOMPARE(B.IsPlayable(), Playable);
}

QTEST_GUILESS_MAIN(TestTBody)
#include "TestTBody.moc"
