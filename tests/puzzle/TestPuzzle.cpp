// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the puzzle object: a new puzzle, cell geometry, set-up and the zoom.
#include "PuzzleBench.h"

using namespace quorra;

class TestPuzzle : public QObject
{
    Q_OBJECT

private slots:
    void newPuzzle();
    void geometry_data();
    void geometry();
    void cellAt_data();
    void cellAt();
    void setupState();
    void rebuildKeepsDisplay();
    void zoomInSteps();
    void fit_data();
    void fit();
    void fitTolerance();
    void tinyPanel();
    void zoomOut();
    void canZoomOut_data();
    void canZoomOut();
    void canActualSize_data();
    void canActualSize();
};

void TestPuzzle::newPuzzle()
{
    QImage display;
    const QImage texture = makeTexture();
    const Puzzle p(&display, &texture);
    QCOMPARE(p.scale(), 1.0);
    QCOMPARE(p.fitScale(), 0.0);
    QVERIFY(!p.isEditMode() && !p.isSolved() && !p.isSemiEffect());
    QVERIFY(isNoCell(p.selected()));
    QCOMPARE(p.dragState(), DragState::Idle);
    QCOMPARE(p.grid().rows(), 0);
}

void TestPuzzle::geometry_data()
{
    QTest::addColumn<QSize>("sourceSize");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("extra");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QSize>("cell");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<QSize>("plainSize");
    QTest::addColumn<QSize>("displaySize");

    QTest::newRow("300x200 in 2x3") << QSize(300, 200) << 2 << 3 << false << 1.0 << QSize(100, 100) << 15
                                    << QSize(300, 200) << QSize(300, 200);
    QTest::newRow("with empty row and column")
        << QSize(300, 200) << 2 << 3 << true << 1.0 << QSize(100, 100) << 15 << QSize(300, 200) << QSize(400, 300);
    QTest::newRow("301 wide in 3 columns")
        << QSize(301, 200) << 2 << 3 << false << 1.0 << QSize(100, 100) << 15 << QSize(300, 200) << QSize(300, 200);
    QTest::newRow("150.5 rounds down to even")
        << QSize(301, 200) << 2 << 2 << false << 1.0 << QSize(150, 100) << 15 << QSize(300, 200) << QSize(300, 200);
    QTest::newRow("151.5 rounds up to even")
        << QSize(303, 200) << 2 << 2 << false << 1.0 << QSize(152, 100) << 15 << QSize(304, 200) << QSize(304, 200);
    QTest::newRow("threshold 30 gives 4")
        << QSize(120, 60) << 2 << 2 << false << 1.0 << QSize(60, 30) << 4 << QSize(120, 60) << QSize(120, 60);
    QTest::newRow("threshold 50 gives 8")
        << QSize(100, 200) << 2 << 2 << false << 1.0 << QSize(50, 100) << 8 << QSize(100, 200) << QSize(100, 200);
    QTest::newRow("threshold 70 gives 10")
        << QSize(210, 140) << 2 << 3 << false << 1.0 << QSize(70, 70) << 10 << QSize(210, 140) << QSize(210, 140);
    QTest::newRow("scaled by 1.5") << QSize(300, 200) << 2 << 3 << false << 1.5 << QSize(150, 150) << 22
                                   << QSize(450, 300) << QSize(450, 300);
    QTest::newRow("never below one pixel")
        << QSize(1, 1) << 4 << 4 << true << 1.0 << QSize(1, 1) << 0 << QSize(4, 4) << QSize(5, 5);
    QTest::newRow("scale 0") << QSize(300, 200) << 2 << 3 << false << 0.0 << QSize(1, 1) << 0 << QSize(3, 2)
                             << QSize(3, 2);
}

