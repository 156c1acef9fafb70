// Tests of the puzzle object: geometry, zoom, cell rendering, tangling, moves and the advice flash.
#include "Puzzle.h"

#include "Effects.h"
#include "UserError.h"
#include "Lcg.h"
#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QtTest>

#include <chrono>
#include <cstring>
#include <memory>

namespace {

// A picture whose every pixel differs from its neighbours, so that any misplaced row or column shows.
QImage makeSource(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 3 + y) & 255, (y * 7 + x / 2) & 255, (x ^ (y * 5)) & 255);
    }
    return image;
}

// A small texture that looks like no part of the source picture.
QImage makeTexture()
{
    QImage image = createWorkingBitmap(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            image.setPixel(x, y, qRgb(10 + x * 30, 200 - y * 20, 77));
    return image;
}

QRgb inverted(QRgb c)
{
    return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c));
}

// The display, the texture and the puzzle that draws into them, made the way the main window makes them.
struct Bench {
    QImage display;
    QImage texture = makeTexture();
    Puzzle puzzle{&display, &texture};
    int changes = 0;
    int messages = 0;
    QRect lastChange;

    Bench(int width, int height, int rows, int cols, bool emptyRow = false, bool emptyCol = false,
           qint32 effect = Effect::Negative)
    {
        puzzle.source = makeSource(width, height);
        puzzle.displayChanged = [this](const QRect &r) {
            ++changes;
            lastChange = r;
        };
        puzzle.processMessages = [this] { ++messages; };
        puzzle.setup(effect, rows, cols, false, emptyRow, emptyCol);
    }

    // Play mode on the solved arrangement, without a tangle.
    void play()
    {
        puzzle.editMode = false;
        puzzle.renderAll();
    }

    QRect cellRect(QPoint p) const
    {
        return QRect((p.x() - 1) * puzzle.cellWidth, (p.y() - 1) * puzzle.cellHeight, puzzle.cellWidth,
                     puzzle.cellHeight);
    }

    // The piece the cell at P should show, before its frame is drawn.
    QImage expectedPiece(QPoint p, bool plain) const
    {
        if (puzzle.body.isEmpty(p.x(), p.y())) {
            QImage tiled = createWorkingBitmap(puzzle.cellWidth, puzzle.cellHeight);
            for (int y = 0; y < tiled.height(); ++y)
                for (int x = 0; x < tiled.width(); ++x)
                    tiled.setPixel(x, y, texture.pixel(x % texture.width(), y % texture.height()));
            return tiled;
        }
        QRect r;
        puzzle.body.currentCellRect(p.x(), p.y(), puzzle.cellWidth, puzzle.cellHeight, r);
        return (plain ? puzzle.plain : puzzle.concealed).copy(r);
    }

    // True when the cell shows the piece inside its frame band (which may be up to 8 pixels wide).
    bool showsPiece(QPoint p, bool plain) const
    {
        const QRect inner = QRect(QPoint(0, 0), cellRect(p).size()).adjusted(8, 8, -8, -8);
        return display.copy(inner.translated(cellRect(p).topLeft())) == expectedPiece(p, plain).copy(inner);
    }

    // The width of the inverted border band, read along the cell's diagonal and checked on all four sides.
    int frameWidth(QPoint p, bool plain) const
    {
        const QImage piece = expectedPiece(p, plain);
        const QRect r = cellRect(p);
        int width = 0;
        while (width < 12 && display.pixel(r.left() + width, r.top() + r.height() / 2)
                   == inverted(piece.pixel(width, r.height() / 2)))
            ++width;
        for (int d = 0; d < 12; ++d) {
            const bool in = d < width;
            const int mx = r.width() / 2, my = r.height() / 2;
            const int rx = r.width() - 1 - d, by = r.height() - 1 - d;
            if ((display.pixel(r.left() + mx, r.top() + d) == inverted(piece.pixel(mx, d))) != in
                || (display.pixel(r.left() + rx, r.top() + my) == inverted(piece.pixel(rx, my))) != in
                || (display.pixel(r.left() + mx, r.top() + by) == inverted(piece.pixel(mx, by))) != in)
                return -1;
        }
        return width;
    }

    // The window's side of the move protocol.
    int commits = 0;
    void Catch()
    {
        puzzle.dragState = DragState::Caught;
        puzzle.redrawSelected();
    }
    void press(int x, int y)
    {
        puzzle.hoverAt(x, y);
        Catch();
    }
    void move(int x, int y)
    {
        if (puzzle.dragState == DragState::Idle) {
            puzzle.hoverAt(x, y);
        } else if (puzzle.dragState == DragState::Caught) {
            if (puzzle.tryStartDrag(x, y))
                puzzle.renderDrag(x, y);
        } else if (puzzle.nearCellCentre(x, y)) {
            puzzle.commit(x, y);
            ++commits;
            Catch();
        } else {
            puzzle.renderDrag(x, y);
        }
    }
    void release(int x, int y)
    {
        if (puzzle.dragState == DragState::Row || puzzle.dragState == DragState::Column) {
            puzzle.commit(x, y);
            ++commits;
        }
        puzzle.dragState = DragState::Idle;
        puzzle.redrawSelected();
    }
};

