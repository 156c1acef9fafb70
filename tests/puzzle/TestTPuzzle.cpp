// Tests of the puzzle object: geometry, zoom, cell rendering, tangling, moves and the advice flash.
#include "TPuzzle.h"

#include "Effects.h"
#include "TError.h"
#include "TRandom.h"
#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QtTest>

#include <chrono>
#include <cstring>
#include <memory>

namespace {

// A picture whose every pixel differs from its neighbours, so that any misplaced row or column shows.
QImage MakeSource(int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y) {
        auto *Line = reinterpret_cast<QRgb *>(Image.scanLine(y));
        for (int x = 0; x < Width; ++x)
            Line[x] = qRgb((x * 3 + y) & 255, (y * 7 + x / 2) & 255, (x ^ (y * 5)) & 255);
    }
    return Image;
}

// A small texture that looks like no part of the source picture.
QImage MakeTexture()
{
    QImage Image = CreateWorkingBitmap(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            Image.setPixel(x, y, qRgb(10 + x * 30, 200 - y * 20, 77));
    return Image;
}

QRgb Inverted(QRgb C)
{
    return qRgb(255 - qRed(C), 255 - qGreen(C), 255 - qBlue(C));
}

// The display, the texture and the puzzle that draws into them, made the way the main window makes them.
struct TBench {
    QImage Display;
    QImage Texture = MakeTexture();
    TPuzzle Puzzle{&Display, &Texture};
    int Changes = 0;
    int Messages = 0;
    QRect LastChange;

    TBench(int Width, int Height, int Rows, int Cols, bool EmptyRow = false, bool EmptyCol = false,
           qint32 Effect = Effect::Negative)
    {
        Puzzle.Source = MakeSource(Width, Height);
        Puzzle.DisplayChanged = [this](const QRect &R) {
            ++Changes;
            LastChange = R;
        };
        Puzzle.ProcessMessages = [this] { ++Messages; };
        Puzzle.Setup(Effect, Rows, Cols, false, EmptyRow, EmptyCol);
    }

    // Play mode on the solved arrangement, without a tangle.
    void Play()
    {
        Puzzle.EditMode = false;
        Puzzle.RenderAll();
    }

    QRect CellRect(QPoint P) const
    {
        return QRect((P.x() - 1) * Puzzle.CellWidth, (P.y() - 1) * Puzzle.CellHeight, Puzzle.CellWidth,
                     Puzzle.CellHeight);
    }

    // The piece the cell at P should show, before its frame is drawn.
    QImage ExpectedPiece(QPoint P, bool Plain) const
    {
        if (Puzzle.Body.IsEmpty(P.x(), P.y())) {
            QImage Tiled = CreateWorkingBitmap(Puzzle.CellWidth, Puzzle.CellHeight);
            for (int y = 0; y < Tiled.height(); ++y)
                for (int x = 0; x < Tiled.width(); ++x)
                    Tiled.setPixel(x, y, Texture.pixel(x % Texture.width(), y % Texture.height()));
            return Tiled;
        }
        QRect R;
        Puzzle.Body.CurrentCellRect(P.x(), P.y(), Puzzle.CellWidth, Puzzle.CellHeight, R);
        return (Plain ? Puzzle.Plain : Puzzle.Concealed).copy(R);
    }

    // True when the cell shows the piece inside its frame band (which may be up to 8 pixels wide).
    bool ShowsPiece(QPoint P, bool Plain) const
    {
        const QRect Inner = QRect(QPoint(0, 0), CellRect(P).size()).adjusted(8, 8, -8, -8);
        return Display.copy(Inner.translated(CellRect(P).topLeft())) == ExpectedPiece(P, Plain).copy(Inner);
    }

    // The width of the inverted border band, read along the cell's diagonal and checked on all four sides.
    int FrameWidth(QPoint P, bool Plain) const
    {
        const QImage Piece = ExpectedPiece(P, Plain);
        const QRect R = CellRect(P);
        int Width = 0;
        while (Width < 12 && Display.pixel(R.left() + Width, R.top() + R.height() / 2)
                   == Inverted(Piece.pixel(Width, R.height() / 2)))
            ++Width;
        for (int d = 0; d < 12; ++d) {
            const bool In = d < Width;
            const int Mx = R.width() / 2, My = R.height() / 2;
            const int Rx = R.width() - 1 - d, By = R.height() - 1 - d;
            if ((Display.pixel(R.left() + Mx, R.top() + d) == Inverted(Piece.pixel(Mx, d))) != In
                || (Display.pixel(R.left() + Rx, R.top() + My) == Inverted(Piece.pixel(Rx, My))) != In
                || (Display.pixel(R.left() + Mx, R.top() + By) == Inverted(Piece.pixel(Mx, By))) != In)
                return -1;
        }
        return Width;
    }

    // The window's side of the move protocol.
    int Commits = 0;
    void Catch()
    {
        Puzzle.DragState = TDragState::Caught;
        Puzzle.RedrawSelected();
    }
    void Press(int X, int Y)
    {
        Puzzle.HoverAt(X, Y);
        Catch();
    }
    void Move(int X, int Y)
    {
        if (Puzzle.DragState == TDragState::Idle) {
            Puzzle.HoverAt(X, Y);
        } else if (Puzzle.DragState == TDragState::Caught) {
            if (Puzzle.TryStartDrag(X, Y))
                Puzzle.RenderDrag(X, Y);
        } else if (Puzzle.NearCellCentre(X, Y)) {
            Puzzle.Commit(X, Y);
            ++Commits;
            Catch();
        } else {
            Puzzle.RenderDrag(X, Y);
        }
    }
    void Release(int X, int Y)
    {
        if (Puzzle.DragState == TDragState::Row || Puzzle.DragState == TDragState::Column) {
            Puzzle.Commit(X, Y);
            ++Commits;
        }
        Puzzle.DragState = TDragState::Idle;
        Puzzle.RedrawSelected();
    }
};

QString RowNumbers(const TBody &B, int r)
{
    QStringList L;
    for (int c = 1; c <= B.TotalCols(); ++c)
        L << QString::number(B.Current[c - 1][r - 1].Number);
    return L.join(' ');
}

QString Arrangement(const TBody &B)
{
    QStringList L;
    for (int r = 1; r <= B.TotalRows(); ++r)
        L << RowNumbers(B, r);
    return L.join(" / ");
}

// The positions whose number changed between two arrangements.
QList<QPoint> Changed(const TBody &Before, const TBody &After)
{
    QList<QPoint> L;
    for (int c = 1; c <= After.TotalCols(); ++c)
        for (int r = 1; r <= After.TotalRows(); ++r)
            if (Before.Current[c - 1][r - 1].Number != After.Current[c - 1][r - 1].Number)
                L << QPoint(c, r);
    return L;
}

class TTestClock
{
public:
    explicit TTestClock(quint32 Seed) { TRandom::SetTestClock([Seed] { return Seed; }); }
    ~TTestClock() { TRandom::SetTestClock({}); }
};

} // namespace

