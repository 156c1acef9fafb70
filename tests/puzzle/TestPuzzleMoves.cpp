// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the puzzle object: hover, catch, the sliding line, committed moves and the advice flash.
#include "PuzzleBench.h"

#include <chrono>

using namespace quorra;

class TestPuzzleMoves : public QObject
{
    Q_OBJECT

private slots:
    void hover();
    void catchNeedsASelection();
    void dragStart_data();
    void dragStart();
    void nearCellCentre_data();
    void nearCellCentre();
    void dragCommits_data();
    void dragCommits();
    void wrapLeft();
    void releaseCommitsUnderPointer_data();
    void releaseCommitsUnderPointer();
    void backToOwnCell();
    void commitSolves();
    void commitOffGrid();
    void emptyCellSlides();
    void renderDragPixels_data();
    void renderDragPixels();
    void deferredLineAgreesWithDrawnLine_data();
    void deferredLineAgreesWithDrawnLine();
    void advice_data();
    void advice();
    void adviceStaysWhileHeld_data();
    void adviceStaysWhileHeld();
};

void TestPuzzleMoves::catchNeedsASelection()
{
    // Nothing under the pointer is nothing to hold; a selected cell is caught and let go again.
    Bench b(300, 200, 2, 3);
    b.play();
    b.puzzle.catchSelected();
    QCOMPARE(b.puzzle.dragState(), DragState::Idle);
    b.puzzle.hoverAt(150, 60);
    b.puzzle.catchSelected();
    QCOMPARE(b.puzzle.dragState(), DragState::Caught);
    b.puzzle.releaseCatch();
    QCOMPARE(b.puzzle.dragState(), DragState::Idle);
    QCOMPARE(b.puzzle.selected(), CellPos(2, 1));
}

void TestPuzzleMoves::hover()
{
    Bench b(300, 200, 2, 3);
    b.play();
    b.puzzle.hoverAt(150, 60);
    QCOMPARE(b.puzzle.selected(), CellPos(2, 1));
    QCOMPARE(b.puzzle.anchor(), QPoint(150, 50));
    QCOMPARE(b.frameWidth(CellPos(2, 1), false), Bench::SelectionFrame);
    const int changes = b.changes;
    b.puzzle.hoverAt(199, 99); // same cell: nothing redrawn
    QCOMPARE(b.changes, changes);
    b.puzzle.hoverAt(250, 150);
    QCOMPARE(b.puzzle.selected(), CellPos(3, 2));
    QCOMPARE(b.puzzle.anchor(), QPoint(250, 150));
    QCOMPARE(b.frameWidth(CellPos(2, 1), false), 1);
    QCOMPARE(b.frameWidth(CellPos(3, 2), false), Bench::SelectionFrame);
    QCOMPARE(b.changes, changes + 2);
    b.puzzle.hoverAt(300, 150); // past the picture: no cell
    QVERIFY(isNoCell(b.puzzle.selected()));
    QCOMPARE(b.frameWidth(CellPos(3, 2), false), 1);
    b.puzzle.hoverAt(10, 10);
    b.puzzle.deselect();
    QVERIFY(isNoCell(b.puzzle.selected()));
    QCOMPARE(b.frameWidth(CellPos(1, 1), false), 1);
}

void TestPuzzleMoves::dragStart_data()
{
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<int>("state");
    QTest::newRow("15 right") << 15 << 0 << int(DragState::Row);
    QTest::newRow("14 right") << 14 << 0 << int(DragState::Caught);
    QTest::newRow("15 left") << -15 << 0 << int(DragState::Row);
    QTest::newRow("15 right, 15 down") << 15 << 15 << int(DragState::Row);
    QTest::newRow("14 right, 15 down") << 14 << 15 << int(DragState::Column);
    QTest::newRow("15 up") << 0 << -15 << int(DragState::Column);
    QTest::newRow("14 up, 14 left") << -14 << -14 << int(DragState::Caught);
}