QString rowNumbers(const TileGrid &b, int r)
{
    QStringList l;
    for (int c = 1; c <= b.totalCols(); ++c)
        l << QString::number(b.current[c - 1][r - 1].number);
    return l.join(' ');
}

QString arrangement(const TileGrid &b)
{
    QStringList l;
    for (int r = 1; r <= b.totalRows(); ++r)
        l << rowNumbers(b, r);
    return l.join(" / ");
}

// The positions whose number changed between two arrangements.
QList<QPoint> changed(const TileGrid &before, const TileGrid &after)
{
    QList<QPoint> l;
    for (int c = 1; c <= after.totalCols(); ++c)
        for (int r = 1; r <= after.totalRows(); ++r)
            if (before.current[c - 1][r - 1].number != after.current[c - 1][r - 1].number)
                l << QPoint(c, r);
    return l;
}

class TestClock
{
public:
    explicit TestClock(quint32 seed) { Lcg::setTestClock([seed] { return seed; }); }
    ~TestClock() { Lcg::setTestClock({}); }
};

} // namespace

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
    void loadPictureTitle_data();
    void loadPictureTitle();

    void tangleSteps_data();
    void tangleSteps();
    void tangleEveryStepMoves_data();
    void tangleEveryStepMoves();
    void tangleTwoByTwoNeverSolved();
    void tangleStartsFromSolved();

    void hover();
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
    void advice_data();
    void advice();
};

void TestPuzzle::newPuzzle()
{
    QImage display;
    const QImage texture = makeTexture();
    const Puzzle p(&display, &texture);
    QCOMPARE(p.scale, 1.0);
    QCOMPARE(p.fitScale, 0.0);
    QVERIFY(!p.editMode && !p.solved && !p.modified && !p.semiEffect);
    QVERIFY(isNoCell(p.selected));
    QCOMPARE(p.dragState, DragState::Idle);
    QCOMPARE(p.body.rows, 0);
    QVERIFY(p.title.isEmpty() && p.fileName.isEmpty());
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
    QTest::newRow("with empty row and column") << QSize(300, 200) << 2 << 3 << true << 1.0 << QSize(100, 100) << 15
                                               << QSize(300, 200) << QSize(400, 300);
    QTest::newRow("301 wide in 3 columns") << QSize(301, 200) << 2 << 3 << false << 1.0 << QSize(100, 100) << 15
                                           << QSize(300, 200) << QSize(300, 200);
    QTest::newRow("150.5 rounds down to even") << QSize(301, 200) << 2 << 2 << false << 1.0 << QSize(150, 100)
                                               << 15 << QSize(300, 200) << QSize(300, 200);
    QTest::newRow("151.5 rounds up to even") << QSize(303, 200) << 2 << 2 << false << 1.0 << QSize(152, 100) << 15
                                             << QSize(304, 200) << QSize(304, 200);
    QTest::newRow("threshold 30 gives 4") << QSize(120, 60) << 2 << 2 << false << 1.0 << QSize(60, 30) << 4
                                          << QSize(120, 60) << QSize(120, 60);
    QTest::newRow("threshold 50 gives 8") << QSize(100, 200) << 2 << 2 << false << 1.0 << QSize(50, 100) << 8
                                          << QSize(100, 200) << QSize(100, 200);
    QTest::newRow("threshold 70 gives 10") << QSize(210, 140) << 2 << 3 << false << 1.0 << QSize(70, 70) << 10
                                           << QSize(210, 140) << QSize(210, 140);
    QTest::newRow("scaled by 1.5") << QSize(300, 200) << 2 << 3 << false << 1.5 << QSize(150, 150) << 22
                                   << QSize(450, 300) << QSize(450, 300);
    QTest::newRow("never below one pixel") << QSize(1, 1) << 4 << 4 << true << 1.0 << QSize(1, 1) << 0
                                           << QSize(4, 4) << QSize(5, 5);
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
    b.puzzle.scale = scale;
    b.puzzle.rebuild();
    QCOMPARE(QSize(b.puzzle.cellWidth, b.puzzle.cellHeight), cell);
    QCOMPARE(b.puzzle.dragThreshold, threshold);
    QCOMPARE(b.puzzle.plain.size(), plainSize);
    QCOMPARE(b.puzzle.concealed.size(), plainSize);
    QCOMPARE(b.display.size(), displaySize);
    QCOMPARE(b.puzzle.cellBitmap.size(), cell);
    QCOMPARE(b.puzzle.rowStrip.size(), QSize(displaySize.width(), cell.height()));
    QCOMPARE(b.puzzle.colStrip.size(), QSize(cell.width(), displaySize.height()));
    QCOMPARE(b.display.format(), WorkingFormat);
    QCOMPARE(b.puzzle.plain.format(), WorkingFormat);
}