class TestTPuzzle : public QObject
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

void TestTPuzzle::newPuzzle()
{
    QImage Display;
    const QImage Texture = MakeTexture();
    const TPuzzle P(&Display, &Texture);
    QCOMPARE(P.Scale, 1.0);
    QCOMPARE(P.FitScale, 0.0);
    QVERIFY(!P.EditMode && !P.Solved && !P.Modified && !P.SemiEffect);
    QVERIFY(IsNoCell(P.Selected));
    QCOMPARE(P.DragState, TDragState::Idle);
    QCOMPARE(P.Body.Rows, 0);
    QVERIFY(P.Title.isEmpty() && P.FileName.isEmpty());
}

void TestTPuzzle::geometry_data()
{
    QTest::addColumn<QSize>("SourceSize");
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    QTest::addColumn<bool>("Extra");
    QTest::addColumn<double>("Scale");
    QTest::addColumn<QSize>("Cell");
    QTest::addColumn<int>("Threshold");
    QTest::addColumn<QSize>("PlainSize");
    QTest::addColumn<QSize>("DisplaySize");

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

void TestTPuzzle::geometry()
{
    QFETCH(QSize, SourceSize);
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(bool, Extra);
    QFETCH(double, Scale);
    QFETCH(QSize, Cell);
    QFETCH(int, Threshold);
    QFETCH(QSize, PlainSize);
    QFETCH(QSize, DisplaySize);
    TBench B(SourceSize.width(), SourceSize.height(), Rows, Cols, Extra, Extra);
    B.Puzzle.Scale = Scale;
    B.Puzzle.Rebuild();
    QCOMPARE(QSize(B.Puzzle.CellWidth, B.Puzzle.CellHeight), Cell);
    QCOMPARE(B.Puzzle.DragThreshold, Threshold);
    QCOMPARE(B.Puzzle.Plain.size(), PlainSize);
    QCOMPARE(B.Puzzle.Concealed.size(), PlainSize);
    QCOMPARE(B.Display.size(), DisplaySize);
    QCOMPARE(B.Puzzle.CellBitmap.size(), Cell);
    QCOMPARE(B.Puzzle.RowStrip.size(), QSize(DisplaySize.width(), Cell.height()));
    QCOMPARE(B.Puzzle.ColStrip.size(), QSize(Cell.width(), DisplaySize.height()));
    QCOMPARE(B.Display.format(), WorkingFormat);
    QCOMPARE(B.Puzzle.Plain.format(), WorkingFormat);
}

void TestTPuzzle::cellAt_data()
{
    QTest::addColumn<QPoint>("Pixel");
    QTest::addColumn<QPoint>("Cell");
    QTest::newRow("just left of the picture") << QPoint(-1, 10) << QPoint(0, 1);
    QTest::newRow("just above the picture") << QPoint(10, -1) << QPoint(1, 0);
    QTest::newRow("origin") << QPoint(0, 0) << QPoint(1, 1);
    QTest::newRow("last pixel of the first cell") << QPoint(99, 99) << QPoint(1, 1);
    QTest::newRow("first pixel of column 2") << QPoint(100, 0) << QPoint(2, 1);
    QTest::newRow("a whole cell to the left") << QPoint(-100, 150) << QPoint(-1, 2);
    QTest::newRow("bottom right") << QPoint(299, 199) << QPoint(3, 2);
}

void TestTPuzzle::cellAt()
{
    QFETCH(QPoint, Pixel);
    QFETCH(QPoint, Cell);
    TBench B(300, 200, 2, 3);
    QCOMPARE(B.Puzzle.CellAt(Pixel.x(), Pixel.y()), Cell);
    QCOMPARE(B.Puzzle.CellCentre(QPoint(2, 1)), QPoint(150, 50));
    QCOMPARE(B.Puzzle.CellCentre(QPoint(3, 2)), QPoint(250, 150));
}

void TestTPuzzle::setupState()
{
    TBench B(300, 200, 2, 3, false, false, Effect::Hidden);
    B.Puzzle.Selected = QPoint(2, 2);
    B.Puzzle.Solved = true;
    B.Puzzle.Setup(Effect::Dark, 3, 2, true, true, false);
    QCOMPARE(B.Puzzle.Version, 1);
    QCOMPARE(B.Puzzle.Effect, qint32(Effect::Dark));
    QVERIFY(B.Puzzle.SemiEffect);
    QVERIFY(B.Puzzle.EditMode);
    QVERIFY(!B.Puzzle.Solved);
    QVERIFY(B.Puzzle.Modified);
    QVERIFY(IsNoCell(B.Puzzle.Selected));
    QCOMPARE(B.Puzzle.Body.TotalRows(), 4);
    QCOMPARE(B.Display.size(), QSize(300, 268)); // cells 150 x 67 (66.67 rounded)
}

void TestTPuzzle::rebuildKeepsDisplay()
{
    TBench B(300, 200, 2, 3);
    const uchar *Bits = B.Display.constBits();
    B.Puzzle.Tangle();
    QCOMPARE(B.Display.constBits(), Bits);
    B.Puzzle.Scale = 2;
    B.Puzzle.Rebuild();
    QCOMPARE(B.Display.size(), QSize(600, 400));
}

void TestTPuzzle::zoomInSteps()
{
    TBench B(400, 300, 2, 2);
    B.Puzzle.UpdateFit(790, 560, false);
    QVERIFY(qFuzzyCompare(B.Puzzle.FitScale, 560.0 / 300.0));
    QCOMPARE(B.Puzzle.Scale, 1.0);
    QCOMPARE(B.Puzzle.CellWidth, 200);
    QCOMPARE(B.Puzzle.CellHeight, 150);
    const double Steps[] = {1.1, 1.21, 1.331, 1.4641, 1.61051, 1.771561};
    for (double Step : Steps) {
        QVERIFY(B.Puzzle.CanZoomIn());
        B.Puzzle.ZoomIn();
        QVERIFY2(qFuzzyCompare(B.Puzzle.Scale, Step), qPrintable(QString::number(B.Puzzle.Scale)));
        B.Puzzle.UpdateFit(790, 560, false);
        QVERIFY(qFuzzyCompare(B.Puzzle.Scale, Step));
    }
    B.Puzzle.ZoomIn();
    QCOMPARE(B.Puzzle.Scale, B.Puzzle.FitScale);
    QCOMPARE(B.Puzzle.CellWidth, 373);
    QCOMPARE(B.Puzzle.CellHeight, 280);
    QCOMPARE(B.Display.size(), QSize(746, 560));
    QVERIFY(!B.Puzzle.CanZoomIn());
}

void TestTPuzzle::fit_data()
{
    QTest::addColumn<bool>("EmptyRow");
    QTest::addColumn<bool>("EmptyCol");
    QTest::addColumn<bool>("Auto");
    QTest::addColumn<double>("Fit");
    QTest::addColumn<double>("Scale");
    QTest::newRow("plain, fixed") << false << false << false << 560.0 / 300.0 << 1.0;
    QTest::newRow("plain, auto") << false << false << true << 560.0 / 300.0 << 560.0 / 300.0;
    QTest::newRow("empty column") << false << true << false << 1.315 << 1.0;
    QTest::newRow("empty column, auto") << false << true << true << 1.315 << 1.315;
    QTest::newRow("empty row") << true << false << false << 1.24 << 1.0; // (560 div 3) * 2 / 300
}

void TestTPuzzle::fit()
{
    QFETCH(bool, EmptyRow);
    QFETCH(bool, EmptyCol);
    QFETCH(bool, Auto);
    QFETCH(double, Fit);
    QFETCH(double, Scale);
    TBench B(400, 300, 2, 2, EmptyRow, EmptyCol);
    B.Puzzle.UpdateFit(790, 560, Auto);
    QVERIFY2(qFuzzyCompare(B.Puzzle.FitScale, Fit), qPrintable(QString::number(B.Puzzle.FitScale, 'g', 17)));
    QVERIFY(qFuzzyCompare(B.Puzzle.Scale, Scale));
    QVERIFY(B.Display.width() <= 790 && B.Display.height() <= 560);

    // Without Auto Best Fit a smaller panel shrinks the picture to the new fit; a larger one leaves it alone.
    B.Puzzle.UpdateFit(395, 280, false);
    const double Smaller = B.Puzzle.FitScale;
    QVERIFY(Smaller < Fit && Smaller < 1.0);
    QCOMPARE(B.Puzzle.Scale, Smaller);
    B.Puzzle.UpdateFit(790, 560, false);
    QCOMPARE(B.Puzzle.Scale, Smaller);
}

void TestTPuzzle::fitTolerance()
{
    TBench B(400, 300, 2, 2);
    B.Puzzle.UpdateFit(790, 560, true);
    const int Before = B.Changes;
    B.Puzzle.Scale = B.Puzzle.FitScale * (1 + 1e-6);
    B.Puzzle.UpdateFit(790, 560, true);
    B.Puzzle.UpdateFit(790, 560, false);
    QCOMPARE(B.Changes, Before); // nothing rebuilt within the tolerances
    B.Puzzle.Scale = B.Puzzle.FitScale * 1.0001;
    B.Puzzle.UpdateFit(790, 560, false);
    QCOMPARE(B.Puzzle.Scale, B.Puzzle.FitScale);
    QVERIFY(B.Changes > Before);
}

void TestTPuzzle::tinyPanel()
{
    // A panel narrower than the grid gives a fit of 0; the cells stay one pixel wide and nothing divides by 0.
    TBench B(400, 300, 2, 2, true, true);
    B.Puzzle.UpdateFit(2, 2, true);
    QCOMPARE(B.Puzzle.FitScale, 0.0);
    QCOMPARE(B.Puzzle.CellWidth, 1);
    QCOMPARE(B.Puzzle.CellHeight, 1);
    QCOMPARE(B.Display.size(), QSize(3, 3));
    B.Puzzle.HoverAt(1, 1);
    QCOMPARE(B.Puzzle.Selected, QPoint(2, 2));
    QVERIFY(!B.Puzzle.NearCellCentre(0, 0)); // threshold 0: nothing is near
}

void TestTPuzzle::zoomOut()
{
    TBench B(400, 300, 2, 2);
    B.Puzzle.UpdateFit(790, 560, false);
    B.Puzzle.ZoomOut();
    QVERIFY(qFuzzyCompare(B.Puzzle.Scale, 1 / 1.1));
    QCOMPARE(B.Puzzle.CellWidth, 182); // 181.8
    QCOMPARE(B.Puzzle.CellHeight, 136); // 136.4
    B.Puzzle.ActualSize();
    QCOMPARE(B.Puzzle.Scale, 1.0);
    QCOMPARE(B.Puzzle.CellWidth, 200);
    B.Puzzle.BestFit();
    QCOMPARE(B.Puzzle.Scale, B.Puzzle.FitScale);

    // Zooming out for ever never makes an empty cell.
    for (int i = 0; i < 120; ++i)
        B.Puzzle.ZoomOut();
    QCOMPARE(B.Puzzle.CellWidth, 1);
    QCOMPARE(B.Puzzle.CellHeight, 1);
}

void TestTPuzzle::canZoomOut_data()
{
    QTest::addColumn<QSize>("SourceSize");
    QTest::addColumn<int>("ZoomOuts");
    QTest::addColumn<bool>("Can");
    QTest::newRow("200x150 at actual size") << QSize(200, 150) << 0 << false;
    QTest::newRow("256 is not more than 256") << QSize(256, 100) << 0 << false;
    QTest::newRow("258 wide") << QSize(258, 100) << 0 << true;
    QTest::newRow("400x300") << QSize(400, 300) << 0 << true;
    QTest::newRow("400x300 after 4 steps (274)") << QSize(400, 300) << 4 << true;
    QTest::newRow("400x300 after 5 steps (248)") << QSize(400, 300) << 5 << false;
}

void TestTPuzzle::canZoomOut()
{
    QFETCH(QSize, SourceSize);
    QFETCH(int, ZoomOuts);
    QFETCH(bool, Can);
    TBench B(SourceSize.width(), SourceSize.height(), 2, 2);
    for (int i = 0; i < ZoomOuts; ++i)
        B.Puzzle.ZoomOut();
    QCOMPARE(B.Puzzle.CanZoomOut(), Can);
}

void TestTPuzzle::canActualSize_data()
{
    QTest::addColumn<QSize>("SourceSize");
    QTest::addColumn<int>("ZoomIns");
    QTest::addColumn<bool>("Can");
    QTest::newRow("at actual size") << QSize(400, 300) << 0 << false;
    QTest::newRow("after a zoom") << QSize(400, 300) << 1 << true;
    QTest::newRow("larger than the panel") << QSize(1000, 800) << 0 << false;
    QTest::newRow("small picture zoomed") << QSize(200, 150) << 2 << true;
}

void TestTPuzzle::canActualSize()
{
    QFETCH(QSize, SourceSize);
    QFETCH(int, ZoomIns);
    QFETCH(bool, Can);
    TBench B(SourceSize.width(), SourceSize.height(), 2, 2);
    QVERIFY(!B.Puzzle.CanActualSize()); // no fit yet
    B.Puzzle.UpdateFit(790, 560, false);
    for (int i = 0; i < ZoomIns; ++i)
        B.Puzzle.ZoomIn();
    QCOMPARE(B.Puzzle.CanActualSize(), Can);
}

void TestTPuzzle::semiEffect_data()
{
    QTest::addColumn<bool>("EditMode");
    QTest::addColumn<bool>("SemiEffect");
    QTest::addColumn<bool>("SelectedPlain");
    QTest::newRow("play, semi-effect") << false << true << true;
    QTest::newRow("play, full effect") << false << false << false;
    QTest::newRow("edit mode, semi-effect") << true << true << false;
}

void TestTPuzzle::semiEffect()
{
    QFETCH(bool, EditMode);
    QFETCH(bool, SemiEffect);
    QFETCH(bool, SelectedPlain);
    TBench B(300, 200, 2, 3);
    B.Puzzle.Body.Shift(QPoint(1, 1), QPoint(2, 1));
    B.Puzzle.SemiEffect = SemiEffect;
    B.Puzzle.EditMode = EditMode;
    B.Puzzle.Selected = QPoint(2, 1);
    B.Puzzle.RenderAll();
    if (EditMode) // take the stamp off again to see the cells under it
        StampTwoLines(B.Display, QStringLiteral("Edit"), QStringLiteral("Mode"));
    QVERIFY(B.Puzzle.Plain.copy(0, 0, 100, 100) != B.Puzzle.Concealed.copy(0, 0, 100, 100));
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r) {
            const bool Plain = SelectedPlain && QPoint(c, r) == QPoint(2, 1);
            QVERIFY2(B.ShowsPiece(QPoint(c, r), Plain), qPrintable(QStringLiteral("cell %1,%2").arg(c).arg(r)));
        }
}