void TestPuzzle::geometry()
{
    QFETCH(QSize, sourceSize);
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, extra);
    QFETCH(double, scale);
    QFETCH(QSize, cell);
    QFETCH(int, threshold);
    QFETCH(QSize, plainSize);
    QFETCH(QSize, displaySize);
    Bench b(sourceSize.width(), sourceSize.height(), rows, cols, extra, extra);
    PuzzleProbe(b.puzzle).setScale(scale);
    b.puzzle.rebuild();
    QCOMPARE(QSize(b.puzzle.cellWidth(), b.puzzle.cellHeight()), cell);
    QCOMPARE(b.puzzle.dragThreshold(), threshold);
    QCOMPARE(PuzzleProbe(b.puzzle).plainPicture().size(), plainSize);
    QCOMPARE(PuzzleProbe(b.puzzle).concealedPicture().size(), plainSize);
    QCOMPARE(b.display.size(), displaySize);
    QCOMPARE(PuzzleProbe(b.puzzle).cellBitmap().size(), cell);
    QCOMPARE(PuzzleProbe(b.puzzle).rowStrip().size(), QSize(displaySize.width(), cell.height()));
    QCOMPARE(PuzzleProbe(b.puzzle).columnStrip().size(), QSize(cell.width(), displaySize.height()));
    QCOMPARE(b.display.format(), WorkingFormat);
    QCOMPARE(PuzzleProbe(b.puzzle).plainPicture().format(), WorkingFormat);
}

void TestPuzzle::cellAt_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<CellPos>("cell");
    QTest::newRow("just left of the picture") << QPoint(-1, 10) << CellPos(0, 1);
    QTest::newRow("just above the picture") << QPoint(10, -1) << CellPos(1, 0);
    QTest::newRow("origin") << QPoint(0, 0) << CellPos(1, 1);
    QTest::newRow("last pixel of the first cell") << QPoint(99, 99) << CellPos(1, 1);
    QTest::newRow("first pixel of column 2") << QPoint(100, 0) << CellPos(2, 1);
    QTest::newRow("a whole cell to the left") << QPoint(-100, 150) << CellPos(-1, 2);
    QTest::newRow("bottom right") << QPoint(299, 199) << CellPos(3, 2);
}

void TestPuzzle::cellAt()
{
    QFETCH(QPoint, pixel);
    QFETCH(CellPos, cell);
    Bench b(300, 200, 2, 3);
    QCOMPARE(b.puzzle.cellAt(pixel.x(), pixel.y()), cell);
    QCOMPARE(b.puzzle.cellCentre(CellPos(2, 1)), QPoint(150, 50));
    QCOMPARE(b.puzzle.cellCentre(CellPos(3, 2)), QPoint(250, 150));
}

void TestPuzzle::setupState()
{
    Bench b(300, 200, 2, 3, false, false, Effect::Hidden);
    PuzzleProbe(b.puzzle).setSelected(CellPos(2, 2));
    PuzzleProbe(b.puzzle).setSolved(true);
    b.puzzle.setUp(Effect::Dark, 3, 2, true, true, false);
    QCOMPARE(b.puzzle.version(), 1);
    QCOMPARE(b.puzzle.effect(), qint32(Effect::Dark));
    QVERIFY(b.puzzle.isSemiEffect());
    QVERIFY(b.puzzle.isEditMode());
    QVERIFY(!b.puzzle.isSolved());
    QVERIFY(isNoCell(b.puzzle.selected()));
    QCOMPARE(b.puzzle.grid().totalRows(), 4);
    QCOMPARE(b.display.size(), QSize(300, 268)); // cells 150 x 67 (66.67 rounded)
}

void TestPuzzle::rebuildKeepsDisplay()
{
    Bench b(300, 200, 2, 3);
    const uchar *bits = b.display.constBits();
    b.puzzle.tangle();
    QCOMPARE(b.display.constBits(), bits);
    PuzzleProbe(b.puzzle).setScale(2);
    b.puzzle.rebuild();
    QCOMPARE(b.display.size(), QSize(600, 400));
}