void TestPuzzle::cellAt_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QPoint>("cell");
    QTest::newRow("just left of the picture") << QPoint(-1, 10) << QPoint(0, 1);
    QTest::newRow("just above the picture") << QPoint(10, -1) << QPoint(1, 0);
    QTest::newRow("origin") << QPoint(0, 0) << QPoint(1, 1);
    QTest::newRow("last pixel of the first cell") << QPoint(99, 99) << QPoint(1, 1);
    QTest::newRow("first pixel of column 2") << QPoint(100, 0) << QPoint(2, 1);
    QTest::newRow("a whole cell to the left") << QPoint(-100, 150) << QPoint(-1, 2);
    QTest::newRow("bottom right") << QPoint(299, 199) << QPoint(3, 2);
}

void TestPuzzle::cellAt()
{
    QFETCH(QPoint, pixel);
    QFETCH(QPoint, cell);
    Bench b(300, 200, 2, 3);
    QCOMPARE(b.puzzle.cellAt(pixel.x(), pixel.y()), cell);
    QCOMPARE(b.puzzle.cellCentre(QPoint(2, 1)), QPoint(150, 50));
    QCOMPARE(b.puzzle.cellCentre(QPoint(3, 2)), QPoint(250, 150));
}

void TestPuzzle::setupState()
{
    Bench b(300, 200, 2, 3, false, false, Effect::Hidden);
    b.puzzle.selected = QPoint(2, 2);
    b.puzzle.solved = true;
    b.puzzle.setup(Effect::Dark, 3, 2, true, true, false);
    QCOMPARE(b.puzzle.version, 1);
    QCOMPARE(b.puzzle.effect, qint32(Effect::Dark));
    QVERIFY(b.puzzle.semiEffect);
    QVERIFY(b.puzzle.editMode);
    QVERIFY(!b.puzzle.solved);
    QVERIFY(b.puzzle.modified);
    QVERIFY(isNoCell(b.puzzle.selected));
    QCOMPARE(b.puzzle.body.totalRows(), 4);
    QCOMPARE(b.display.size(), QSize(300, 268)); // cells 150 x 67 (66.67 rounded)
}

void TestPuzzle::rebuildKeepsDisplay()
{
    Bench b(300, 200, 2, 3);
    const uchar *bits = b.display.constBits();
    b.puzzle.tangle();
    QCOMPARE(b.display.constBits(), bits);
    b.puzzle.scale = 2;
    b.puzzle.rebuild();
    QCOMPARE(b.display.size(), QSize(600, 400));
}

void TestPuzzle::zoomInSteps()
{
    Bench b(400, 300, 2, 2);
    b.puzzle.updateFit(790, 560, false);
    QVERIFY(qFuzzyCompare(b.puzzle.fitScale, 560.0 / 300.0));
    QCOMPARE(b.puzzle.scale, 1.0);
    QCOMPARE(b.puzzle.cellWidth, 200);
    QCOMPARE(b.puzzle.cellHeight, 150);
    const double steps[] = {1.1, 1.21, 1.331, 1.4641, 1.61051, 1.771561};
    for (double step : steps) {
        QVERIFY(b.puzzle.canZoomIn());
        b.puzzle.zoomIn();
        QVERIFY2(qFuzzyCompare(b.puzzle.scale, step), qPrintable(QString::number(b.puzzle.scale)));
        b.puzzle.updateFit(790, 560, false);
        QVERIFY(qFuzzyCompare(b.puzzle.scale, step));
    }
    b.puzzle.zoomIn();
    QCOMPARE(b.puzzle.scale, b.puzzle.fitScale);
    QCOMPARE(b.puzzle.cellWidth, 373);
    QCOMPARE(b.puzzle.cellHeight, 280);
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
    QVERIFY2(qFuzzyCompare(b.puzzle.fitScale, fit), qPrintable(QString::number(b.puzzle.fitScale, 'g', 17)));
    QVERIFY(qFuzzyCompare(b.puzzle.scale, scale));
    QVERIFY(b.display.width() <= 790 && b.display.height() <= 560);

    // Without Auto Best Fit a smaller panel shrinks the picture to the new fit; a larger one leaves it alone.
    b.puzzle.updateFit(395, 280, false);
    const double smaller = b.puzzle.fitScale;
    QVERIFY(smaller < fit && smaller < 1.0);
    QCOMPARE(b.puzzle.scale, smaller);
    b.puzzle.updateFit(790, 560, false);
    QCOMPARE(b.puzzle.scale, smaller);
}

void TestPuzzle::fitTolerance()
{
    Bench b(400, 300, 2, 2);
    b.puzzle.updateFit(790, 560, true);
    const int before = b.changes;
    b.puzzle.scale = b.puzzle.fitScale * (1 + 1e-6);
    b.puzzle.updateFit(790, 560, true);
    b.puzzle.updateFit(790, 560, false);
    QCOMPARE(b.changes, before); // nothing rebuilt within the tolerances
    b.puzzle.scale = b.puzzle.fitScale * 1.0001;
    b.puzzle.updateFit(790, 560, false);
    QCOMPARE(b.puzzle.scale, b.puzzle.fitScale);
    QVERIFY(b.changes > before);
}