void TestTPuzzle::frames_data()
{
    QTest::addColumn<bool>("Advice");
    QTest::addColumn<bool>("IsSelected");
    QTest::addColumn<int>("State");
    QTest::addColumn<bool>("Solved");
    QTest::addColumn<bool>("EmptyCell");
    QTest::addColumn<int>("Width");
    QTest::newRow("advice") << true << true << int(TDragState::Caught) << false << false << 8;
    QTest::newRow("advice when solved") << true << false << int(TDragState::Idle) << true << false << 8;
    QTest::newRow("caught") << false << true << int(TDragState::Caught) << false << false << 4;
    QTest::newRow("selected while dragging") << false << true << int(TDragState::Row) << false << false << 2;
    QTest::newRow("selected") << false << true << int(TDragState::Idle) << false << false << 2;
    QTest::newRow("grid line") << false << false << int(TDragState::Caught) << false << false << 1;
    QTest::newRow("solved, no grid") << false << false << int(TDragState::Idle) << true << false << 0;
    QTest::newRow("empty cell, grid line") << false << false << int(TDragState::Idle) << false << true << 1;
    QTest::newRow("empty cell, caught") << false << true << int(TDragState::Caught) << false << true << 4;
}

void TestTPuzzle::frames()
{
    QFETCH(bool, Advice);
    QFETCH(bool, IsSelected);
    QFETCH(int, State);
    QFETCH(bool, Solved);
    QFETCH(bool, EmptyCell);
    QFETCH(int, Width);
    TBench B(300, 200, 2, 3, false, true);
    B.Play();
    const QPoint P = EmptyCell ? QPoint(4, 2) : QPoint(2, 2);
    B.Puzzle.Solved = Solved;
    B.Puzzle.DragState = TDragState(State);
    B.Puzzle.Selected = IsSelected ? P : QPoint(1, 1);
    B.Puzzle.DrawCell(P, Advice);
    QVERIFY(B.ShowsPiece(P, Solved));
    QCOMPARE(B.FrameWidth(P, Solved), Width);
    QCOMPARE(B.LastChange, B.CellRect(P));
}

