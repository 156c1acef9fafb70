// Playing through the picture's own mouse handlers: catching, the drag threshold and direction, snaps, releases,
// the advice flash, victory, and the states in which the picture ignores the mouse.
#include "TFormFixture.h"
#include "TPictureControl.h"
#include "TPicturePanel.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QStandardPaths>
#include <QTest>

namespace {

// Cells of 100 x 100 pixels (drag threshold 15): a 300 x 200 picture split 2 x 3, shown at its actual size.
struct TGame {
    TFormFixture F;
    TPictureControl *Image = nullptr;

    // Rotations of the solved arrangement: row 1 right by Row1 cells, row 2 right by Row2 cells.
    explicit TGame(int Row1 = 1, int Row2 = 1)
    {
        F.Open(F.MakePuzzleFile(QStringLiteral("g.nbq"), 300, 200, 2, 3));
        Image = F.Form->Image;
        TPuzzle &P = Puzzle();
        P.Body.Reset();
        if (Row1)
            P.Body.Shift(QPoint(1, 1), QPoint(1 + Row1, 1));
        if (Row2)
            P.Body.Shift(QPoint(1, 2), QPoint(1 + Row2, 2));
        P.Solved = false;
        P.RenderAll();
        F.Form->ActionListUpdate();
    }

    TPuzzle &Puzzle() const { return *F.Form->Puzzle; }
    QPoint Global(int X, int Y) const { return Image->mapToGlobal(QPoint(X, Y)); }
    QRect GlobalRect(int X, int Y, int W, int H) const { return QRect(Global(X, Y), QSize(W, H)); }

    void Send(QEvent::Type Type, Qt::MouseButton Button, Qt::MouseButtons Held, QPoint At, QWidget *To = nullptr)
    {
        QWidget *Target = To ? To : Image;
        QMouseEvent Event(Type, QPointF(At), QPointF(Target->mapToGlobal(At)), Button, Held, Qt::NoModifier);
        QApplication::sendEvent(Target, &Event);
    }
    void Press(QPoint At, Qt::MouseButton Button = Qt::LeftButton) { Send(QEvent::MouseButtonPress, Button, Button, At); }
    void Drag(QPoint At) { Send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, At); }
    void Hover(QPoint At) { Send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, At); }
    void Release(QPoint At, Qt::MouseButton Button = Qt::LeftButton)
    {
        Send(QEvent::MouseButtonRelease, Button, Qt::NoButton, At);
    }

    // The numbers along a row, left to right.
    QList<int> Row(int R) const
    {
        QList<int> Numbers;
        for (int C = 1; C <= Puzzle().Body.TotalCols(); ++C)
            Numbers << Puzzle().Body.CurrentAt(QPoint(C, R)).Number;
        return Numbers;
    }
    QList<int> Column(int C) const
    {
        QList<int> Numbers;
        for (int R = 1; R <= Puzzle().Body.TotalRows(); ++R)
            Numbers << Puzzle().Body.CurrentAt(QPoint(C, R)).Number;
        return Numbers;
    }
};

// Records the rectangles Qt repaints on a widget.
class TPaintSpy : public QObject
{
public:
    QList<QRect> Rects;
    bool eventFilter(QObject *, QEvent *Event) override
    {
        if (Event->type() == QEvent::Paint)
            Rects << static_cast<QPaintEvent *>(Event)->rect();
        return false;
    }
};

} // namespace

class TestMouse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void geometryOfTheGame();
    void pressCatchesAtTheCentre_data();
    void pressCatchesAtTheCentre();
    void releaseWithoutDragCommitsNothing();
    void dragThresholdAndDirection_data();
    void dragThresholdAndDirection();
    void snapWindow_data();
    void snapWindow();
    void snapLetsTheDragTurn();
    void releaseCommitsToTheCellUnderThePointer_data();
    void releaseCommitsToTheCellUnderThePointer();
    void dragBackToTheCaughtCellRunsTheSolvedTest();
    void rightClickFlashesTheHome_data();
    void rightClickFlashesTheHome();
    void solvingMoveRunsTheVictorySequenceOnce_data();
    void solvingMoveRunsTheVictorySequenceOnce();
    void pictureIgnoresTheMouse_data();
    void pictureIgnoresTheMouse();
    void busyHandlersDoNothingButAReleaseFreesThePointer();
    void leavingThePictureDeselectsAndFrees();
    void menusAndErrorsFreeThePointer();
    void losingTheFocusFreesThePointer();
    void dragRepaintsOnlyTheBand();
};