void TestPuzzleMoves::dragStart()
{
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(int, state);
    Bench b(300, 200, 2, 3);
    b.play();
    QVERIFY(!b.puzzle.tryStartDrag(300, 300)); // nothing selected
    b.press(150, 50);
    QCOMPARE(b.frameWidth(CellPos(2, 1), false), 4);
    const bool started = b.puzzle.tryStartDrag(150 + dx, 50 + dy);
    QCOMPARE(started, state != int(DragState::Caught));
    QCOMPARE(int(b.puzzle.dragState()), state);
    if (state == int(DragState::Row))
        QCOMPARE(PuzzleProbe(b.puzzle).rowStrip(), b.display.copy(0, 0, 300, 100));
    if (state == int(DragState::Column))
        QCOMPARE(PuzzleProbe(b.puzzle).columnStrip(), b.display.copy(100, 0, 100, 200));
}

void TestPuzzleMoves::nearCellCentre_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("near");
    QTest::newRow("own centre") << 0 << true;
    QTest::newRow("14 off") << 14 << true;
    QTest::newRow("15 off") << 15 << false;
    QTest::newRow("85") << 85 << false;
    QTest::newRow("86") << 86 << true;
    QTest::newRow("100") << 100 << true;
    QTest::newRow("114") << 114 << true;
    QTest::newRow("115") << 115 << false;
    QTest::newRow("186") << 186 << true;
}

void TestPuzzleMoves::nearCellCentre()
{
    QFETCH(int, offset);
    QFETCH(bool, near);
    Bench b(300, 200, 2, 3);
    QCOMPARE(b.puzzle.nearCellCentre(50 + offset, 50), near);
    QCOMPARE(b.puzzle.nearCellCentre(50, 50 + offset), near);
}

void TestPuzzleMoves::dragCommits_data()
{
    QTest::addColumn<QList<int>>("path"); // pointer offsets from the caught cell's centre, along the row
    QTest::addColumn<int>("commits");
    QTest::addColumn<QString>("row");
    QTest::addColumn<CellPos>("caught");
    QTest::newRow("follows the pointer") << QList<int>{15, 40, 85} << 0 << "1 2 3 4" << CellPos(1, 1);
    QTest::newRow("one cell at 86") << QList<int>{15, 40, 86} << 1 << "4 1 2 3" << CellPos(2, 1);
    QTest::newRow("one cell at 114") << QList<int>{20, 114} << 1 << "4 1 2 3" << CellPos(2, 1);
    QTest::newRow("jump over the window") << QList<int>{15, 80, 120, 150} << 0 << "1 2 3 4" << CellPos(1, 1);
    QTest::newRow("then two cells") << QList<int>{15, 80, 120, 150, 190} << 1 << "3 4 1 2" << CellPos(3, 1);
    QTest::newRow("one and one more") << QList<int>{15, 90, 110, 150, 190} << 2 << "3 4 1 2" << CellPos(3, 1);
    QTest::newRow("there and back") << QList<int>{15, 100, 70, 40, 5} << 2 << "1 2 3 4" << CellPos(1, 1);
}

void TestPuzzleMoves::dragCommits()
{
    QFETCH(QList<int>, path);
    QFETCH(int, commits);
    QFETCH(QString, row);
    QFETCH(CellPos, caught);
    Bench b(400, 200, 2, 4);
    b.play();
    b.press(50, 50);
    for (int offset : path)
        b.move(50 + offset, 50);
    QCOMPARE(b.commits, commits);
    QCOMPARE(rowNumbers(b.puzzle.grid(), 1), row);
    QCOMPARE(rowNumbers(b.puzzle.grid(), 2), QStringLiteral("5 6 7 8"));
    QCOMPARE(b.puzzle.selected(), caught);
    QCOMPARE(b.puzzle.isSolved(), commits > 0 && row == QStringLiteral("1 2 3 4"));
    if (commits > 0 && !b.puzzle.isSolved()) {
        // After a snap the line on screen is exactly the new arrangement with the caught cell framed.
        const QImage shown = b.display.copy();
        b.puzzle.renderAll();
        QCOMPARE(b.display, shown);
    }
}