void TestPuzzle::zoomInSteps()
{
    Bench b(400, 300, 2, 2);
    b.puzzle.updateFit(790, 560, false);
    QVERIFY(qFuzzyCompare(b.puzzle.fitScale(), 560.0 / 300.0));
    QCOMPARE(b.puzzle.scale(), 1.0);
    QCOMPARE(b.puzzle.cellWidth(), 200);
    QCOMPARE(b.puzzle.cellHeight(), 150);
    const double steps[] = {1.1, 1.21, 1.331, 1.4641, 1.61051, 1.771561};
    for (double step : steps) {
        QVERIFY(b.puzzle.canZoomIn());
        b.puzzle.zoomIn();
        QVERIFY2(qFuzzyCompare(b.puzzle.scale(), step), qPrintable(QString::number(b.puzzle.scale())));
        b.puzzle.updateFit(790, 560, false);
        QVERIFY(qFuzzyCompare(b.puzzle.scale(), step));
    }
    b.puzzle.zoomIn();
    QCOMPARE(b.puzzle.scale(), b.puzzle.fitScale());
    QCOMPARE(b.puzzle.cellWidth(), 373);
    QCOMPARE(b.puzzle.cellHeight(), 280);
    QCOMPARE(b.display.size(), QSize(746, 560));
    QVERIFY(!b.puzzle.canZoomIn());
}

void TestPuzzle::fit_data()
{
    QTest::addColumn<bool>("emptyRow");
    QTest::addColumn<bool>("emptyCol");
    QTest::addColumn<bool>("keepFitted");
    QTest::addColumn<double>("fit");
    QTest::addColumn<double>("scale");
    QTest::newRow("plain, fixed") << false << false << false << 560.0 / 300.0 << 1.0;
    QTest::newRow("plain, auto") << false << false << true << 560.0 / 300.0 << 560.0 / 300.0;
    QTest::newRow("empty column") << false << true << false << 1.315 << 1.0;
    QTest::newRow("empty column, auto") << false << true << true << 1.315 << 1.315;
    QTest::newRow("empty row") << true << false << false << 1.24 << 1.0; // (560 div 3) * 2 / 300
}

void TestPuzzle::fit()
{
    QFETCH(bool, emptyRow);
    QFETCH(bool, emptyCol);
    QFETCH(bool, keepFitted);
    QFETCH(double, fit);
    QFETCH(double, scale);
    Bench b(400, 300, 2, 2, emptyRow, emptyCol);
    b.puzzle.updateFit(790, 560, keepFitted);
    QVERIFY2(qFuzzyCompare(b.puzzle.fitScale(), fit), qPrintable(QString::number(b.puzzle.fitScale(), 'g', 17)));
    QVERIFY(qFuzzyCompare(b.puzzle.scale(), scale));
    QVERIFY(b.display.width() <= 790 && b.display.height() <= 560);

    // Without Auto Best Fit a smaller panel shrinks the picture to the new fit; a larger one leaves it alone.
    b.puzzle.updateFit(395, 280, false);
    const double smaller = b.puzzle.fitScale();
    QVERIFY(smaller < fit && smaller < 1.0);
    QCOMPARE(b.puzzle.scale(), smaller);
    b.puzzle.updateFit(790, 560, false);
    QCOMPARE(b.puzzle.scale(), smaller);
}

void TestPuzzle::fitTolerance()
{
    Bench b(400, 300, 2, 2);
    b.puzzle.updateFit(790, 560, true);
    const int before = b.changes;
    PuzzleProbe(b.puzzle).setScale(b.puzzle.fitScale() * (1 + 1e-6));
    b.puzzle.updateFit(790, 560, true);
    b.puzzle.updateFit(790, 560, false);
    QCOMPARE(b.changes, before); // nothing rebuilt within the tolerances
    PuzzleProbe(b.puzzle).setScale(b.puzzle.fitScale() * 1.0001);
    b.puzzle.updateFit(790, 560, false);
    QCOMPARE(b.puzzle.scale(), b.puzzle.fitScale());
    QVERIFY(b.changes > before);
}