void TestPuzzle::tinyPanel()
{
    // A panel narrower than the grid gives a fit of 0; the cells stay one pixel wide and nothing divides by 0.
    Bench b(400, 300, 2, 2, true, true);
    b.puzzle.updateFit(2, 2, true);
    QCOMPARE(b.puzzle.fitScale, 0.0);
    QCOMPARE(b.puzzle.cellWidth, 1);
    QCOMPARE(b.puzzle.cellHeight, 1);
    QCOMPARE(b.display.size(), QSize(3, 3));
    b.puzzle.hoverAt(1, 1);
    QCOMPARE(b.puzzle.selected, QPoint(2, 2));
    QVERIFY(!b.puzzle.nearCellCentre(0, 0)); // threshold 0: nothing is near
}

void TestPuzzle::zoomOut()
{
    Bench b(400, 300, 2, 2);
    b.puzzle.updateFit(790, 560, false);
    b.puzzle.zoomOut();
    QVERIFY(qFuzzyCompare(b.puzzle.scale, 1 / 1.1));
    QCOMPARE(b.puzzle.cellWidth, 182); // 181.8
    QCOMPARE(b.puzzle.cellHeight, 136); // 136.4
    b.puzzle.actualSize();
    QCOMPARE(b.puzzle.scale, 1.0);
    QCOMPARE(b.puzzle.cellWidth, 200);
    b.puzzle.bestFit();
    QCOMPARE(b.puzzle.scale, b.puzzle.fitScale);

    // Zooming out for ever never makes an empty cell.
    for (int i = 0; i < 120; ++i)
        b.puzzle.zoomOut();
    QCOMPARE(b.puzzle.cellWidth, 1);
    QCOMPARE(b.puzzle.cellHeight, 1);
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

void TestPuzzle::semiEffect_data()
{
    QTest::addColumn<bool>("editMode");
    QTest::addColumn<bool>("semiEffect");
    QTest::addColumn<bool>("selectedPlain");
    QTest::newRow("play, semi-effect") << false << true << true;
    QTest::newRow("play, full effect") << false << false << false;
    QTest::newRow("edit mode, semi-effect") << true << true << false;
}

void TestPuzzle::semiEffect()
{
    QFETCH(bool, editMode);
    QFETCH(bool, semiEffect);
    QFETCH(bool, selectedPlain);
    Bench b(300, 200, 2, 3);
    b.puzzle.body.shift(QPoint(1, 1), QPoint(2, 1));
    b.puzzle.semiEffect = semiEffect;
    b.puzzle.editMode = editMode;
    b.puzzle.selected = QPoint(2, 1);
    b.puzzle.renderAll();
    if (editMode) // take the stamp off again to see the cells under it
        stampTwoLines(b.display, QStringLiteral("Edit"), QStringLiteral("Mode"));
    QVERIFY(b.puzzle.plain.copy(0, 0, 100, 100) != b.puzzle.concealed.copy(0, 0, 100, 100));
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r) {
            const bool plain = selectedPlain && QPoint(c, r) == QPoint(2, 1);
            QVERIFY2(b.showsPiece(QPoint(c, r), plain), qPrintable(QStringLiteral("cell %1,%2").arg(c).arg(r)));
        }
}

void TestPuzzle::frames_data()
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
    QTest::newRow("selected while dragging") << false << true << int(DragState::Row) << false << false << 2;
    QTest::newRow("selected") << false << true << int(DragState::Idle) << false << false << 2;
    QTest::newRow("grid line") << false << false << int(DragState::Caught) << false << false << 1;
    QTest::newRow("solved, no grid") << false << false << int(DragState::Idle) << true << false << 0;
    QTest::newRow("empty cell, grid line") << false << false << int(DragState::Idle) << false << true << 1;
    QTest::newRow("empty cell, caught") << false << true << int(DragState::Caught) << false << true << 4;
}

void TestPuzzle::frames()
{
    QFETCH(bool, advice);
    QFETCH(bool, isSelected);
    QFETCH(int, state);
    QFETCH(bool, solved);
    QFETCH(bool, emptyCell);
    QFETCH(int, width);
    Bench b(300, 200, 2, 3, false, true);
    b.play();
    const QPoint p = emptyCell ? QPoint(4, 2) : QPoint(2, 2);
    b.puzzle.solved = solved;
    b.puzzle.dragState = DragState(state);
    b.puzzle.selected = isSelected ? p : QPoint(1, 1);
    b.puzzle.drawCell(p, advice);
    QVERIFY(b.showsPiece(p, solved));
    QCOMPARE(b.frameWidth(p, solved), width);
    QCOMPARE(b.lastChange, b.cellRect(p));
}