void TestTPuzzle::emptyCellTiled()
{
    TBench B(300, 200, 2, 3, true, true);
    B.Puzzle.Solved = true; // no frame: the whole cell is texture
    B.Puzzle.EditMode = false;
    B.Puzzle.RenderAll();
    for (const QPoint P : {QPoint(4, 1), QPoint(1, 3), QPoint(4, 3)})
        QCOMPARE(B.Display.copy(B.CellRect(P)), B.ExpectedPiece(P, true));
    QCOMPARE(B.Display.copy(0, 0, 300, 200), B.Puzzle.Plain);
}

void TestTPuzzle::editStamp()
{
    TBench B(300, 200, 2, 3);
    QVERIFY(B.Puzzle.EditMode);
    const QImage Stamped = B.Display.copy();
    B.Puzzle.EditMode = false;
    B.Puzzle.RenderAll();
    const QImage Bare = B.Display.copy();
    QVERIFY(Stamped != Bare);
    // The stamp is an exclusive-or: stamping the bare picture once gives exactly what edit mode showed.
    QImage Again = Bare;
    StampTwoLines(Again, QStringLiteral("Edit"), QStringLiteral("Mode"));
    QCOMPARE(Again, Stamped);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r)
            QCOMPARE(B.FrameWidth(QPoint(c, r), false), 1);
}

void TestTPuzzle::solvedShowsPlainPicture()
{
    TBench B(300, 200, 2, 3);
    B.Puzzle.Tangle();
    // Put it back by hand, as the player's last move would.
    B.Puzzle.Body.Reset();
    B.Puzzle.Selected = QPoint(1, 1);
    B.Puzzle.DragState = TDragState::Row;
    QVERIFY(B.Puzzle.Commit(50, 50));
    B.Puzzle.DragState = TDragState::Idle;
    B.Puzzle.Deselect();
    B.Puzzle.RenderAll();
    QCOMPARE(B.Display, B.Puzzle.Plain);
}

