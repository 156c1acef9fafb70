// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of keyboard turns and of taking moves back and making them again.
#include "PuzzleBench.h"

using namespace quorra;

namespace {

// One scripted move: "K c r H|V steps" turns the cell (c, r)'s row or column from the keyboard; "D c r c2 r2"
// drags the cell at (c, r) with the pointer and lets it go over (c2, r2). Returns the cell's expected end.
CellPos play(Bench &b, const QString &step)
{
    const QStringList w = step.split(QLatin1Char(' '));
    const CellPos from(w[1].toInt(), w[2].toInt());
    const QPoint start = b.puzzle.cellCentre(from);
    if (w[0] == QLatin1String("K")) {
        const bool row = w[3] == QLatin1String("H");
        const int steps = w[4].toInt();
        b.puzzle.select(from);
        b.puzzle.turnSelected(row ? LineAxis::Row : LineAxis::Column, steps);
        const int length = row ? b.puzzle.grid().totalColumns() : b.puzzle.grid().totalRows();
        const int end = ((row ? from.x() : from.y()) - 1 + steps % length + length) % length + 1;
        return row ? CellPos(end, from.y()) : CellPos(from.x(), end);
    }
    const CellPos to(w[3].toInt(), w[4].toInt());
    const QPoint finish = b.puzzle.cellCentre(to);
    b.press(start.x(), start.y());
    // Past the drag threshold along the line, then straight to the release.
    b.move(start.x() + (to.x() != from.x() ? b.puzzle.cellWidth() / 3 : 0),
           start.y() + (to.y() != from.y() ? b.puzzle.cellHeight() / 3 : 0));
    b.release(finish.x(), finish.y());
    return to;
}

// The display as a fresh drawing of the whole grid shows it, selection included.
QImage redrawn(Bench &b)
{
    const QImage shown = b.display.copy();
    b.puzzle.renderAll();
    const QImage fresh = b.display.copy();
    b.display = shown;
    return fresh;
}

} // namespace

class TestPuzzleUndo : public QObject
{
    Q_OBJECT

private slots:
    void undoAndRedoRetraceTheGame_data();
    void undoAndRedoRetraceTheGame();
    void limits();
};

void TestPuzzleUndo::undoAndRedoRetraceTheGame_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("empties");
    QTest::addColumn<QStringList>("script");

    QTest::newRow("keyboard, wrapping both ways")
        << 3 << 3 << false << QStringList{"K 3 1 H 1", "K 1 1 V -1", "K 2 2 H -2", "K 2 3 V 4"};
    QTest::newRow("pointer drags, short and across the wrap")
        << 2 << 4 << false << QStringList{"D 1 1 4 1", "D 2 2 2 1", "D 3 1 1 1", "D 4 2 3 2"};
    QTest::newRow("mixed, with an empty row and column")
        << 4 << 3 << true << QStringList{"K 1 1 H 1", "D 2 5 2 2", "K 4 3 V 2", "D 1 2 3 2", "K 2 2 H -1"};
}

void TestPuzzleUndo::undoAndRedoRetraceTheGame()
{
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(bool, empties);
    QFETCH(QStringList, script);

    Bench b(240 * columns, 180 * rows, rows, columns, empties, empties);
    const TestClock clock(7);
    b.puzzle.tangle();
    QVERIFY(!b.puzzle.grid().isSolved());
    int frames = 0;
    QObject::connect(&b.puzzle, &Puzzle::slideStepped, &b.puzzle, [&frames] { ++frames; });

    QList<TileGrid> seen{b.puzzle.grid()};
    for (const QString &step : script) {
        TileGrid expected = b.puzzle.grid();
        const CellPos from(step.section(' ', 1, 1).toInt(), step.section(' ', 2, 2).toInt());
        const CellPos to = play(b, step);
        expected.shift(from, to);
        QVERIFY2(b.puzzle.grid().record() == expected.record(), qPrintable(step));
        seen << b.puzzle.grid();
    }
    QVERIFY(!b.puzzle.canRedo());

    for (qsizetype i = seen.size() - 2; i >= 0; --i) {
        QVERIFY(b.puzzle.canUndo());
        frames = 0;
        QVERIFY(!b.puzzle.undoMove());
        QVERIFY2(frames > 0, "an undone move is shown sliding back");
        QVERIFY2(b.puzzle.grid().record() == seen[i].record(), qPrintable(arrangement(b.puzzle.grid())));
        QCOMPARE(b.puzzle.dragState(), DragState::Idle);
        QCOMPARE(b.display, redrawn(b));
    }
    QVERIFY(!b.puzzle.canUndo());
    QVERIFY(!b.puzzle.undoMove());

    for (qsizetype i = 1; i < seen.size(); ++i) {
        QVERIFY(b.puzzle.canRedo());
        QVERIFY(!b.puzzle.redoMove());
        QVERIFY(b.puzzle.grid().record() == seen[i].record());
        QCOMPARE(b.display, redrawn(b));
    }
    QVERIFY(!b.puzzle.canRedo());
    QVERIFY(b.puzzle.canUndo());
}

void TestPuzzleUndo::limits()
{
    Bench b(600, 400, 2, 3);
    b.play();
    QVERIFY(!b.puzzle.canUndo());

    // A new move ends what could be redone.
    play(b, "K 1 1 H 1");
    play(b, "K 1 2 H 1");
    QVERIFY(b.puzzle.undoMove() == false && b.puzzle.canRedo());
    play(b, "K 2 1 V 1");
    QVERIFY(!b.puzzle.canRedo());

    // Nothing is taken back while the pointer holds a cell.
    b.press(100, 100);
    QVERIFY(!b.puzzle.canUndo());
    QVERIFY(!b.puzzle.undoMove());
    b.release(100, 100);
    QVERIFY(b.puzzle.canUndo());

    // The tangle is as far back as undo goes.
    b.puzzle.tangle();
    QVERIFY(!b.puzzle.canUndo() && !b.puzzle.canRedo());

    // The move that solves the puzzle is its last, whether played, undone or redone: nothing is taken back
    // after it.
    Bench solved(600, 400, 2, 3);
    solved.play();
    play(solved, "K 2 2 H 1");
    play(solved, "K 1 1 V 1");
    QVERIFY(!solved.puzzle.undoMove());
    QVERIFY(solved.puzzle.undoMove());
    QVERIFY(solved.puzzle.isSolved());
    QVERIFY(!solved.puzzle.canUndo() && !solved.puzzle.canRedo());
    QVERIFY(!solved.puzzle.redoMove());
    QVERIFY(!solved.puzzle.turnSelected(LineAxis::Row, 1));

    // Set-up starts a game afresh; edit mode plays no moves.
    solved.puzzle.setUp(Effect::Negative, 2, 3, false, false, false);
    QVERIFY(!solved.puzzle.canUndo() && !solved.puzzle.canRedo());
    QVERIFY(!solved.puzzle.turnSelected(LineAxis::Row, 1));
    QVERIFY(solved.puzzle.grid().isSolved());
}

QTEST_MAIN(TestPuzzleUndo)
#include "TestPuzzleUndo.moc"