void TestPuzzleMoves::wrapLeft()
{
    Bench left(300, 200, 2, 3, false, true);
    left.play();
    left.press(50, 150);
    left.move(30, 150);
    QCOMPARE(left.puzzle.dragState(), DragState::Row);
    left.move(-20, 150);
    const QImage shownLeft = left.display.copy();
    left.release(-50, 150);

    Bench right(300, 200, 2, 3, false, true);
    right.play();
    right.press(50, 150);
    right.move(70, 150);
    right.move(50 + 400 - 70, 150); // the same offset, the other way round the 400-pixel row
    QCOMPARE(right.display, shownLeft);
    right.release(350, 150);

    QCOMPARE(rowNumbers(left.puzzle.grid(), 2), QStringLiteral("5 6 0 4"));
    QCOMPARE(arrangement(left.puzzle.grid()), arrangement(right.puzzle.grid()));
    QCOMPARE(left.puzzle.selected(), CellPos(4, 2));
    QCOMPARE(left.display, right.display);
}

void TestPuzzleMoves::releaseCommitsUnderPointer_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<QString>("row");
    QTest::newRow("halfway, still in column 2") << 199 << "3 1 2";
    QTest::newRow("halfway, column 3") << 200 << "2 3 1";
    QTest::newRow("just right of the start") << 99 << "1 2 3";
}

void TestPuzzleMoves::releaseCommitsUnderPointer()
{
    QFETCH(int, x);
    QFETCH(QString, row);
    Bench b(300, 200, 2, 3);
    b.play();
    b.press(50, 50);
    b.move(70, 50);
    b.move(x, 50);
    b.release(x, 50);
    QCOMPARE(b.commits, 1);
    QCOMPARE(rowNumbers(b.puzzle.grid(), 1), row);
    QCOMPARE(b.puzzle.dragState(), DragState::Idle);
    QCOMPARE(b.puzzle.isSolved(), row == QStringLiteral("1 2 3"));
    if (!b.puzzle.isSolved()) {
        const QImage shown = b.display.copy();
        b.puzzle.renderAll();
        QCOMPARE(b.display, shown);
    }
}

void TestPuzzleMoves::backToOwnCell()
{
    Bench b(300, 200, 2, 3);
    b.play();
    QVERIFY(!b.puzzle.isSolved());
    b.press(150, 150);
    b.move(150, 120);
    QCOMPARE(b.puzzle.dragState(), DragState::Column);
    b.move(150, 80);
    b.move(150, 140);
    QCOMPARE(b.commits, 1);
    QCOMPARE(b.puzzle.selected(), CellPos(2, 2));
    QVERIFY(b.puzzle.grid().isSolved());
    QVERIFY(b.puzzle.isSolved()); // the solved test ran although nothing moved
}

void TestPuzzleMoves::commitSolves()
{
    Bench b(300, 200, 2, 3);
    PuzzleProbe(b.puzzle).grid().shift(CellPos(1, 1), CellPos(2, 1));
    b.play();
    b.press(150, 50);
    b.move(120, 50);
    b.move(55, 50);
    QVERIFY(b.puzzle.isSolved());

    // In edit mode nothing counts as solved.
    PuzzleProbe(b.puzzle).setEditMode(true);
    PuzzleProbe(b.puzzle).setDragState(DragState::Row);
    QVERIFY(!b.puzzle.commit(50, 50));
    QVERIFY(!b.puzzle.isSolved());
}

void TestPuzzleMoves::commitOffGrid()
{
    // Without confinement the pointer can leave the line or the picture; the move follows the line's own
    // direction and never reaches a position outside the grid.
    Bench b(300, 200, 2, 3);
    b.play();
    b.press(50, 150);
    b.move(80, 150);
    b.release(160, 330);
    QCOMPARE(rowNumbers(b.puzzle.grid(), 2), QStringLiteral("6 4 5"));
    QCOMPARE(b.puzzle.selected(), CellPos(2, 2));

    b.press(150, 50);
    b.move(150, 20);
    QCOMPARE(b.puzzle.dragState(), DragState::Column);
    b.release(999, 250); // below the picture: wraps to row 1 again
    QCOMPARE(arrangement(b.puzzle.grid()), QStringLiteral("1 2 3 / 6 4 5"));

    PuzzleProbe(b.puzzle).setDragState(DragState::Caught);
    b.puzzle.commit(-500, -500);
    QCOMPARE(b.puzzle.selected(), CellPos(2, 1));
    QCOMPARE(arrangement(b.puzzle.grid()), QStringLiteral("1 2 3 / 6 4 5"));
    b.puzzle.showAdvice(-500, 10); // off the picture: nothing to flash
    QVERIFY(!b.puzzle.isAnimating());
}