void TestMouse::geometryOfTheGame()
{
    TGame G;
    QCOMPARE(G.Puzzle().CellWidth, 100);
    QCOMPARE(G.Puzzle().CellHeight, 100);
    QCOMPARE(G.Puzzle().DragThreshold, 15);
    QCOMPARE(G.Image->size(), QSize(300, 200));
    QVERIFY(G.F.Form->ImageMouseAttached());
    QCOMPARE(G.Row(1), QList<int>({3, 1, 2}));
}

void TestMouse::pressCatchesAtTheCentre_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<QPoint>("cell");

    QTest::newRow("top left corner of (2,1)") << QPoint(100, 0) << QPoint(150, 50) << QPoint(2, 1);
    QTest::newRow("bottom right corner of (2,1)") << QPoint(199, 99) << QPoint(150, 50) << QPoint(2, 1);
    QTest::newRow("centre of (3,2)") << QPoint(250, 150) << QPoint(250, 150) << QPoint(3, 2);
    QTest::newRow("last pixel") << QPoint(299, 199) << QPoint(250, 150) << QPoint(3, 2);
}

void TestMouse::pressCatchesAtTheCentre()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, centre);
    QFETCH(QPoint, cell);
    TGame G;
    G.Hover(press);
    G.Press(press);

    QCOMPARE(G.Puzzle().DragState, TDragState::Caught);
    QCOMPARE(G.Puzzle().Selected, cell);
    QCOMPARE(G.F.Pointer->Moves, QList<QPoint>({G.Global(centre.x(), centre.y())}));
    QCOMPARE(G.F.Pointer->Confined, G.GlobalRect(0, 0, 300, 200));
    QCOMPARE(G.F.Form->ScreenCursor(), Qt::OpenHandCursor);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::OpenHandCursor);
    QVERIFY(G.F.Played().isEmpty());
    G.Release(centre);
    QVERIFY(!QApplication::overrideCursor());
}

void TestMouse::releaseWithoutDragCommitsNothing()
{
    TGame G;
    const QList<int> Before = G.Row(1);
    G.Press(QPoint(150, 50));
    G.Drag(QPoint(164, 50));
    G.Drag(QPoint(150, 36));
    G.Release(QPoint(150, 36));

    QCOMPARE(G.Row(1), Before);
    QCOMPARE(G.Column(2), QList<int>({1, 4}));
    QVERIFY(G.F.Played().isEmpty());
    QCOMPARE(G.Puzzle().DragState, TDragState::Idle);
    // The cell keeps its selection frame; the screen cursor and the pointer are back to normal.
    QCOMPARE(G.Puzzle().Selected, QPoint(2, 1));
    QCOMPARE(G.F.Form->ScreenCursor(), Qt::ArrowCursor);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!G.F.Pointer->IsConfined());
}

void TestMouse::dragThresholdAndDirection_data()
{
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<int>("state");

    QTest::newRow("15 right: row") << 15 << 0 << int(TDragState::Row);
    QTest::newRow("14 right: nothing yet") << 14 << 0 << int(TDragState::Caught);
    QTest::newRow("15 left: row") << -15 << 0 << int(TDragState::Row);
    QTest::newRow("15 right, 15 down: row") << 15 << 15 << int(TDragState::Row);
    QTest::newRow("14 right, 15 down: column") << 14 << 15 << int(TDragState::Column);
    QTest::newRow("15 up: column") << 0 << -15 << int(TDragState::Column);
    QTest::newRow("14 down, 14 left: nothing yet") << -14 << 14 << int(TDragState::Caught);
}

void TestMouse::dragThresholdAndDirection()
{
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(int, state);
    TGame G;
    G.Press(QPoint(150, 50));
    G.Drag(QPoint(150 + dx, 50 + dy));

    QCOMPARE(int(G.Puzzle().DragState), state);
    if (state == int(TDragState::Row)) {
        QCOMPARE(G.F.Pointer->Confined, G.GlobalRect(0, 50, 300, 1));
        QCOMPARE(G.F.Form->ScreenCursor(), Qt::ClosedHandCursor);
    } else if (state == int(TDragState::Column)) {
        QCOMPARE(G.F.Pointer->Confined, G.GlobalRect(150, 0, 1, 200));
        QCOMPARE(G.F.Form->ScreenCursor(), Qt::ClosedHandCursor);
    } else {
        QCOMPARE(G.F.Pointer->Confined, G.GlobalRect(0, 0, 300, 200));
        QCOMPARE(G.F.Form->ScreenCursor(), Qt::OpenHandCursor);
    }
    QCOMPARE(QApplication::overrideCursor()->shape(), G.F.Form->ScreenCursor());
    QVERIFY(G.F.Played().isEmpty());
    QCOMPARE(G.Row(1), QList<int>({3, 1, 2}));
}