void TestPuzzle::emptyCellTiled()
{
    Bench b(300, 200, 2, 3, true, true);
    b.puzzle.solved = true; // no frame: the whole cell is texture
    b.puzzle.editMode = false;
    b.puzzle.renderAll();
    for (const QPoint p : {QPoint(4, 1), QPoint(1, 3), QPoint(4, 3)})
        QCOMPARE(b.display.copy(b.cellRect(p)), b.expectedPiece(p, true));
    QCOMPARE(b.display.copy(0, 0, 300, 200), b.puzzle.plain);
}

void TestPuzzle::editStamp()
{
    Bench b(300, 200, 2, 3);
    QVERIFY(b.puzzle.editMode);
    const QImage stamped = b.display.copy();
    b.puzzle.editMode = false;
    b.puzzle.renderAll();
    const QImage bare = b.display.copy();
    QVERIFY(stamped != bare);
    // The stamp is an exclusive-or: stamping the bare picture once gives exactly what edit mode showed.
    QImage again = bare;
    stampTwoLines(again, QStringLiteral("Edit"), QStringLiteral("Mode"));
    QCOMPARE(again, stamped);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r)
            QCOMPARE(b.frameWidth(QPoint(c, r), false), 1);
}

void TestPuzzle::solvedShowsPlainPicture()
{
    Bench b(300, 200, 2, 3);
    b.puzzle.tangle();
    // Put it back by hand, as the player's last move would.
    b.puzzle.body.reset();
    b.puzzle.selected = QPoint(1, 1);
    b.puzzle.dragState = DragState::Row;
    QVERIFY(b.puzzle.commit(50, 50));
    b.puzzle.dragState = DragState::Idle;
    b.puzzle.deselect();
    b.puzzle.renderAll();
    QCOMPARE(b.display, b.puzzle.plain);
}

void TestPuzzle::renderReports()
{
    Bench b(300, 200, 2, 3);
    b.changes = b.messages = 0;
    b.puzzle.renderAll();
    QCOMPARE(b.changes, 1);
    QCOMPARE(b.lastChange, QRect(0, 0, 300, 200));
    QCOMPARE(b.messages, 1);
    b.puzzle.drawCell(QPoint(3, 2), false);
    QCOMPARE(b.changes, 2);
    QCOMPARE(b.lastChange, QRect(200, 100, 100, 100));
    QCOMPARE(b.messages, 1);
    b.puzzle.drawCell(NoCell, false);
    QCOMPARE(b.changes, 2);

    // Without an owner's hooks the puzzle still draws.
    b.puzzle.displayChanged = nullptr;
    b.puzzle.processMessages = nullptr;
    b.puzzle.renderAll();
}

void TestPuzzle::cellsFollowArrangement()
{
    Bench b(400, 300, 3, 4, true, true);
    b.play();
    b.puzzle.body.shift(QPoint(1, 2), QPoint(4, 2));
    b.puzzle.body.shift(QPoint(5, 1), QPoint(5, 3));
    b.puzzle.body.shift(QPoint(2, 4), QPoint(5, 4));
    b.puzzle.renderAll();
    for (int c = 1; c <= 5; ++c)
        for (int r = 1; r <= 4; ++r) {
            QVERIFY(b.showsPiece(QPoint(c, r), false));
            QCOMPARE(b.frameWidth(QPoint(c, r), false), 1);
        }
}

void TestPuzzle::setEffect()
{
    Bench b(300, 200, 2, 3, false, false, 99); // no effect: concealed is the plain picture
    QCOMPARE(b.puzzle.concealed, b.puzzle.plain);
    b.puzzle.setEffect(Effect::Negative);
    QCOMPARE(b.puzzle.effect, qint32(Effect::Negative));
    const QImage piece = b.puzzle.concealed.copy(100, 0, 100, 100);
    QCOMPARE(piece.pixel(50, 50), inverted(b.puzzle.plain.pixel(150, 50)));
    stampTwoLines(b.display, QStringLiteral("Edit"), QStringLiteral("Mode"));
    QVERIFY(b.showsPiece(QPoint(2, 1), false));
}

void TestPuzzle::loadPictureTitle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("fails");
    QTest::newRow("dots in the name") << "/some/folder/my.photo.png" << "my.photo" << false;
    QTest::newRow("dot in the folder only") << "/some/fol.der/photo" << "" << false;
    QTest::newRow("relative") << "holiday.gif.png" << "holiday.gif" << false;
    QTest::newRow("missing file keeps the title") << "/nonexistent/folder/beach.jpg" << "beach" << true;
}

void TestPuzzle::loadPictureTitle()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    QFETCH(bool, fails);
    QImage display;
    Puzzle p(&display, nullptr);
    p.source = makeSource(30, 20);
    bool raised = false;
    try {
        p.loadPicture(path);
    } catch (const UserError &) {
        raised = true;
    }
    QCOMPARE(raised, fails);
    QCOMPARE(p.title, title);
    QCOMPARE(p.source.size(), QSize(30, 20)); // unread extensions leave the picture alone
}

void TestPuzzle::tangleSteps_data()
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