void TestTPuzzle::renderReports()
{
    TBench B(300, 200, 2, 3);
    B.Changes = B.Messages = 0;
    B.Puzzle.RenderAll();
    QCOMPARE(B.Changes, 1);
    QCOMPARE(B.LastChange, QRect(0, 0, 300, 200));
    QCOMPARE(B.Messages, 1);
    B.Puzzle.DrawCell(QPoint(3, 2), false);
    QCOMPARE(B.Changes, 2);
    QCOMPARE(B.LastChange, QRect(200, 100, 100, 100));
    QCOMPARE(B.Messages, 1);
    B.Puzzle.DrawCell(NoCell, false);
    QCOMPARE(B.Changes, 2);

    // Without an owner's hooks the puzzle still draws.
    B.Puzzle.DisplayChanged = nullptr;
    B.Puzzle.ProcessMessages = nullptr;
    B.Puzzle.RenderAll();
}

void TestTPuzzle::cellsFollowArrangement()
{
    TBench B(400, 300, 3, 4, true, true);
    B.Play();
    B.Puzzle.Body.Shift(QPoint(1, 2), QPoint(4, 2));
    B.Puzzle.Body.Shift(QPoint(5, 1), QPoint(5, 3));
    B.Puzzle.Body.Shift(QPoint(2, 4), QPoint(5, 4));
    B.Puzzle.RenderAll();
    for (int c = 1; c <= 5; ++c)
        for (int r = 1; r <= 4; ++r) {
            QVERIFY(B.ShowsPiece(QPoint(c, r), false));
            QCOMPARE(B.FrameWidth(QPoint(c, r), false), 1);
        }
}

void TestTPuzzle::setEffect()
{
    TBench B(300, 200, 2, 3, false, false, 99); // no effect: concealed is the plain picture
    QCOMPARE(B.Puzzle.Concealed, B.Puzzle.Plain);
    B.Puzzle.SetEffect(Effect::Negative);
    QCOMPARE(B.Puzzle.Effect, qint32(Effect::Negative));
    const QImage Piece = B.Puzzle.Concealed.copy(100, 0, 100, 100);
    QCOMPARE(Piece.pixel(50, 50), Inverted(B.Puzzle.Plain.pixel(150, 50)));
    StampTwoLines(B.Display, QStringLiteral("Edit"), QStringLiteral("Mode"));
    QVERIFY(B.ShowsPiece(QPoint(2, 1), false));
}

void TestTPuzzle::loadPictureTitle_data()
{
    QTest::addColumn<QString>("Path");
    QTest::addColumn<QString>("Title");
    QTest::addColumn<bool>("Fails");
    QTest::newRow("dots in the name") << "/some/folder/my.photo.png" << "my.photo" << false;
    QTest::newRow("dot in the folder only") << "/some/fol.der/photo" << "" << false;
    QTest::newRow("relative") << "holiday.gif.png" << "holiday.gif" << false;
    QTest::newRow("missing file keeps the title") << "/nonexistent/folder/beach.jpg" << "beach" << true;
}

void TestTPuzzle::loadPictureTitle()
{
    QFETCH(QString, Path);
    QFETCH(QString, Title);
    QFETCH(bool, Fails);
    QImage Display;
    TPuzzle P(&Display, nullptr);
    P.Source = MakeSource(30, 20);
    bool Raised = false;
    try {
        P.LoadPicture(Path);
    } catch (const TError &) {
        Raised = true;
    }
    QCOMPARE(Raised, Fails);
    QCOMPARE(P.Title, Title);
    QCOMPARE(P.Source.size(), QSize(30, 20)); // unread extensions leave the picture alone
}

void TestTPuzzle::tangleSteps_data()
{
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    QTest::addColumn<bool>("EmptyRow");
    QTest::addColumn<bool>("EmptyCol");
    QTest::addColumn<int>("Shifts");
    QTest::newRow("2x2") << 2 << 2 << false << false << 3;
    QTest::newRow("3x3") << 3 << 3 << false << false << 5;
    QTest::newRow("4x4") << 4 << 4 << false << false << 7;
    QTest::newRow("4x4 with both") << 4 << 4 << true << true << 9;
    QTest::newRow("2x3 with a column") << 2 << 3 << false << true << 5;
    QTest::newRow("3x2 with a row") << 3 << 2 << true << false << 5;
}

void TestTPuzzle::tangleSteps()
{
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(bool, EmptyRow);
    QFETCH(bool, EmptyCol);
    QFETCH(int, Shifts);
    TBench B(240, 240, Rows, Cols, EmptyRow, EmptyCol);
    for (quint32 Seed : {1u, 77u, 123456789u, 0xFFFFFFFFu}) {
        const TTestClock Clock(Seed);
        int Steps = 0;
        int Renders = 0;
        TBody Previous = B.Puzzle.Body;
        B.Puzzle.ProcessMessages = [&Renders] { ++Renders; };
        B.Puzzle.TangleStep = [&] {
            ++Steps;
            // Every step is on screen when the window is told about it.
            QImage Shown = B.Display.copy();
            B.Puzzle.ProcessMessages = nullptr;
            B.Puzzle.RenderAll();
            QCOMPARE(B.Display, Shown);
            B.Puzzle.ProcessMessages = [&Renders] { ++Renders; };
            Previous = B.Puzzle.Body;
        };
        B.Puzzle.Modified = false;
        B.Puzzle.Tangle();
        QCOMPARE(Steps, Shifts);
        QCOMPARE(Renders, Shifts + 2); // the rebuild, the solved arrangement, then each step
        QVERIFY(!B.Puzzle.EditMode);
        QVERIFY(!B.Puzzle.Solved);
        QVERIFY(!B.Puzzle.Modified);
        QVERIFY(B.Puzzle.Body.IsPlayable());
        QCOMPARE(Arrangement(Previous), Arrangement(B.Puzzle.Body)); // the last step was reported too
    }
}

void TestTPuzzle::tangleEveryStepMoves_data()
{
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    QTest::addColumn<bool>("EmptyRow");
    QTest::addColumn<bool>("EmptyCol");
    QTest::newRow("3x3") << 3 << 3 << false << false;
    QTest::newRow("2x2 with a column") << 2 << 2 << false << true;
    QTest::newRow("4x3 with a column") << 4 << 3 << false << true;
    QTest::newRow("2x4 with a row") << 2 << 4 << true << false;
    QTest::newRow("3x2 with a row") << 3 << 2 << true << false;
}