void TestPuzzleMoves::emptyCellSlides()
{
    Bench b(300, 200, 2, 3, false, true);
    b.play();
    b.press(350, 50);
    b.move(330, 50);
    b.move(250, 50);
    QCOMPARE(rowNumbers(b.puzzle.grid(), 1), QStringLiteral("2 3 0 1"));
    QCOMPARE(b.puzzle.selected(), CellPos(3, 1));
    QVERIFY(b.showsPiece(CellPos(3, 1), false));
}

void TestPuzzleMoves::renderDragPixels_data()
{
    QTest::addColumn<bool>("row");
    QTest::addColumn<int>("offset");
    for (bool row : {true, false})
        for (int offset : {0, 1, 37, 100, 299, 400, -1, -137, 1005})
            QTest::addRow("%s %d", row ? "row" : "column", offset) << row << offset;
}

void TestPuzzleMoves::renderDragPixels()
{
    QFETCH(bool, row);
    QFETCH(int, offset);
    Bench b(300, 200, 2, 3, true, true); // 400 x 300
    b.play();
    b.press(150, 150);
    QVERIFY(b.puzzle.tryStartDrag(row ? 170 : 150, row ? 150 : 170));
    const QImage before = b.display.copy();
    const uchar *bits = b.display.constBits();
    const int changes = b.changes;
    b.puzzle.renderDrag(150 + (row ? offset : 0), 150 + (row ? 0 : offset));
    QCOMPARE(b.display.constBits(), bits);
    QCOMPARE(b.changes, changes + 1);

    const QRect band = row ? QRect(0, 100, 400, 100) : QRect(100, 0, 100, 300);
    QCOMPARE(b.lastChange, band);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            QRgb want = before.pixel(x, y);
            if (band.contains(x, y)) {
                const int along = row ? x : y;
                const int length = row ? 400 : 300;
                const int from = ((along - offset) % length + length) % length;
                want = row ? before.pixel(from, y) : before.pixel(x, from);
            }
            if (b.display.pixel(x, y) != want)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
    QCOMPARE(b.puzzle.grid().isSolved(), true); // the model waits for the commit

    PuzzleProbe(b.puzzle).setDragState(DragState::Caught);
    const QImage held = b.display.copy();
    b.puzzle.renderDrag(0, 0);
    QCOMPARE(b.display, held);
}

void TestPuzzleMoves::deferredLineAgreesWithDrawnLine_data()
{
    QTest::addColumn<int>("next"); // what follows the drag: 0 nothing, 1 another cell drawn, 2 a new display

    QTest::newRow("display read") << 0;
    QTest::newRow("another cell drawn") << 1;
    QTest::newRow("display dropped, then rebuilt") << 2;
}

// A puzzle whose owner paints the moving line itself ends with the same display as one that draws it at once,
// whatever comes after the drag.
void TestPuzzleMoves::deferredLineAgreesWithDrawnLine()
{
    QFETCH(int, next);
    Bench drawn(300, 200, 2, 3, true, true); // 400 x 300
    Bench deferred(300, 200, 2, 3, true, true);
    deferred.puzzle.setPaintsMovingLine(true);
    for (Bench *b : {&drawn, &deferred}) {
        b->play();
        b->press(150, 150);
        QVERIFY(b->puzzle.tryStartDrag(150, 170));
        b->puzzle.renderDrag(150, 170 + 37);
        b->puzzle.renderDrag(150, 170 - 261);
    }
    QVERIFY(!drawn.puzzle.movingLine());
    QCOMPARE(deferred.puzzle.movingLine()->band, QRect(100, 0, 100, 300));
    for (Bench *b : {&drawn, &deferred}) {
        if (next == 1) {
            b->puzzle.releaseCatch();
            b->puzzle.hoverAt(350, 50);
        } else if (next == 2) {
            b->display = QImage();
            b->puzzle.rebuild();
        }
    }
    QCOMPARE(deferred.puzzle.display(), drawn.puzzle.display());
    QVERIFY(!deferred.puzzle.movingLine());
}

void TestPuzzleMoves::advice_data()
{
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<CellPos>("home");
    QTest::newRow("moved picture cell") << QPoint(150, 150) << CellPos(1, 2);
    QTest::newRow("picture cell at home") << QPoint(250, 50) << CellPos(3, 1);
    QTest::newRow("empty cell") << QPoint(50, 150) << CellPos(4, 1);
    QTest::newRow("empty column") << QPoint(350, 50) << CellPos(4, 1);
}

