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
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>

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

// The X server's own answers, without Qt in between.
xcb_connection_t *Connection()
{
    return qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t Root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(Connection())).data->root;
}

QPoint OnRoot(xcb_window_t Window, QPoint Local)
{
    xcb_translate_coordinates_reply_t *Reply = xcb_translate_coordinates_reply(
        Connection(), xcb_translate_coordinates(Connection(), Window, Root(), qint16(Local.x()), qint16(Local.y())),
        nullptr);
    const QPoint Point = Reply ? QPoint(Reply->dst_x, Reply->dst_y) : QPoint(-1, -1);
    std::free(Reply);
    return Point;
}

QPoint ServerPointer()
{
    xcb_query_pointer_reply_t *Reply =
        xcb_query_pointer_reply(Connection(), xcb_query_pointer(Connection(), Root()), nullptr);
    const QPoint Point = Reply ? QPoint(Reply->root_x, Reply->root_y) : QPoint(-1, -1);
    std::free(Reply);
    return Point;
}

QPoint ServerWarp(QPoint Root)
{
    xcb_warp_pointer(Connection(), XCB_NONE, ::Root(), 0, 0, 0, 0, qint16(Root.x()), qint16(Root.y()));
    return ServerPointer();
}

} // namespace

class TestPointerX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void heldOnTheDraggedLine_data();
    void heldOnTheDraggedLine();
    void placedWhereTheServerHasTheWindow();
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
    QVERIFY(F.Form->Puzzle->DragState == TDragState::Row || F.Form->Puzzle->DragState == TDragState::Column);
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

// Some window managers under XWayland leave Qt believing the window is somewhere else. The pointer must still land
// on the cell, and be held on the picture, where the X server shows them. (Also run on a screen scaled by 2.)
void TestPointerX11::placedWhereTheServerHasTheWindow()
{
    TFormFixture F;
    F.UseRealPointer();
    F.Open(F.MakePuzzleFile(QStringLiteral("g.nbq"), 300, 200, 2, 3));
    TPictureControl *Image = F.Form->Image;
    QWindow *Window = F.Form->windowHandle();
    const xcb_window_t Native = xcb_window_t(Window->winId());
    const qreal Ratio = Window->devicePixelRatio();

    // Moved behind Qt's back: Qt hears of it only when it next handles its events, which nothing below lets it do.
    const QPoint Before = OnRoot(Native, QPoint(0, 0));
    const uint32_t Place[] = {uint32_t(Before.x() + 137), uint32_t(Before.y() + 61)};
    xcb_configure_window(Connection(), Native, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, Place);
    xcb_flush(Connection());
    QCOMPARE(OnRoot(Native, QPoint(0, 0)), Before + QPoint(137, 61));
    // Where a point of the control is on the screen in the server's pixels, and where Qt believes it is.
    auto Truth = [&](QPoint At) { return OnRoot(Native, Image->mapTo(F.Form.get(), At) * Ratio); };
    auto Believed = [&](QPoint At) { return Image->mapToGlobal(At); };

    F.Form->PointerControl->MoveTo(Believed(QPoint(75, 25)), Window);
    QCOMPARE(ServerPointer(), Truth(QPoint(75, 25)));
    // Held on the line through y = 25 of the control as it really is.
    F.Form->PointerControl->Confine(QRect(Believed(QPoint(0, 25)), QSize(150, 1)), Window);
    const QRect Line(Truth(QPoint(0, 25)), QSize(qRound(150 * Ratio), qMax(1, qRound(Ratio))));
    const QPoint Below = ServerWarp(Truth(QPoint(115, 85)));
    QVERIFY(Line.contains(Below));
    QCOMPARE(Below.x(), Truth(QPoint(115, 85)).x());
    QCOMPARE(ServerWarp(QPoint(5, 5)), Line.topLeft());
    QCOMPARE(ServerWarp(Truth(QPoint(149, 0))).x(), Truth(QPoint(149, 0)).x());
    F.Form->PointerControl->Release();
    QCOMPARE(ServerWarp(QPoint(5, 5)), QPoint(5, 5));
}

QTEST_MAIN(TestPointerX11)
#include "TestPointerX11.moc"