void TestTPuzzle::tangleEveryStepMoves()
{
    // An empty line holds nothing but empty cells until a line across it has moved, so shifting it then would
    // change nothing: until then every step must visibly move one line. A visible step moves exactly one line,
    // never the one the step before moved.
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(bool, EmptyRow);
    QFETCH(bool, EmptyCol);
    TBench B(120, 120, Rows, Cols, EmptyRow, EmptyCol);
    for (quint32 Seed = 1; Seed <= 60; ++Seed) {
        const TTestClock Clock(Seed * 2654435761u);
        B.Puzzle.Body.Reset();
        TBody Previous = B.Puzzle.Body;
        int LastLine = 0; // column number, or minus the row number
        int Step = 0;
        bool AcrossMoved = false;
        B.Puzzle.TangleStep = [&] {
            ++Step;
            const QString Where = QStringLiteral("seed %1 step %2").arg(Seed).arg(Step);
            const QList<QPoint> Moved = Changed(Previous, B.Puzzle.Body);
            Previous = B.Puzzle.Body;
            if (Moved.isEmpty()) {
                QVERIFY2(AcrossMoved, qPrintable(Where));
                LastLine = 0;
                return;
            }
            bool SameColumn = true, SameRow = true;
            for (const QPoint &P : Moved) {
                SameColumn = SameColumn && P.x() == Moved[0].x();
                SameRow = SameRow && P.y() == Moved[0].y();
            }
            QVERIFY2(Moved.size() >= 2 && SameColumn != SameRow, qPrintable(Where));
            const int Line = SameColumn ? Moved[0].x() : -Moved[0].y();
            QVERIFY2(Line != LastLine, qPrintable(Where));
            if (!AcrossMoved) {
                QVERIFY2(!EmptyCol || Line != Cols + 1, qPrintable(Where));
                QVERIFY2(!EmptyRow || Line != -(Rows + 1), qPrintable(Where));
            }
            if ((EmptyCol && Line < 0) || (EmptyRow && Line > 0))
                AcrossMoved = true;
            LastLine = Line;
        };
        B.Puzzle.Tangle();
        B.Puzzle.TangleStep = nullptr;
        QCOMPARE(Step, B.Puzzle.Body.TotalRows() + B.Puzzle.Body.TotalCols() - 1);
    }
}

void TestTPuzzle::tangleTwoByTwoNeverSolved()
{
    TBench B(100, 100, 2, 2);
    for (quint32 Seed = 0; Seed < 300; ++Seed) {
        const TTestClock Clock(Seed * 40503u + 7u);
        B.Puzzle.Tangle();
        QVERIFY2(!B.Puzzle.Body.IsSolved(), qPrintable(QString::number(Seed)));
    }
}

void TestTPuzzle::tangleStartsFromSolved()
{
    TBench B(300, 300, 3, 3, true, false);
    const TTestClock Clock(4242);
    B.Puzzle.Tangle();
    const QString First = Arrangement(B.Puzzle.Body);
    B.Puzzle.Body.Shift(QPoint(1, 2), QPoint(3, 2));
    B.Puzzle.Tangle();
    QCOMPARE(Arrangement(B.Puzzle.Body), First);
}

void TestTPuzzle::hover()
{
    TBench B(300, 200, 2, 3);
    B.Play();
    B.Puzzle.HoverAt(150, 60);
    QCOMPARE(B.Puzzle.Selected, QPoint(2, 1));
    QCOMPARE(B.Puzzle.Anchor, QPoint(150, 50));
    QCOMPARE(B.FrameWidth(QPoint(2, 1), false), 2);
    const int Changes = B.Changes;
    B.Puzzle.HoverAt(199, 99); // same cell: nothing redrawn
    QCOMPARE(B.Changes, Changes);
    B.Puzzle.HoverAt(250, 150);
    QCOMPARE(B.Puzzle.Selected, QPoint(3, 2));
    QCOMPARE(B.Puzzle.Anchor, QPoint(250, 150));
    QCOMPARE(B.FrameWidth(QPoint(2, 1), false), 1);
    QCOMPARE(B.FrameWidth(QPoint(3, 2), false), 2);
    QCOMPARE(B.Changes, Changes + 2);
    B.Puzzle.HoverAt(300, 150); // past the picture: no cell
    QVERIFY(IsNoCell(B.Puzzle.Selected));
    QCOMPARE(B.FrameWidth(QPoint(3, 2), false), 1);
    B.Puzzle.HoverAt(10, 10);
    B.Puzzle.Deselect();
    QVERIFY(IsNoCell(B.Puzzle.Selected));
    QCOMPARE(B.FrameWidth(QPoint(1, 1), false), 1);
}

void TestTPuzzle::dragStart_data()
{
    QTest::addColumn<int>("Dx");
    QTest::addColumn<int>("Dy");
    QTest::addColumn<int>("State");
    QTest::newRow("15 right") << 15 << 0 << int(TDragState::Row);
    QTest::newRow("14 right") << 14 << 0 << int(TDragState::Caught);
    QTest::newRow("15 left") << -15 << 0 << int(TDragState::Row);
    QTest::newRow("15 right, 15 down") << 15 << 15 << int(TDragState::Row);
    QTest::newRow("14 right, 15 down") << 14 << 15 << int(TDragState::Column);
    QTest::newRow("15 up") << 0 << -15 << int(TDragState::Column);
    QTest::newRow("14 up, 14 left") << -14 << -14 << int(TDragState::Caught);
}

void TestTPuzzle::dragStart()
{
    QFETCH(int, Dx);
    QFETCH(int, Dy);
    QFETCH(int, State);
    TBench B(300, 200, 2, 3);
    B.Play();
    QVERIFY(!B.Puzzle.TryStartDrag(300, 300)); // nothing selected
    B.Press(150, 50);
    QCOMPARE(B.FrameWidth(QPoint(2, 1), false), 4);
    const bool Started = B.Puzzle.TryStartDrag(150 + Dx, 50 + Dy);
    QCOMPARE(Started, State != int(TDragState::Caught));
    QCOMPARE(int(B.Puzzle.DragState), State);
    if (State == int(TDragState::Row))
        QCOMPARE(B.Puzzle.RowStrip, B.Display.copy(0, 0, 300, 100));
    if (State == int(TDragState::Column))
        QCOMPARE(B.Puzzle.ColStrip, B.Display.copy(100, 0, 100, 200));
}