void TestMouse::snapWindow_data()
{
    QTest::addColumn<QList<int>>("path"); // offsets right of the caught cell's centre, one event each
    QTest::addColumn<QList<int>>("row");  // row 1 afterwards
    QTest::addColumn<int>("moves");       // move sounds
    QTest::addColumn<QPoint>("caught");

    // Row 1 is 3 1 2; the caught cell is (2,1), holding 1.
    QTest::newRow("86") << QList<int>{20, 86} << QList<int>{2, 3, 1} << 1 << QPoint(3, 1);
    QTest::newRow("114") << QList<int>{20, 114} << QList<int>{2, 3, 1} << 1 << QPoint(3, 1);
    QTest::newRow("85 follows") << QList<int>{20, 85} << QList<int>{3, 1, 2} << 0 << QPoint(2, 1);
    QTest::newRow("115 follows") << QList<int>{20, 115} << QList<int>{3, 1, 2} << 0 << QPoint(2, 1);
    QTest::newRow("jump from 80 to 120") << QList<int>{20, 80, 120} << QList<int>{3, 1, 2} << 0 << QPoint(2, 1);
    QTest::newRow("jump, then 186: two cells, wrapped") << QList<int>{20, 80, 120, 186} << QList<int>{1, 2, 3} << 1
                                                         << QPoint(1, 1);
    QTest::newRow("-86 left") << QList<int>{-20, -86} << QList<int>{1, 2, 3} << 1 << QPoint(1, 1);
    QTest::newRow("one cell, then on") << QList<int>{20, 90, 120, 190} << QList<int>{1, 2, 3} << 2 << QPoint(1, 1);
}

void TestMouse::snapWindow()
{
    QFETCH(QList<int>, path);
    QFETCH(QList<int>, row);
    QFETCH(int, moves);
    QFETCH(QPoint, caught);
    TGame G;
    G.Press(QPoint(150, 50));
    for (int Offset : path)
        G.Drag(QPoint(150 + Offset, 50));

    QCOMPARE(G.Row(1), row);
    QCOMPARE(G.F.Played().size(), moves);
    for (const QString &Sound : G.F.Played())
        QCOMPARE(Sound, QStringLiteral("Play|Move.wav"));
    QCOMPARE(G.Puzzle().Selected, caught);
    if (moves > 0) {
        // Caught anew: the pointer jumps to the new cell's centre and may go anywhere on the picture again.
        QCOMPARE(G.Puzzle().DragState, TDragState::Caught);
        const QPoint Centre = G.Puzzle().CellCentre(caught);
        QCOMPARE(G.F.Pointer->Moves.last(), G.Global(Centre.x(), Centre.y()));
        QCOMPARE(G.F.Pointer->Confined, G.GlobalRect(0, 0, 300, 200));
        QCOMPARE(G.F.Form->ScreenCursor(), Qt::OpenHandCursor);
    } else {
        QCOMPARE(G.Puzzle().DragState, TDragState::Row);
    }
    QVERIFY(!G.Puzzle().Solved);
}

void TestMouse::snapLetsTheDragTurn()
{
    TGame G;
    G.Press(QPoint(150, 50));
    G.Drag(QPoint(170, 50));
    G.Drag(QPoint(250, 50)); // snap onto (3,1): row 1 is now 2 3 1, the 1 at (3,1)
    QCOMPARE(G.Row(1), QList<int>({2, 3, 1}));
    G.Drag(QPoint(250, 70)); // the same cell, now dragged down its column
    QCOMPARE(G.Puzzle().DragState, TDragState::Column);
    QCOMPARE(G.F.Pointer->Confined, G.GlobalRect(250, 0, 1, 200));
    G.Release(QPoint(250, 160));
    QCOMPARE(G.Column(3), QList<int>({5, 1})); // row 2 was 6 4 5
    QCOMPARE(G.F.Played().size(), 2);
}

