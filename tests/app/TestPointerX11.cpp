// The real pointer on a real X server: it lands on the caught cell's centre, stays on the dragged line whatever
// moves it, still reports its moves to the window, and is free again after the release.
#include "TFormFixture.h"
#include "TPictureControl.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

namespace {

void Send(QWidget *To, QEvent::Type Type, Qt::MouseButton Button, Qt::MouseButtons Held, QPoint At)
{
    QMouseEvent Event(Type, QPointF(At), QPointF(To->mapToGlobal(At)), Button, Held, Qt::NoModifier);
    QApplication::sendEvent(To, &Event);
}

// The server answers a pointer query only after it has carried out the warps asked before it.
QPoint PointerAfterWarp(QPoint Global)
{
    QCursor::setPos(Global);
    QTest::qWait(30);
    return QCursor::pos();
}

} // namespace

class TestPointerX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void heldOnTheDraggedLine_data();
    void heldOnTheDraggedLine();
};

void TestPointerX11::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    if (!TPointerControl::Supported())
        QSKIP("needs an X server (run under xvfb-run)");
}

void TestPointerX11::heldOnTheDraggedLine_data()
{
    QTest::addColumn<QPoint>("drag");    // the move that starts the drag, from the centre (150, 50)
    QTest::addColumn<QPoint>("escape");  // where a warp tries to take the pointer, picture coordinates
    QTest::addColumn<QPoint>("held");    // where it must stay
    QTest::addColumn<QPoint>("along");   // a place on the line the pointer may go to

    QTest::newRow("row, off below") << QPoint(170, 50) << QPoint(230, 170) << QPoint(230, 50) << QPoint(220, 50);
    QTest::newRow("row, off the window") << QPoint(130, 50) << QPoint(-500, -400) << QPoint(0, 50) << QPoint(30, 50);
    QTest::newRow("column, off to the right") << QPoint(150, 70) << QPoint(280, 130) << QPoint(150, 130)
                                              << QPoint(150, 120);
    QTest::newRow("column, off past the bottom") << QPoint(150, 70) << QPoint(700, 900) << QPoint(150, 199)
                                                 << QPoint(150, 180);
}

void TestPointerX11::heldOnTheDraggedLine()
{
    QFETCH(QPoint, drag);
    QFETCH(QPoint, escape);
    QFETCH(QPoint, held);
    QFETCH(QPoint, along);

    TFormFixture F;
    F.UseRealPointer();
    F.Open(F.MakePuzzleFile(QStringLiteral("g.nbq"), 300, 200, 2, 3));
    TPictureControl *Image = F.Form->Image;
    QCOMPARE(F.Form->Puzzle->CellWidth, 100);
    auto Global = [Image](QPoint P) { return Image->mapToGlobal(P); };

    // Caught: the pointer jumps onto the cell's centre.
    QCursor::setPos(Global(QPoint(120, 20)));
    Send(Image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPoint(120, 20));
    QTest::qWait(30);
    QCOMPARE(QCursor::pos(), Global(QPoint(150, 50)));
    QVERIFY(F.Form->PointerControl->IsConfined());
    // Inside the picture it moves freely; beyond it, it stops at the edge. (Busy keeps these moves from
    // starting a drag.)
    F.Form->Busy = true;
    QCOMPARE(PointerAfterWarp(Global(QPoint(280, 180))), Global(QPoint(280, 180)));
    QCOMPARE(PointerAfterWarp(Global(QPoint(900, 900))), Global(QPoint(299, 199)));
    QCOMPARE(PointerAfterWarp(Global(QPoint(150, 50))), Global(QPoint(150, 50)));
    F.Form->Busy = false;

    Send(Image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, drag);
    QVERIFY(F.Form->Puzzle->DragState == dsRow || F.Form->Puzzle->DragState == dsColumn);
    QTest::qWait(30);

    QCOMPARE(PointerAfterWarp(Global(escape)), Global(held));
    // The window still hears of the pointer's moves while it is held.
    QSignalSpy Moves(Image, &TPictureControl::MouseMove);
    QCOMPARE(PointerAfterWarp(Global(along)), Global(along));
    QTRY_VERIFY_WITH_TIMEOUT(!Moves.isEmpty(), 2000);
    QCOMPARE(QPoint(Moves.last().at(2).toInt(), Moves.last().at(3).toInt()), along);

    Send(Image, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, along);
    QVERIFY(!F.Form->PointerControl->IsConfined());
    QCOMPARE(PointerAfterWarp(Global(QPoint(400, 300))), Global(QPoint(400, 300)));
    QCOMPARE(PointerAfterWarp(QPoint(5, 5)), QPoint(5, 5));
}

QTEST_MAIN(TestPointerX11)
#include "TestPointerX11.moc"
