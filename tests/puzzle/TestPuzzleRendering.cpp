// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the puzzle object: cell rendering, frames, stamps, effects and the picture's title.
#include "PuzzleBench.h"

#include "TextStamp.h"

using namespace quorra;

class TestPuzzleRendering : public QObject
{
    Q_OBJECT

private slots:
    void semiEffect_data();
    void semiEffect();
    void frames_data();
    void frames();
    void emptyCellTiled();
    void editStamp();
    void solvedShowsPlainPicture();
    void renderReports();
    void cellsFollowArrangement();
    void setEffect();
};

void TestPuzzleRendering::semiEffect_data()
{
    QTest::addColumn<bool>("editMode");
    QTest::addColumn<bool>("semiEffect");
    QTest::addColumn<bool>("selectedPlain");
    QTest::newRow("play, semi-effect") << false << true << true;
    QTest::newRow("play, full effect") << false << false << false;
    QTest::newRow("edit mode, semi-effect") << true << true << false;
}

void TestPuzzleRendering::semiEffect()
{
    QFETCH(bool, editMode);
    QFETCH(bool, semiEffect);
    QFETCH(bool, selectedPlain);
    Bench b(300, 200, 2, 3);
    PuzzleProbe(b.puzzle).grid().shift(CellPos(1, 1), CellPos(2, 1));
    b.puzzle.setSemiEffect(semiEffect);
    PuzzleProbe(b.puzzle).setEditMode(editMode);
    PuzzleProbe(b.puzzle).setSelected(CellPos(2, 1));
    b.puzzle.renderAll();
    if (editMode) // take the stamp off again to see the cells under it
        stampTwoLines(b.display, QStringLiteral("Edit"), QStringLiteral("Mode"));
    QVERIFY(PuzzleProbe(b.puzzle).plainPicture().copy(0, 0, 100, 100)
            != PuzzleProbe(b.puzzle).concealedPicture().copy(0, 0, 100, 100));
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r) {
            const bool plain = selectedPlain && CellPos(c, r) == CellPos(2, 1);
            QVERIFY2(b.showsPiece(CellPos(c, r), plain), qPrintable(QStringLiteral("cell %1,%2").arg(c).arg(r)));
        }
}

void TestPuzzleRendering::frames_data()
{
    QTest::addColumn<bool>("advice");
    QTest::addColumn<bool>("isSelected");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("solved");
    QTest::addColumn<bool>("emptyCell");
    QTest::addColumn<int>("width");
    QTest::newRow("advice") << true << true << int(DragState::Caught) << false << false << 8;
    QTest::newRow("advice when solved") << true << false << int(DragState::Idle) << true << false << 8;
    QTest::newRow("caught") << false << true << int(DragState::Caught) << false << false << 4;
    QTest::newRow("selected while dragging")
        << false << true << int(DragState::Row) << false << false << Bench::SelectionFrame;
    QTest::newRow("selected") << false << true << int(DragState::Idle) << false << false << Bench::SelectionFrame;
    QTest::newRow("grid line") << false << false << int(DragState::Caught) << false << false << 1;
    QTest::newRow("solved, no grid") << false << false << int(DragState::Idle) << true << false << 0;
    QTest::newRow("empty cell, grid line") << false << false << int(DragState::Idle) << false << true << 1;
    QTest::newRow("empty cell, caught") << false << true << int(DragState::Caught) << false << true << 4;
}

void TestPuzzleRendering::frames()
{
    QFETCH(bool, advice);
    QFETCH(bool, isSelected);
    QFETCH(int, state);
    QFETCH(bool, solved);
    QFETCH(bool, emptyCell);
    QFETCH(int, width);
    Bench b(300, 200, 2, 3, false, true);
    b.play();
    const CellPos p = emptyCell ? CellPos(4, 2) : CellPos(2, 2);
    PuzzleProbe(b.puzzle).setSolved(solved);
    PuzzleProbe(b.puzzle).setDragState(DragState(state));
    PuzzleProbe(b.puzzle).setSelected(isSelected ? p : CellPos(1, 1));
    b.puzzle.drawCell(p, advice);
    QVERIFY(b.showsPiece(p, solved));
    QCOMPARE(b.frameWidth(p, solved), width);
    QCOMPARE(b.lastChange, b.cellRect(p));
}