void TestMouse::releaseCommitsToTheCellUnderThePointer_data()
{
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<QList<int>>("row");

    QTest::newRow("halfway to the right") << QPoint(210, 50) << QList<int>{2, 3, 1};
    QTest::newRow("halfway to the left") << QPoint(90, 50) << QList<int>{1, 2, 3};
    QTest::newRow("still over the caught cell") << QPoint(190, 50) << QList<int>{3, 1, 2};
    QTest::newRow("past the right edge wraps") << QPoint(330, 50) << QList<int>{1, 2, 3};
}

void TestMouse::releaseCommitsToTheCellUnderThePointer()
{
    QFETCH(QPoint, release);
    QFETCH(QList<int>, row);
    TGame G;
    G.Press(QPoint(150, 50));
    G.Drag(QPoint(170, 50));
    G.Drag(release);
    G.Release(release);

    QCOMPARE(G.Row(1), row);
    QCOMPARE(G.F.Played(), QStringList({QStringLiteral("Play|Move.wav")}));
    QCOMPARE(G.Puzzle().DragState, TDragState::Idle);
    QVERIFY(!G.F.Pointer->IsConfined());
    QVERIFY(!QApplication::overrideCursor());
}

void TestMouse::dragBackToTheCaughtCellRunsTheSolvedTest()
{
    // Solved arrangement, but not yet known to be: only the solved test of a commit can find out.
    TGame G(0, 0);
    QVERIFY(!G.Puzzle().Solved);
    G.Press(QPoint(150, 50));
    G.Drag(QPoint(180, 50));
    G.Drag(QPoint(155, 50));

    QCOMPARE(G.Row(1), QList<int>({1, 2, 3}));
    QCOMPARE(G.F.Played(), QStringList({QStringLiteral("Play|Move.wav"), QStringLiteral("Play|Victory.wav")}));
    QVERIFY(G.Puzzle().Solved);
}

void TestMouse::rightClickFlashesTheHome_data()
{
    QTest::addColumn<bool>("emptyRow");
    QTest::addColumn<QPoint>("clicked"); // grid positions
    QTest::addColumn<QPoint>("home");

    // Row 1 is 3 1 2: the 3 at (1,1) belongs at (3,1).
    QTest::newRow("a piece away from home") << false << QPoint(1, 1) << QPoint(3, 1);
    QTest::newRow("a piece at home") << false << QPoint(1, 2) << QPoint(1, 2);
    QTest::newRow("an empty cell: the first empty place") << true << QPoint(2, 3) << QPoint(1, 3);
}

void TestMouse::rightClickFlashesTheHome()
{
    QFETCH(bool, emptyRow);
    QFETCH(QPoint, clicked);
    QFETCH(QPoint, home);
    TGame G(1, 0);
    if (emptyRow) {
        // A new 2 x 2 puzzle with an empty row, tangled and then set to a known arrangement.
        G.F.Form->EmptyRowAction->setChecked(true);
        G.F.New(G.F.MakePicture(QStringLiteral("e.bmp"), 300, 200));
        G.F.Run(G.F.Form->TangleAction);
        TPuzzle &P = G.Puzzle();
        QCOMPARE(P.Body.TotalRows(), 3);
        P.Body.Reset();
        P.Body.Shift(QPoint(1, 1), QPoint(2, 1));
        P.Solved = false;
        P.RenderAll();
        G.F.Form->ActionListUpdate();
        QVERIFY(P.Body.IsEmpty(2, 3));
    }

    const int W = G.Puzzle().CellWidth;
    const int H = G.Puzzle().CellHeight;
    const QPoint click((clicked.x() - 1) * W + W / 3, (clicked.y() - 1) * H + H / 3);
    const QRect flash((home.x() - 1) * W, (home.y() - 1) * H, W, H);
    QList<QRect> Changes;
    QImage During;
    const auto Repaint = G.Puzzle().DisplayChanged;
    G.Puzzle().DisplayChanged = [&](const QRect &Rect) {
        if (Changes.isEmpty())
            During = *G.Puzzle().Display;
        Changes << Rect;
        Repaint(Rect);
    };
    const QImage Before = *G.Puzzle().Display;
    G.Press(click, Qt::RightButton);
    G.Release(click, Qt::RightButton);

    QCOMPARE(G.F.Played(), QStringList({QStringLiteral("Play|Advice.wav")}));
    QVERIFY(Changes.size() >= 2);
    QCOMPARE(Changes.first(), flash);
    // The flash inverts a frame inside the home cell and nothing outside it; the whole picture is redrawn after.
    QVERIFY(During.copy(flash) != Before.copy(flash));
    QImage Outside = During;
    QImage Original = Before;
    for (QImage *Picture : {&Outside, &Original})
        for (int y = flash.top(); y <= flash.bottom(); ++y)
            std::memset(Picture->scanLine(y) + flash.left() * 3, 0, size_t(flash.width()) * 3);
    QCOMPARE(Outside, Original);
    QCOMPARE(Changes.last(), G.Puzzle().Display->rect());
    QCOMPARE(*G.Puzzle().Display, Before);
    QCOMPARE(G.Puzzle().DragState, TDragState::Idle);
    QVERIFY(!G.F.Pointer->IsConfined());
}