void TestPuzzle::tangleSteps()
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
        TileGrid Previous = B.puzzle.body;
        B.puzzle.processMessages = [&renders] { ++renders; };
        B.puzzle.tangleStep = [&] {
            ++Steps;
            // Every step is on screen when the window is told about it.
            QImage shown = B.display.copy();
            B.puzzle.processMessages = nullptr;
            B.puzzle.renderAll();
            QCOMPARE(B.display, shown);
            B.puzzle.processMessages = [&renders] { ++renders; };
            Previous = B.puzzle.body;
        };
        B.puzzle.modified = false;
        B.puzzle.tangle();
        QCOMPARE(Steps, shifts);
        QCOMPARE(renders, shifts + 2); // the rebuild, the solved arrangement, then each step
        QVERIFY(!B.puzzle.editMode);
        QVERIFY(!B.puzzle.solved);
        QVERIFY(!B.puzzle.modified);
        QVERIFY(B.puzzle.body.isPlayable());
        QCOMPARE(arrangement(Previous), arrangement(B.puzzle.body)); // the last step was reported too
    }
}

void TestPuzzle::tangleEveryStepMoves_data()
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

void TestPuzzle::tangleEveryStepMoves()
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
        B.puzzle.body.reset();
        TileGrid Previous = B.puzzle.body;
        int LastLine = 0; // column number, or minus the row number
        int Step = 0;
        bool acrossMoved = false;
        B.puzzle.tangleStep = [&] {
            ++Step;
            const QString where = QStringLiteral("seed %1 step %2").arg(Seed).arg(Step);
            const QList<QPoint> moved = changed(Previous, B.puzzle.body);
            Previous = B.puzzle.body;
            if (moved.isEmpty()) {
                QVERIFY2(acrossMoved, qPrintable(where));
                LastLine = 0;
                return;
            }
            bool sameColumn = true, sameRow = true;
            for (const QPoint &p : moved) {
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
        };
        B.puzzle.tangle();
        B.puzzle.tangleStep = nullptr;
        QCOMPARE(Step, B.puzzle.body.totalRows() + B.puzzle.body.totalCols() - 1);
    }
}

void TestPuzzle::tangleTwoByTwoNeverSolved()
{
    Bench b(100, 100, 2, 2);
    for (quint32 seed = 0; seed < 300; ++seed) {
        const TestClock clock(seed * 40503u + 7u);
        b.puzzle.tangle();
        QVERIFY2(!b.puzzle.body.isSolved(), qPrintable(QString::number(seed)));
    }
}

void TestPuzzle::tangleStartsFromSolved()
{
    Bench b(300, 300, 3, 3, true, false);
    const TestClock clock(4242);
    b.puzzle.tangle();
    const QString first = arrangement(b.puzzle.body);
    b.puzzle.body.shift(QPoint(1, 2), QPoint(3, 2));
    b.puzzle.tangle();
    QCOMPARE(arrangement(b.puzzle.body), first);
}

void TestPuzzle::hover()
{
    Bench b(300, 200, 2, 3);
    b.play();
    b.puzzle.hoverAt(150, 60);
    QCOMPARE(b.puzzle.selected, QPoint(2, 1));
    QCOMPARE(b.puzzle.anchor, QPoint(150, 50));
    QCOMPARE(b.frameWidth(QPoint(2, 1), false), 2);
    const int changes = b.changes;
    b.puzzle.hoverAt(199, 99); // same cell: nothing redrawn
    QCOMPARE(b.changes, changes);
    b.puzzle.hoverAt(250, 150);
    QCOMPARE(b.puzzle.selected, QPoint(3, 2));
    QCOMPARE(b.puzzle.anchor, QPoint(250, 150));
    QCOMPARE(b.frameWidth(QPoint(2, 1), false), 1);
    QCOMPARE(b.frameWidth(QPoint(3, 2), false), 2);
    QCOMPARE(b.changes, changes + 2);
    b.puzzle.hoverAt(300, 150); // past the picture: no cell
    QVERIFY(isNoCell(b.puzzle.selected));
    QCOMPARE(b.frameWidth(QPoint(3, 2), false), 1);
    b.puzzle.hoverAt(10, 10);
    b.puzzle.deselect();
    QVERIFY(isNoCell(b.puzzle.selected));
    QCOMPARE(b.frameWidth(QPoint(1, 1), false), 1);
}

void TestPuzzle::dragStart_data()
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

void TestPuzzle::dragStart()
{
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(int, state);
    Bench b(300, 200, 2, 3);
    b.play();
    QVERIFY(!b.puzzle.tryStartDrag(300, 300)); // nothing selected
    b.press(150, 50);
    QCOMPARE(b.frameWidth(QPoint(2, 1), false), 4);
    const bool started = b.puzzle.tryStartDrag(150 + dx, 50 + dy);
    QCOMPARE(started, state != int(DragState::Caught));
    QCOMPARE(int(b.puzzle.dragState), state);
    if (state == int(DragState::Row))
        QCOMPARE(b.puzzle.rowStrip, b.display.copy(0, 0, 300, 100));
    if (state == int(DragState::Column))
        QCOMPARE(b.puzzle.colStrip, b.display.copy(100, 0, 100, 200));
}