void TestTPuzzle::nearCellCentre_data()
{
    QTest::addColumn<int>("Offset");
    QTest::addColumn<bool>("Near");
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

void TestTPuzzle::nearCellCentre()
{
    QFETCH(int, Offset);
    QFETCH(bool, Near);
    TBench B(300, 200, 2, 3);
    QCOMPARE(B.Puzzle.NearCellCentre(50 + Offset, 50), Near);
    QCOMPARE(B.Puzzle.NearCellCentre(50, 50 + Offset), Near);
}

void TestTPuzzle::dragCommits_data()
{
    QTest::addColumn<QList<int>>("Path"); // pointer offsets from the caught cell's centre, along the row
    QTest::addColumn<int>("Commits");
    QTest::addColumn<QString>("Row");
    QTest::addColumn<QPoint>("Caught");
    QTest::newRow("follows the pointer") << QList<int>{15, 40, 85} << 0 << "1 2 3 4" << QPoint(1, 1);
    QTest::newRow("one cell at 86") << QList<int>{15, 40, 86} << 1 << "4 1 2 3" << QPoint(2, 1);
    QTest::newRow("one cell at 114") << QList<int>{20, 114} << 1 << "4 1 2 3" << QPoint(2, 1);
    QTest::newRow("jump over the window") << QList<int>{15, 80, 120, 150} << 0 << "1 2 3 4" << QPoint(1, 1);
    QTest::newRow("then two cells") << QList<int>{15, 80, 120, 150, 190} << 1 << "3 4 1 2" << QPoint(3, 1);
    QTest::newRow("one and one more") << QList<int>{15, 90, 110, 150, 190} << 2 << "3 4 1 2" << QPoint(3, 1);
    QTest::newRow("there and back") << QList<int>{15, 100, 70, 40, 5} << 2 << "1 2 3 4" << QPoint(1, 1);
}

void TestTPuzzle::dragCommits()
{
    QFETCH(QList<int>, Path);
    QFETCH(int, Commits);
    QFETCH(QString, Row);
    QFETCH(QPoint, Caught);
    TBench B(400, 200, 2, 4);
    B.Play();
    B.Press(50, 50);
    for (int Offset : Path)
        B.Move(50 + Offset, 50);
    QCOMPARE(B.Commits, Commits);
    QCOMPARE(RowNumbers(B.Puzzle.Body, 1), Row);
    QCOMPARE(RowNumbers(B.Puzzle.Body, 2), QStringLiteral("5 6 7 8"));
    QCOMPARE(B.Puzzle.Selected, Caught);
    QCOMPARE(B.Puzzle.Solved, Commits > 0 && Row == QStringLiteral("1 2 3 4"));
    if (Commits > 0 && !B.Puzzle.Solved) {
        // After a snap the line on screen is exactly the new arrangement with the caught cell framed.
        const QImage Shown = B.Display.copy();
        B.Puzzle.RenderAll();
        QCOMPARE(B.Display, Shown);
    }
}

void TestTPuzzle::wrapLeft()
{
    TBench Left(300, 200, 2, 3, false, true);
    Left.Play();
    Left.Press(50, 150);
    Left.Move(30, 150);
    QCOMPARE(Left.Puzzle.DragState, TDragState::Row);
    Left.Move(-20, 150);
    const QImage ShownLeft = Left.Display.copy();
    Left.Release(-50, 150);

    TBench Right(300, 200, 2, 3, false, true);
    Right.Play();
    Right.Press(50, 150);
    Right.Move(70, 150);
    Right.Move(50 + 400 - 70, 150); // the same offset, the other way round the 400-pixel row
    QCOMPARE(Right.Display, ShownLeft);
    Right.Release(350, 150);

    QCOMPARE(RowNumbers(Left.Puzzle.Body, 2), QStringLiteral("5 6 0 4"));
    QCOMPARE(Arrangement(Left.Puzzle.Body), Arrangement(Right.Puzzle.Body));
    QCOMPARE(Left.Puzzle.Selected, QPoint(4, 2));
    QCOMPARE(Left.Display, Right.Display);
}

void TestTPuzzle::releaseCommitsUnderPointer_data()
{
    QTest::addColumn<int>("X");
    QTest::addColumn<QString>("Row");
    QTest::newRow("halfway, still in column 2") << 199 << "3 1 2";
    QTest::newRow("halfway, column 3") << 200 << "2 3 1";
    QTest::newRow("just right of the start") << 99 << "1 2 3";
}

void TestTPuzzle::releaseCommitsUnderPointer()
{
    QFETCH(int, X);
    QFETCH(QString, Row);
    TBench B(300, 200, 2, 3);
    B.Play();
    B.Press(50, 50);
    B.Move(70, 50);
    B.Move(X, 50);
    B.Release(X, 50);
    QCOMPARE(B.Commits, 1);
    QCOMPARE(RowNumbers(B.Puzzle.Body, 1), Row);
    QCOMPARE(B.Puzzle.DragState, TDragState::Idle);
    QCOMPARE(B.Puzzle.Solved, Row == QStringLiteral("1 2 3"));
    if (!B.Puzzle.Solved) {
        const QImage Shown = B.Display.copy();
        B.Puzzle.RenderAll();
        QCOMPARE(B.Display, Shown);
    }
}

void TestTPuzzle::backToOwnCell()
{
    TBench B(300, 200, 2, 3);
    B.Play();
    QVERIFY(!B.Puzzle.Solved);
    B.Press(150, 150);
    B.Move(150, 120);
    QCOMPARE(B.Puzzle.DragState, TDragState::Column);
    B.Move(150, 80);
    B.Move(150, 140);
    QCOMPARE(B.Commits, 1);
    QCOMPARE(B.Puzzle.Selected, QPoint(2, 2));
    QVERIFY(B.Puzzle.Body.IsSolved());
    QVERIFY(B.Puzzle.Solved); // the solved test ran although nothing moved
}

void TestTPuzzle::commitSolves()
{
    TBench B(300, 200, 2, 3);
    B.Puzzle.Body.Shift(QPoint(1, 1), QPoint(2, 1));
    B.Play();
    B.Press(150, 50);
    B.Move(120, 50);
    B.Move(55, 50);
    QVERIFY(B.Puzzle.Solved);

    // In edit mode nothing counts as solved.
    B.Puzzle.EditMode = true;
    B.Puzzle.DragState = TDragState::Row;
    QVERIFY(!B.Puzzle.Commit(50, 50));
    QVERIFY(!B.Puzzle.Solved);
}

void TestTPuzzle::commitOffGrid()
{
    // Without confinement the pointer can leave the line or the picture; the move follows the line's own
    // direction and never reaches a position outside the grid.
    TBench B(300, 200, 2, 3);
    B.Play();
    B.Press(50, 150);
    B.Move(80, 150);
    B.Release(160, 330);
    QCOMPARE(RowNumbers(B.Puzzle.Body, 2), QStringLiteral("6 4 5"));
    QCOMPARE(B.Puzzle.Selected, QPoint(2, 2));

    B.Press(150, 50);
    B.Move(150, 20);
    QCOMPARE(B.Puzzle.DragState, TDragState::Column);
    B.Release(999, 250); // below the picture: wraps to row 1 again
    QCOMPARE(Arrangement(B.Puzzle.Body), QStringLiteral("1 2 3 / 6 4 5"));

    B.Puzzle.DragState = TDragState::Caught;
    B.Puzzle.Commit(-500, -500);
    QCOMPARE(B.Puzzle.Selected, QPoint(2, 1));
    QCOMPARE(Arrangement(B.Puzzle.Body), QStringLiteral("1 2 3 / 6 4 5"));
    B.Puzzle.ShowAdvice(-500, 10); // off the picture: nothing to flash, no wait
}

void TestTPuzzle::emptyCellSlides()
{
    TBench B(300, 200, 2, 3, false, true);
    B.Play();
    B.Press(350, 50);
    B.Move(330, 50);
    B.Move(250, 50);
    QCOMPARE(RowNumbers(B.Puzzle.Body, 1), QStringLiteral("2 3 0 1"));
    QCOMPARE(B.Puzzle.Selected, QPoint(3, 1));
    QVERIFY(B.ShowsPiece(QPoint(3, 1), false));
}

void TestTPuzzle::renderDragPixels_data()
{
    QTest::addColumn<bool>("Row");
    QTest::addColumn<int>("Offset");
    for (bool Row : {true, false})
        for (int Offset : {0, 1, 37, 100, 299, 400, -1, -137, 1005})
            QTest::addRow("%s %d", Row ? "row" : "column", Offset) << Row << Offset;
}

void TestTPuzzle::renderDragPixels()
{
    QFETCH(bool, Row);
    QFETCH(int, Offset);
    TBench B(300, 200, 2, 3, true, true); // 400 x 300
    B.Play();
    B.Press(150, 150);
    QVERIFY(B.Puzzle.TryStartDrag(Row ? 170 : 150, Row ? 150 : 170));
    const QImage Before = B.Display.copy();
    const uchar *Bits = B.Display.constBits();
    const int Changes = B.Changes;
    B.Puzzle.RenderDrag(150 + (Row ? Offset : 0), 150 + (Row ? 0 : Offset));
    QCOMPARE(B.Display.constBits(), Bits);
    QCOMPARE(B.Changes, Changes + 1);

    const QRect Band = Row ? QRect(0, 100, 400, 100) : QRect(100, 0, 100, 300);
    QCOMPARE(B.LastChange, Band);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            QRgb Want = Before.pixel(x, y);
            if (Band.contains(x, y)) {
                const int Along = Row ? x : y;
                const int Length = Row ? 400 : 300;
                const int From = ((Along - Offset) % Length + Length) % Length;
                Want = Row ? Before.pixel(From, y) : Before.pixel(x, From);
            }
            if (B.Display.pixel(x, y) != Want)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
    QCOMPARE(B.Puzzle.Body.IsSolved(), true); // the model waits for the commit

    B.Puzzle.DragState = TDragState::Caught;
    const QImage Held = B.Display.copy();
    B.Puzzle.RenderDrag(0, 0);
    QCOMPARE(B.Display, Held);
}

void TestTPuzzle::advice_data()
{
    QTest::addColumn<QPoint>("Click");
    QTest::addColumn<QPoint>("Home");
    QTest::newRow("moved picture cell") << QPoint(150, 150) << QPoint(1, 2);
    QTest::newRow("picture cell at home") << QPoint(250, 50) << QPoint(3, 1);
    QTest::newRow("empty cell") << QPoint(50, 150) << QPoint(4, 1);
    QTest::newRow("empty column") << QPoint(350, 50) << QPoint(4, 1);
}

void TestTPuzzle::advice()
{
    QFETCH(QPoint, Click);
    QFETCH(QPoint, Home);
    TBench B(300, 200, 2, 3, false, true);
    B.Puzzle.Body.Shift(QPoint(1, 2), QPoint(2, 2)); // row 2: empty, 4, 5, 6
    B.Play();
    B.Puzzle.HoverAt(Click.x(), Click.y());
    const QImage Normal = B.Display.copy();

    QImage Flashed;
    int Calls = 0;
    B.Puzzle.ProcessMessages = [&] {
        if (Calls++ == 0)
            Flashed = B.Display.copy();
    };
    const auto Start = std::chrono::steady_clock::now();
    B.Puzzle.ShowAdvice(Click.x(), Click.y());
    QVERIFY(std::chrono::steady_clock::now() - Start >= std::chrono::milliseconds(200));
    QVERIFY(Calls >= 2);
    QCOMPARE(B.Display, Normal); // the flash is gone again

    // Only the frame band of the home cell differs: inverted from the edge of its usual frame to 8 pixels in.
    const QRect R = B.CellRect(Home);
    const int NormalFrame = Home == B.Puzzle.Selected ? 2 : 1;
    for (int y = 0; y < Normal.height(); ++y)
        for (int x = 0; x < Normal.width(); ++x) {
            const int Edge = qMin(qMin(x - R.left(), R.right() - x), qMin(y - R.top(), R.bottom() - y));
            const bool Flash = R.contains(x, y) && Edge >= NormalFrame && Edge < 8;
            const QRgb Want = Flash ? Inverted(Normal.pixel(x, y)) : Normal.pixel(x, y);
            if (Flashed.pixel(x, y) != Want)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }

    // Without a message hook the wait still lasts.
    B.Puzzle.ProcessMessages = nullptr;
    const auto Again = std::chrono::steady_clock::now();
    B.Puzzle.ShowAdvice(Click.x(), Click.y());
    QVERIFY(std::chrono::steady_clock::now() - Again >= std::chrono::milliseconds(200));
}

QTEST_MAIN(TestTPuzzle)
#include "TestTPuzzle.moc"