void TestMouse::solvingMoveRunsTheVictorySequenceOnce_data()
{
    QTest::addColumn<bool>("byRelease");
    QTest::newRow("snap") << false;
    QTest::newRow("release") << true;
}

void TestMouse::solvingMoveRunsTheVictorySequenceOnce()
{
    QFETCH(bool, byRelease);
    TGame G(1, 0); // row 1 is 3 1 2: carrying the 1 one cell left solves it
    G.Press(QPoint(150, 50));
    G.Drag(QPoint(130, 50));
    if (byRelease) {
        G.Drag(QPoint(80, 50));
        G.Release(QPoint(80, 50));
    } else {
        G.Drag(QPoint(60, 50));
        // Further events change nothing: the picture no longer listens.
        G.Drag(QPoint(150, 50));
        G.Release(QPoint(150, 50));
    }

    TPuzzle &P = G.Puzzle();
    QVERIFY(P.Solved);
    QCOMPARE(G.F.Played(), QStringList({QStringLiteral("Play|Move.wav"), QStringLiteral("Play|Victory.wav")}));
    QVERIFY(!G.F.Form->ImageMouseAttached());
    QCOMPARE(P.DragState, TDragState::Idle);
    QCOMPARE(P.Selected, NoCell);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!G.F.Pointer->IsConfined());
    QCOMPARE(G.Image->cursor().shape(), Qt::PointingHandCursor);
    // The plain photograph, without grid lines or frames.
    QCOMPARE(*P.Display, P.Plain);
    G.F.Form->ActionListUpdate();
    QVERIFY(G.F.Form->SaveImageAsAction->isEnabled());
    QVERIFY(G.F.Form->TangleAction->isEnabled());
}

void TestMouse::pictureIgnoresTheMouse_data()
{
    QTest::addColumn<bool>("solved");
    QTest::newRow("edit mode") << false;
    QTest::newRow("after victory") << true;
}