void TestPuzzle::nearCellCentre_data()
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

void TestPuzzle::nearCellCentre()
{
    QFETCH(int, offset);
    QFETCH(bool, near);
    Bench b(300, 200, 2, 3);
    QCOMPARE(b.puzzle.nearCellCentre(50 + offset, 50), near);
    QCOMPARE(b.puzzle.nearCellCentre(50, 50 + offset), near);
}

void TestPuzzle::dragCommits_data()
{
    QTest::addColumn<QList<int>>("path"); // pointer offsets from the caught cell's centre, along the row
    QTest::addColumn<int>("commits");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QPoint>("caught");
    QTest::newRow("follows the pointer") << QList<int>{15, 40, 85} << 0 << "1 2 3 4" << QPoint(1, 1);
    QTest::newRow("one cell at 86") << QList<int>{15, 40, 86} << 1 << "4 1 2 3" << QPoint(2, 1);
    QTest::newRow("one cell at 114") << QList<int>{20, 114} << 1 << "4 1 2 3" << QPoint(2, 1);
    QTest::newRow("jump over the window") << QList<int>{15, 80, 120, 150} << 0 << "1 2 3 4" << QPoint(1, 1);
    QTest::newRow("then two cells") << QList<int>{15, 80, 120, 150, 190} << 1 << "3 4 1 2" << QPoint(3, 1);
    QTest::newRow("one and one more") << QList<int>{15, 90, 110, 150, 190} << 2 << "3 4 1 2" << QPoint(3, 1);
    QTest::newRow("there and back") << QList<int>{15, 100, 70, 40, 5} << 2 << "1 2 3 4" << QPoint(1, 1);
}

void TestPuzzle::dragCommits()
{
    QFETCH(QList<int>, path);
    QFETCH(int, commits);
    QFETCH(QString, row);
    QFETCH(QPoint, caught);
    Bench b(400, 200, 2, 4);
    b.play();
    b.press(50, 50);
    for (int offset : path)
        b.move(50 + offset, 50);
    QCOMPARE(b.commits, commits);
    QCOMPARE(rowNumbers(b.puzzle.body, 1), row);
    QCOMPARE(rowNumbers(b.puzzle.body, 2), QStringLiteral("5 6 7 8"));
    QCOMPARE(b.puzzle.selected, caught);
    QCOMPARE(b.puzzle.solved, commits > 0 && row == QStringLiteral("1 2 3 4"));
    if (commits > 0 && !b.puzzle.solved) {
        // After a snap the line on screen is exactly the new arrangement with the caught cell framed.
        const QImage shown = b.display.copy();
        b.puzzle.renderAll();
        QCOMPARE(b.display, shown);
    }
}

void TestPuzzle::wrapLeft()
{
    Bench left(300, 200, 2, 3, false, true);
    left.play();
    left.press(50, 150);
    left.move(30, 150);
    QCOMPARE(left.puzzle.dragState, DragState::Row);
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

    QCOMPARE(rowNumbers(left.puzzle.body, 2), QStringLiteral("5 6 0 4"));
    QCOMPARE(arrangement(left.puzzle.body), arrangement(right.puzzle.body));
    QCOMPARE(left.puzzle.selected, QPoint(4, 2));
    QCOMPARE(left.display, right.display);
}

void TestPuzzle::releaseCommitsUnderPointer_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<QString>("row");
    QTest::newRow("halfway, still in column 2") << 199 << "3 1 2";
    QTest::newRow("halfway, column 3") << 200 << "2 3 1";
    QTest::newRow("just right of the start") << 99 << "1 2 3";
}

void TestPuzzle::releaseCommitsUnderPointer()
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
    QCOMPARE(rowNumbers(b.puzzle.body, 1), row);
    QCOMPARE(b.puzzle.dragState, DragState::Idle);
    QCOMPARE(b.puzzle.solved, row == QStringLiteral("1 2 3"));
    if (!b.puzzle.solved) {
        const QImage shown = b.display.copy();
        b.puzzle.renderAll();
        QCOMPARE(b.display, shown);
    }
}

void TestPuzzle::backToOwnCell()
{
    Bench b(300, 200, 2, 3);
    b.play();
    QVERIFY(!b.puzzle.solved);
    b.press(150, 150);
    b.move(150, 120);
    QCOMPARE(b.puzzle.dragState, DragState::Column);
    b.move(150, 80);
    b.move(150, 140);
    QCOMPARE(b.commits, 1);
    QCOMPARE(b.puzzle.selected, QPoint(2, 2));
    QVERIFY(b.puzzle.body.isSolved());
    QVERIFY(b.puzzle.solved); // the solved test ran although nothing moved
}

