// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the puzzle object: the tangle, step by step.
#include "PuzzleBench.h"

using namespace quorra;

class TestPuzzleTangle : public QObject
{
    Q_OBJECT

private slots:
    void tangleSteps_data();
    void tangleSteps();
    void tangleEveryStepMoves_data();
    void tangleEveryStepMoves();
    void tangleTwoByTwoNeverSolved();
    void tangleStartsFromSolved();
    void ownerPacedTangleKeepsTheSequence_data();
    void ownerPacedTangleKeepsTheSequence();
};

void TestPuzzleTangle::tangleSteps_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("emptyRow");
    QTest::addColumn<bool>("emptyCol");
    QTest::addColumn<int>("shifts");
    QTest::newRow("2x2") << 2 << 2 << false << false << 3;
    QTest::newRow("3x3") << 3 << 3 << false << false << 5;
    QTest::newRow("4x4") << 4 << 4 << false << false << 7;
    QTest::newRow("4x4 with both") << 4 << 4 << true << true << 9;
    QTest::newRow("2x3 with a column") << 2 << 3 << false << true << 5;
    QTest::newRow("3x2 with a row") << 3 << 2 << true << false << 5;
}

void TestPuzzleTangle::tangleSteps()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, emptyRow);
    QFETCH(bool, emptyCol);
    QFETCH(int, shifts);
    Bench B(240, 240, rows, cols, emptyRow, emptyCol);
    for (quint32 seed : {1u, 77u, 123456789u, 0xFFFFFFFFu}) {
        const TestClock clock(seed);
        int Steps = 0;
        int renders = 0;
        TileGrid Previous = B.puzzle.grid();
        bool counting = true;
        QObject listening; // the connections of this seed end with it
        QObject::connect(&B.puzzle, &Puzzle::displayChanged, &listening, [&](const QRect &changed) {
            if (counting && changed == B.display.rect())
                ++renders;
        });
        QObject::connect(&B.puzzle, &Puzzle::tangleStepped, &listening, [&] {
            ++Steps;
            // Every step is on screen when the window is told about it.
            QImage shown = B.display.copy();
            counting = false;
            B.puzzle.renderAll();
            QCOMPARE(B.display, shown);
            counting = true;
            Previous = B.puzzle.grid();
        });
        B.puzzle.tangle();
        QCOMPARE(Steps, shifts);
        QCOMPARE(renders, shifts + 2); // the rebuild, the solved arrangement, then each step
        QVERIFY(!B.puzzle.isEditMode());
        QVERIFY(!B.puzzle.isSolved());
        QVERIFY(B.puzzle.grid().record().isPlayable());
        QCOMPARE(arrangement(Previous), arrangement(B.puzzle.grid())); // the last step was reported too
    }
}

void TestPuzzleTangle::tangleEveryStepMoves_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("emptyRow");
    QTest::addColumn<bool>("emptyCol");
    QTest::newRow("3x3") << 3 << 3 << false << false;
    QTest::newRow("2x2 with a column") << 2 << 2 << false << true;
    QTest::newRow("4x3 with a column") << 4 << 3 << false << true;
    QTest::newRow("2x4 with a row") << 2 << 4 << true << false;
    QTest::newRow("3x2 with a row") << 3 << 2 << true << false;
}