void TestPuzzleMoves::advice()
{
    QFETCH(QPoint, click);
    QFETCH(CellPos, home);
    Bench B(300, 200, 2, 3, false, true);
    PuzzleProbe(B.puzzle).grid().shift(CellPos(1, 2), CellPos(2, 2)); // row 2: empty, 4, 5, 6
    B.play();
    B.puzzle.hoverAt(click.x(), click.y());
    const QImage normal = B.display.copy();

    QImage flashed;
    int Calls = 0;
    B.puzzle.setAnimatedByOwner(true);
    const auto timed = QObject::connect(&B.puzzle, &Puzzle::animationStarted, &B.puzzle, [&] {
        ++Calls;
        flashed = B.display.copy();
    });
    B.puzzle.showAdvice(click.x(), click.y());
    QCOMPARE(Calls, 1);
    // The flash stays for the owner to time, at the game's pace, and holds every move meanwhile.
    QCOMPARE(B.puzzle.animation(), PuzzleAnimation::Advice);
    QCOMPARE(Puzzle::stepMs(B.puzzle.animation()), 200);
    QCOMPARE(B.display, flashed);
    QVERIFY(!B.puzzle.turnSelected(LineAxis::Row, 1));
    QCOMPARE(B.puzzle.dragState(), DragState::Idle);
    B.puzzle.showAdvice(click.x(), click.y());
    QCOMPARE(Calls, 1);
    QVERIFY(!B.puzzle.advance());
    QVERIFY(!B.puzzle.isAnimating());
    QCOMPARE(B.display, normal); // the flash is gone again

    // Only the frame band of the home cell differs: inverted from the edge of its usual frame to 8 pixels in.
    const QRect r = B.cellRect(home);
    // The selected cell's own frame gives way to the flash, which inverts the piece under it.
    const bool selectedHome = home == B.puzzle.selected();
    const int normalFrame = selectedHome ? 3 : 1;
    const QImage piece = B.expectedPiece(home, false);
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x) {
            const int edge = qMin(qMin(x - r.left(), r.right() - x), qMin(y - r.top(), r.bottom() - y));
            QRgb want = normal.pixel(x, y);
            if (r.contains(x, y) && edge < 8 && edge >= normalFrame)
                want = inverted(normal.pixel(x, y));
            else if (r.contains(x, y) && edge < normalFrame && selectedHome)
                want = inverted(piece.pixel(x - r.left(), y - r.top()));
            if (flashed.pixel(x, y) != want)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }

    // Without an owner to time it, the flash is over before showAdvice returns.
    B.puzzle.setAnimatedByOwner(false);
    QObject::disconnect(timed);
    B.puzzle.showAdvice(click.x(), click.y());
    QVERIFY(!B.puzzle.isAnimating());
    QCOMPARE(B.display, normal);
}

void TestPuzzleMoves::adviceStaysWhileHeld_data()
{
    // Ticks of the owner's timer (each AdviceMs apart) before the button is let go, and after it.
    QTest::addColumn<int>("heldTicks");
    QTest::addColumn<int>("ticksAfter");
    QTest::newRow("a click: the flash lasts its own time") << 0 << 1;
    QTest::newRow("held longer: it ends when let go") << 3 << 0;
}

void TestPuzzleMoves::adviceStaysWhileHeld()
{
    QFETCH(int, heldTicks);
    QFETCH(int, ticksAfter);
    Bench B(300, 200, 2, 3);
    B.play();
    B.puzzle.setAnimatedByOwner(true);
    B.puzzle.showAdvice(150, 50);
    B.puzzle.holdAdvice(true);
    for (int tick = 0; tick < heldTicks; ++tick)
        QVERIFY(B.puzzle.advance());
    B.puzzle.holdAdvice(false);
    for (int tick = 0; tick < ticksAfter; ++tick)
        B.puzzle.advance();
    QVERIFY(!B.puzzle.isAnimating());
    // Ended for good: held again, nothing is shown.
    B.puzzle.holdAdvice(true);
    QVERIFY(!B.puzzle.advance());
}

QTEST_MAIN(TestPuzzleMoves)
#include "TestPuzzleMoves.moc"