void TestPuzzle::commitSolves()
{
    Bench b(300, 200, 2, 3);
    b.puzzle.body.shift(QPoint(1, 1), QPoint(2, 1));
    b.play();
    b.press(150, 50);
    b.move(120, 50);
    b.move(55, 50);
    QVERIFY(b.puzzle.solved);

    // In edit mode nothing counts as solved.
    b.puzzle.editMode = true;
    b.puzzle.dragState = DragState::Row;
    QVERIFY(!b.puzzle.commit(50, 50));
    QVERIFY(!b.puzzle.solved);
}

void TestPuzzle::commitOffGrid()
{
    // Without confinement the pointer can leave the line or the picture; the move follows the line's own
    // direction and never reaches a position outside the grid.
    Bench b(300, 200, 2, 3);
    b.play();
    b.press(50, 150);
    b.move(80, 150);
    b.release(160, 330);
    QCOMPARE(rowNumbers(b.puzzle.body, 2), QStringLiteral("6 4 5"));
    QCOMPARE(b.puzzle.selected, QPoint(2, 2));

    b.press(150, 50);
    b.move(150, 20);
    QCOMPARE(b.puzzle.dragState, DragState::Column);
    b.release(999, 250); // below the picture: wraps to row 1 again
    QCOMPARE(arrangement(b.puzzle.body), QStringLiteral("1 2 3 / 6 4 5"));

    b.puzzle.dragState = DragState::Caught;
    b.puzzle.commit(-500, -500);
    QCOMPARE(b.puzzle.selected, QPoint(2, 1));
    QCOMPARE(arrangement(b.puzzle.body), QStringLiteral("1 2 3 / 6 4 5"));
    b.puzzle.showAdvice(-500, 10); // off the picture: nothing to flash, no wait
}

void TestPuzzle::emptyCellSlides()
{
    Bench b(300, 200, 2, 3, false, true);
    b.play();
    b.press(350, 50);
    b.move(330, 50);
    b.move(250, 50);
    QCOMPARE(rowNumbers(b.puzzle.body, 1), QStringLiteral("2 3 0 1"));
    QCOMPARE(b.puzzle.selected, QPoint(3, 1));
    QVERIFY(b.showsPiece(QPoint(3, 1), false));
}

void TestPuzzle::renderDragPixels_data()
{
    QTest::addColumn<bool>("row");
    QTest::addColumn<int>("offset");
    for (bool row : {true, false})
        for (int offset : {0, 1, 37, 100, 299, 400, -1, -137, 1005})
            QTest::addRow("%s %d", row ? "row" : "column", offset) << row << offset;
}

void TestPuzzle::renderDragPixels()
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
    QCOMPARE(b.puzzle.body.isSolved(), true); // the model waits for the commit

    b.puzzle.dragState = DragState::Caught;
    const QImage held = b.display.copy();
    b.puzzle.renderDrag(0, 0);
    QCOMPARE(b.display, held);
}

void TestPuzzle::advice_data()
{
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<QPoint>("home");
    QTest::newRow("moved picture cell") << QPoint(150, 150) << QPoint(1, 2);
    QTest::newRow("picture cell at home") << QPoint(250, 50) << QPoint(3, 1);
    QTest::newRow("empty cell") << QPoint(50, 150) << QPoint(4, 1);
    QTest::newRow("empty column") << QPoint(350, 50) << QPoint(4, 1);
}

void TestPuzzle::advice()
{
    QFETCH(QPoint, click);
    QFETCH(QPoint, home);
    Bench B(300, 200, 2, 3, false, true);
    B.puzzle.body.shift(QPoint(1, 2), QPoint(2, 2)); // row 2: empty, 4, 5, 6
    B.play();
    B.puzzle.hoverAt(click.x(), click.y());
    const QImage normal = B.display.copy();

    QImage flashed;
    int Calls = 0;
    B.puzzle.processMessages = [&] {
        if (Calls++ == 0)
            flashed = B.display.copy();
    };
    const auto start = std::chrono::steady_clock::now();
    B.puzzle.showAdvice(click.x(), click.y());
    QVERIFY(std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(200));
    QVERIFY(Calls >= 2);
    QCOMPARE(B.display, normal); // the flash is gone again

    // Only the frame band of the home cell differs: inverted from the edge of its usual frame to 8 pixels in.
    const QRect r = B.cellRect(home);
    const int normalFrame = home == B.puzzle.selected ? 2 : 1;
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x) {
            const int edge = qMin(qMin(x - r.left(), r.right() - x), qMin(y - r.top(), r.bottom() - y));
            const bool flash = r.contains(x, y) && edge >= normalFrame && edge < 8;
            const QRgb want = flash ? inverted(normal.pixel(x, y)) : normal.pixel(x, y);
            if (flashed.pixel(x, y) != want)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }

    // Without a message hook the wait still lasts.
    B.puzzle.processMessages = nullptr;
    const auto again = std::chrono::steady_clock::now();
    B.puzzle.showAdvice(click.x(), click.y());
    QVERIFY(std::chrono::steady_clock::now() - again >= std::chrono::milliseconds(200));
}

QTEST_MAIN(TestPuzzle)
#include "TestPuzzle.moc"