void TestPuzzleRendering::emptyCellTiled()
{
    Bench b(300, 200, 2, 3, true, true);
    PuzzleProbe(b.puzzle).setSolved(true); // no frame: the whole cell is texture
    PuzzleProbe(b.puzzle).setEditMode(false);
    b.puzzle.renderAll();
    for (const CellPos p : {CellPos(4, 1), CellPos(1, 3), CellPos(4, 3)})
        QCOMPARE(b.display.copy(b.cellRect(p)), b.expectedPiece(p, true));
    QCOMPARE(b.display.copy(0, 0, 300, 200), PuzzleProbe(b.puzzle).plainPicture());
}

void TestPuzzleRendering::editStamp()
{
    Bench b(300, 200, 2, 3);
    QVERIFY(b.puzzle.isEditMode());
    const QImage stamped = b.display.copy();
    PuzzleProbe(b.puzzle).setEditMode(false);
    b.puzzle.renderAll();
    const QImage bare = b.display.copy();
    QVERIFY(stamped != bare);
    // The stamp is an exclusive-or: stamping the bare picture once gives exactly what edit mode showed.
    QImage again = bare;
    stampTwoLines(again, QStringLiteral("Edit"), QStringLiteral("Mode"));
    QCOMPARE(again, stamped);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r)
            QCOMPARE(b.frameWidth(CellPos(c, r), false), 1);
}

void TestPuzzleRendering::solvedShowsPlainPicture()
{
    Bench b(300, 200, 2, 3);
    b.puzzle.tangle();
    // Put it back by hand, as the player's last move would.
    PuzzleProbe(b.puzzle).grid().reset();
    PuzzleProbe(b.puzzle).setSelected(CellPos(1, 1));
    PuzzleProbe(b.puzzle).setDragState(DragState::Row);
    QVERIFY(b.puzzle.commit(50, 50));
    b.puzzle.releaseCatch();
    b.puzzle.deselect();
    b.puzzle.renderAll();
    QCOMPARE(b.display, PuzzleProbe(b.puzzle).plainPicture());
}

void TestPuzzleRendering::renderReports()
{
    Bench b(300, 200, 2, 3);
    b.changes = 0;
    b.puzzle.renderAll();
    QCOMPARE(b.changes, 1);
    QCOMPARE(b.lastChange, QRect(0, 0, 300, 200));
    b.puzzle.drawCell(CellPos(3, 2), false);
    QCOMPARE(b.changes, 2);
    QCOMPARE(b.lastChange, QRect(200, 100, 100, 100));
    b.puzzle.drawCell(NoCell, false);
    QCOMPARE(b.changes, 2);

    // Without anyone listening the puzzle still draws.
    QObject::disconnect(&b.puzzle, &Puzzle::displayChanged, nullptr, nullptr);
    b.puzzle.renderAll();
}

void TestPuzzleRendering::cellsFollowArrangement()
{
    Bench b(400, 300, 3, 4, true, true);
    b.play();
    PuzzleProbe(b.puzzle).grid().shift(CellPos(1, 2), CellPos(4, 2));
    PuzzleProbe(b.puzzle).grid().shift(CellPos(5, 1), CellPos(5, 3));
    PuzzleProbe(b.puzzle).grid().shift(CellPos(2, 4), CellPos(5, 4));
    b.puzzle.renderAll();
    for (int c = 1; c <= 5; ++c)
        for (int r = 1; r <= 4; ++r) {
            QVERIFY(b.showsPiece(CellPos(c, r), false));
            QCOMPARE(b.frameWidth(CellPos(c, r), false), 1);
        }
}

void TestPuzzleRendering::setEffect()
{
    Bench b(300, 200, 2, 3, false, false, 99); // no effect: concealed is the plain picture
    QCOMPARE(PuzzleProbe(b.puzzle).concealedPicture(), PuzzleProbe(b.puzzle).plainPicture());
    b.puzzle.setEffect(Effect::Negative);
    QCOMPARE(b.puzzle.effect(), qint32(Effect::Negative));
    const QImage piece = PuzzleProbe(b.puzzle).concealedPicture().copy(100, 0, 100, 100);
    QCOMPARE(piece.pixel(50, 50), inverted(PuzzleProbe(b.puzzle).plainPicture().pixel(150, 50)));
    stampTwoLines(b.display, QStringLiteral("Edit"), QStringLiteral("Mode"));
    QVERIFY(b.showsPiece(CellPos(2, 1), false));
}

QTEST_MAIN(TestPuzzleRendering)
#include "TestPuzzleRendering.moc"