void TestMouse::pictureIgnoresTheMouse()
{
    QFETCH(bool, solved);
    TGame G;
    if (solved) {
        G.Press(QPoint(50, 50));
        G.Drag(QPoint(70, 50));
        G.Release(QPoint(250, 50)); // row 1: 3 1 2 -> 1 2 3
        G.Press(QPoint(50, 150));
        G.Drag(QPoint(70, 150));
        G.Release(QPoint(250, 150)); // row 2: 6 4 5 -> 4 5 6
        QVERIFY(G.Puzzle().Solved);
    } else {
        G.F.New(G.F.MakePicture(QStringLiteral("e.bmp"), 300, 200));
        QVERIFY(G.Puzzle().EditMode);
    }
    G.F.Sounds.clear();
    G.F.Pointer->Moves.clear();
    const QImage Before = *G.Puzzle().Display;

    G.Hover(QPoint(150, 50));
    G.Press(QPoint(150, 50));
    G.Drag(QPoint(250, 50));
    G.Release(QPoint(250, 50));
    G.Press(QPoint(150, 50), Qt::RightButton);
    // Even called directly, the handlers leave such a puzzle alone.
    G.F.Form->ImageMouseDown(Qt::LeftButton, {}, 150, 50);
    G.F.Form->ImageMouseMove(Qt::LeftButton, {}, 250, 50);
    G.F.Form->ImageMouseUp(Qt::LeftButton, {}, 250, 50);

    QCOMPARE(G.Puzzle().Selected, NoCell);
    QCOMPARE(G.Puzzle().DragState, TDragState::Idle);
    QCOMPARE(*G.Puzzle().Display, Before);
    QVERIFY(G.F.Sounds.isEmpty());
    QVERIFY(G.F.Pointer->Moves.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(G.Image->cursor().shape(), Qt::PointingHandCursor);
}

void TestMouse::busyHandlersDoNothingButAReleaseFreesThePointer()
{
    TGame G;
    G.Press(QPoint(150, 50));
    G.Drag(QPoint(170, 50));
    G.F.Form->Busy = true;
    G.Drag(QPoint(250, 50));
    G.Press(QPoint(50, 50), Qt::RightButton);
    QCOMPARE(G.Row(1), QList<int>({3, 1, 2}));
    QVERIFY(G.F.Played().isEmpty());
    QVERIFY(G.F.Pointer->IsConfined());
    G.Release(QPoint(250, 50));
    QVERIFY(!G.F.Pointer->IsConfined());
    QCOMPARE(G.Row(1), QList<int>({3, 1, 2}));
    QVERIFY(G.F.Form->Busy);
    G.F.Form->Busy = false;
    // The drag goes on from where it was when the window is free again.
    G.Drag(QPoint(250, 50));
    QCOMPARE(G.Row(1), QList<int>({2, 3, 1}));
}

void TestMouse::leavingThePictureDeselectsAndFrees()
{
    TGame G;
    G.Hover(QPoint(250, 150));
    QCOMPARE(G.Puzzle().Selected, QPoint(3, 2));
    const int Releases = G.F.Pointer->Releases;
    G.Send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, QPoint(2, 2), G.F.Form->ImageSpeedBar);
    QCOMPARE(G.Puzzle().Selected, NoCell);
    QVERIFY(G.F.Pointer->Releases > Releases);

    // While a handler is at work the selection stays.
    G.Hover(QPoint(250, 150));
    G.F.Form->Busy = true;
    G.Send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, QPoint(2, 2), G.F.Form->ImageSpeedBar);
    QCOMPARE(G.Puzzle().Selected, QPoint(3, 2));
    G.F.Form->Busy = false;
}

void TestMouse::menusAndErrorsFreeThePointer()
{
    TGame G;
    G.Press(QPoint(150, 50));
    G.Drag(QPoint(170, 50));
    QVERIFY(G.F.Pointer->IsConfined());
    emit G.F.Form->mPuzzle->aboutToShow();
    QVERIFY(!G.F.Pointer->IsConfined());

    G.Drag(QPoint(180, 50));
    G.F.Pointer->Confine(G.GlobalRect(0, 50, 300, 1), nullptr);
    G.F.Form->Guarded([] { throw std::runtime_error("disk gone"); });
    QVERIFY(!G.F.Pointer->IsConfined());
    QCOMPARE(G.F.Dialogs->Errors(), QStringList({QStringLiteral("disk gone")}));
    G.Release(QPoint(180, 50));
}

void TestMouse::losingTheFocusFreesThePointer()
{
    TGame G;
    QApplication::setActiveWindow(G.F.Form.get());
    QTRY_VERIFY(G.F.Form->isActiveWindow());
    G.Press(QPoint(150, 50));
    G.Drag(QPoint(170, 50));
    QVERIFY(G.F.Pointer->IsConfined());
    QWidget Other;
    Other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Other));
    QApplication::setActiveWindow(&Other);
    QTRY_VERIFY(!G.F.Form->isActiveWindow());
    QVERIFY(!G.F.Pointer->IsConfined());
    G.Release(QPoint(170, 50));
}

void TestMouse::dragRepaintsOnlyTheBand()
{
    TGame G;
    TPaintSpy Spy;
    G.Image->installEventFilter(&Spy);
    G.Press(QPoint(150, 150));
    G.Drag(QPoint(170, 150));
    QTest::qWait(20);
    Spy.Rects.clear();
    for (int X = 171; X < 185; ++X) {
        G.Drag(QPoint(X, 150));
        QTest::qWait(1);
    }
    QTest::qWait(20);
    QVERIFY(!Spy.Rects.isEmpty());
    for (const QRect &Rect : std::as_const(Spy.Rects))
        QVERIFY2(QRect(0, 100, 300, 100).contains(Rect), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                         .arg(Rect.x())
                                                                         .arg(Rect.y())
                                                                         .arg(Rect.width())
                                                                         .arg(Rect.height())));
    G.Release(QPoint(185, 150));
}

QTEST_MAIN(TestMouse)
#include "TestMouse.moc"