void TestPuzzle::tinyPanel()
{
    // A panel narrower than the grid gives a fit of 0; the cells stay one pixel wide and nothing divides by 0.
    Bench b(400, 300, 2, 2, true, true);
    b.puzzle.updateFit(2, 2, true);
    QCOMPARE(b.puzzle.fitScale(), 0.0);
    QVERIFY(b.puzzle.scale() > 0); // the scale stays positive, at its smallest
    QCOMPARE(b.puzzle.cellWidth(), 1);
    QCOMPARE(b.puzzle.cellHeight(), 1);
    QCOMPARE(b.display.size(), QSize(3, 3));
    b.puzzle.hoverAt(1, 1);
    QCOMPARE(b.puzzle.selected(), CellPos(2, 2));
    QVERIFY(!b.puzzle.nearCellCentre(0, 0)); // threshold 0: nothing is near
}

void TestPuzzle::zoomOut()
{
    Bench b(400, 300, 2, 2);
    b.puzzle.updateFit(790, 560, false);
    b.puzzle.zoomOut();
    QVERIFY(qFuzzyCompare(b.puzzle.scale(), 1 / 1.1));
    QCOMPARE(b.puzzle.cellWidth(), 182);  // 181.8
    QCOMPARE(b.puzzle.cellHeight(), 136); // 136.4
    b.puzzle.actualSize();
    QCOMPARE(b.puzzle.scale(), 1.0);
    QCOMPARE(b.puzzle.cellWidth(), 200);
    b.puzzle.bestFit();
    QCOMPARE(b.puzzle.scale(), b.puzzle.fitScale());

    // Zooming out for ever never makes an empty cell.
    for (int i = 0; i < 120; ++i)
        b.puzzle.zoomOut();
    QCOMPARE(b.puzzle.cellWidth(), 1);
    QCOMPARE(b.puzzle.cellHeight(), 1);
}

void TestPuzzle::canZoomOut_data()
{
    QTest::addColumn<QSize>("sourceSize");
    QTest::addColumn<int>("zoomOuts");
    QTest::addColumn<bool>("can");
    QTest::newRow("200x150 at actual size") << QSize(200, 150) << 0 << false;
    QTest::newRow("256 is not more than 256") << QSize(256, 100) << 0 << false;
    QTest::newRow("258 wide") << QSize(258, 100) << 0 << true;
    QTest::newRow("400x300") << QSize(400, 300) << 0 << true;
    QTest::newRow("400x300 after 4 steps (274)") << QSize(400, 300) << 4 << true;
    QTest::newRow("400x300 after 5 steps (248)") << QSize(400, 300) << 5 << false;
}

void TestPuzzle::canZoomOut()
{
    QFETCH(QSize, sourceSize);
    QFETCH(int, zoomOuts);
    QFETCH(bool, can);
    Bench b(sourceSize.width(), sourceSize.height(), 2, 2);
    for (int i = 0; i < zoomOuts; ++i)
        b.puzzle.zoomOut();
    QCOMPARE(b.puzzle.canZoomOut(), can);
}

void TestPuzzle::canActualSize_data()
{
    QTest::addColumn<QSize>("sourceSize");
    QTest::addColumn<int>("zoomIns");
    QTest::addColumn<bool>("can");
    QTest::newRow("at actual size") << QSize(400, 300) << 0 << false;
    QTest::newRow("after a zoom") << QSize(400, 300) << 1 << true;
    QTest::newRow("larger than the panel") << QSize(1000, 800) << 0 << false;
    QTest::newRow("small picture zoomed") << QSize(200, 150) << 2 << true;
}

void TestPuzzle::canActualSize()
{
    QFETCH(QSize, sourceSize);
    QFETCH(int, zoomIns);
    QFETCH(bool, can);
    Bench b(sourceSize.width(), sourceSize.height(), 2, 2);
    QVERIFY(!b.puzzle.canActualSize()); // no fit yet
    b.puzzle.updateFit(790, 560, false);
    for (int i = 0; i < zoomIns; ++i)
        b.puzzle.zoomIn();
    QCOMPARE(b.puzzle.canActualSize(), can);
}

QTEST_MAIN(TestPuzzle)
#include "TestPuzzle.moc"