void TestPuzzleTangle::tangleEveryStepMoves()
{
    // An empty line holds nothing but empty cells until a line across it has moved, so shifting it then would
    // change nothing: until then every step must visibly move one line. A visible step moves exactly one line,
    // never the one the step before moved.
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, emptyRow);
    QFETCH(bool, emptyCol);
    Bench B(120, 120, rows, cols, emptyRow, emptyCol);
    for (quint32 Seed = 1; Seed <= 60; ++Seed) {
        const TestClock clock(Seed * 2654435761u);
        PuzzleProbe(B.puzzle).grid().reset();
        TileGrid Previous = B.puzzle.grid();
        int LastLine = 0; // column number, or minus the row number
        int Step = 0;
        bool acrossMoved = false;
        QObject listening;
        QObject::connect(&B.puzzle, &Puzzle::tangleStepped, &listening, [&] {
            ++Step;
            const QString where = QStringLiteral("seed %1 step %2").arg(Seed).arg(Step);
            const QList<CellPos> moved = changed(Previous, B.puzzle.grid());
            Previous = B.puzzle.grid();
            if (moved.isEmpty()) {
                QVERIFY2(acrossMoved, qPrintable(where));
                LastLine = 0;
                return;
            }
            bool sameColumn = true, sameRow = true;
            for (const CellPos &p : moved) {
                sameColumn = sameColumn && p.x() == moved[0].x();
                sameRow = sameRow && p.y() == moved[0].y();
            }
            QVERIFY2(moved.size() >= 2 && sameColumn != sameRow, qPrintable(where));
            const int line = sameColumn ? moved[0].x() : -moved[0].y();
            QVERIFY2(line != LastLine, qPrintable(where));
            if (!acrossMoved) {
                QVERIFY2(!emptyCol || line != cols + 1, qPrintable(where));
                QVERIFY2(!emptyRow || line != -(rows + 1), qPrintable(where));
            }
            if ((emptyCol && line < 0) || (emptyRow && line > 0))
                acrossMoved = true;
            LastLine = line;
        });
        B.puzzle.tangle();
        QObject::disconnect(&B.puzzle, &Puzzle::tangleStepped, &listening, nullptr);
        QCOMPARE(Step, B.puzzle.grid().totalRows() + B.puzzle.grid().totalColumns() - 1);
    }
}

void TestPuzzleTangle::tangleTwoByTwoNeverSolved()
{
    Bench b(100, 100, 2, 2);
    for (quint32 seed = 0; seed < 300; ++seed) {
        const TestClock clock(seed * 40503u + 7u);
        b.puzzle.tangle();
        QVERIFY2(!b.puzzle.grid().isSolved(), qPrintable(QString::number(seed)));
    }
}

void TestPuzzleTangle::tangleStartsFromSolved()
{
    Bench b(300, 300, 3, 3, true, false);
    const TestClock clock(4242);
    b.puzzle.tangle();
    const QString first = arrangement(b.puzzle.grid());
    PuzzleProbe(b.puzzle).grid().shift(CellPos(1, 2), CellPos(3, 2));
    b.puzzle.tangle();
    QCOMPARE(arrangement(b.puzzle.grid()), first);
}

void TestPuzzleTangle::ownerPacedTangleKeepsTheSequence_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("empties");
    QTest::newRow("3x3") << 3 << 3 << false;
    QTest::newRow("4x3 with both") << 4 << 3 << true;
}

// A tangle the window paces step by step shows, for every seed, the arrangements one run at once shows, and
// takes no move before its last step.
void TestPuzzleTangle::ownerPacedTangleKeepsTheSequence()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, empties);
    Bench atOnce(240, 240, rows, cols, empties, empties);
    Bench paced(240, 240, rows, cols, empties, empties);
    QStringList expected, shown;
    QObject::connect(&atOnce.puzzle, &Puzzle::tangleStepped, &atOnce.puzzle,
                     [&] { expected << arrangement(atOnce.puzzle.grid()); });
    QObject::connect(&paced.puzzle, &Puzzle::tangleStepped, &paced.puzzle,
                     [&] { shown << arrangement(paced.puzzle.grid()); });
    int started = 0;
    paced.puzzle.setAnimatedByOwner(true);
    QObject::connect(&paced.puzzle, &Puzzle::animationStarted, &paced.puzzle, [&started] { ++started; });
    for (quint32 seed : {3u, 99u, 2026u}) {
        expected.clear();
        shown.clear();
        {
            const TestClock clock(seed);
            atOnce.puzzle.tangle();
        }
        const TestClock clock(seed);
        paced.puzzle.tangle();
        QCOMPARE(shown.size(), 1); // the first step is on screen when the owner takes over
        while (paced.puzzle.isTangling()) {
            PuzzleProbe(paced.puzzle).setSelected(CellPos(1, 1));
            QVERIFY(!paced.puzzle.turnSelected(LineAxis::Row, 1));
            PuzzleProbe(paced.puzzle).setSelected(NoCell);
            paced.puzzle.showAdvice(10, 10);
            QVERIFY(paced.puzzle.isTangling());
            paced.puzzle.advance();
        }
        QCOMPARE(shown, expected);
        QCOMPARE(arrangement(paced.puzzle.grid()), arrangement(atOnce.puzzle.grid()));
        QCOMPARE(paced.display, atOnce.display);
        QVERIFY(!paced.puzzle.isSolved());
    }
    QCOMPARE(started, 3);
}

QTEST_MAIN(TestPuzzleTangle)
#include "TestPuzzleTangle.moc"
