// SPDX-License-Identifier: GPL-3.0-or-later
// The real pointer on a real X server: it lands on the caught cell's centre, stays on the dragged line whatever
// moves it, still reports its moves to the window, and is free again after the release.
#include "PictureView.h"
#include "PlayControllerProbe.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>

using namespace quorra;

namespace {

void send(QWidget *to, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at)
{
    QMouseEvent event(type, QPointF(at), QPointF(to->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

// The server answers a pointer query only after it has carried out the warps asked before it.
QPoint pointerAfterWarp(QPoint global)
{
    QCursor::setPos(global);
    QTest::qWait(30);
    return QCursor::pos();
}

// The X server's own answers, without Qt in between.
xcb_connection_t *connection()
{
    return qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

QPoint onRoot(xcb_window_t window, QPoint local)
{
    xcb_translate_coordinates_reply_t *reply = xcb_translate_coordinates_reply(
        connection(), xcb_translate_coordinates(connection(), window, root(), qint16(local.x()), qint16(local.y())),
        nullptr);
    const QPoint point = reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint(-1, -1);
    std::free(reply);
    return point;
}

QPoint serverPointer()
{
    xcb_query_pointer_reply_t *reply =
        xcb_query_pointer_reply(connection(), xcb_query_pointer(connection(), root()), nullptr);
    const QPoint point = reply ? QPoint(reply->root_x, reply->root_y) : QPoint(-1, -1);
    std::free(reply);
    return point;
}

QPoint serverWarp(QPoint root)
{
    xcb_warp_pointer(connection(), XCB_NONE, ::root(), 0, 0, 0, 0, qint16(root.x()), qint16(root.y()));
    return serverPointer();
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
    if (!PointerControl::supported())
        QSKIP("needs an X server (run under xvfb-run)");
}

void TestPointerX11::heldOnTheDraggedLine_data()
{
    QTest::addColumn<QPoint>("drag");   // the move that starts the drag, from the centre (150, 50)
    QTest::addColumn<QPoint>("escape"); // where a warp tries to take the pointer, picture coordinates
    QTest::addColumn<QPoint>("held");   // where it must stay
    QTest::addColumn<QPoint>("along");  // a place on the line the pointer may go to

    QTest::newRow("row, off below") << QPoint(170, 50) << QPoint(230, 170) << QPoint(230, 50) << QPoint(220, 50);
    QTest::newRow("row, off the window") << QPoint(130, 50) << QPoint(-500, -400) << QPoint(0, 50) << QPoint(30, 50);
    QTest::newRow("column, off to the right")
        << QPoint(150, 70) << QPoint(280, 130) << QPoint(150, 130) << QPoint(150, 120);
    QTest::newRow("column, off past the bottom")
        << QPoint(150, 70) << QPoint(700, 900) << QPoint(150, 199) << QPoint(150, 180);
}

void TestPointerX11::heldOnTheDraggedLine()
{
    QFETCH(QPoint, drag);
    QFETCH(QPoint, escape);
    QFETCH(QPoint, held);
    QFETCH(QPoint, along);

    WindowFixture f;
    f.useRealPointer();
    f.open(f.makePuzzleFile(QStringLiteral("g.nbq"), 300, 200, 2, 3));
    PictureView *image = f.form->pictureView();
    QCOMPARE(f.form->documents().puzzle()->cellWidth(), 100);
    auto global = [image](QPoint p) { return image->mapToGlobal(p); };

    // Caught: the pointer jumps onto the cell's centre.
    QCursor::setPos(global(QPoint(120, 20)));
    send(image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPoint(120, 20));
    QTest::qWait(30);
    QCOMPARE(QCursor::pos(), global(QPoint(150, 50)));
    QVERIFY(PlayControllerProbe(f.form->play()).pointerControl()->isConfined());
    // Inside the picture it moves freely; beyond it, it stops at the edge. (Busy keeps these moves from
    // starting a drag.)
    PlayControllerProbe(f.form->play()).setBusy(true);
    QCOMPARE(pointerAfterWarp(global(QPoint(280, 180))), global(QPoint(280, 180)));
    QCOMPARE(pointerAfterWarp(global(QPoint(900, 900))), global(QPoint(299, 199)));
    QCOMPARE(pointerAfterWarp(global(QPoint(150, 50))), global(QPoint(150, 50)));
    PlayControllerProbe(f.form->play()).setBusy(false);

    send(image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, drag);
    QVERIFY(f.form->documents().puzzle()->dragState() == DragState::Row
            || f.form->documents().puzzle()->dragState() == DragState::Column);
    QTest::qWait(30);

    QCOMPARE(pointerAfterWarp(global(escape)), global(held));
    // The window still hears of the pointer's moves while it is held.
    QSignalSpy moves(image, &PictureView::mouseMove);
    QCOMPARE(pointerAfterWarp(global(along)), global(along));
    QTRY_VERIFY_WITH_TIMEOUT(!moves.isEmpty(), 2000);
    QCOMPARE(QPoint(moves.last().at(2).toInt(), moves.last().at(3).toInt()), along);

    send(image, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, along);
    QVERIFY(!PlayControllerProbe(f.form->play()).pointerControl()->isConfined());
    QCOMPARE(pointerAfterWarp(global(QPoint(400, 300))), global(QPoint(400, 300)));
    QCOMPARE(pointerAfterWarp(QPoint(5, 5)), QPoint(5, 5));
}

// Some window managers under XWayland leave Qt believing the window is somewhere else. The pointer must still land
// on the cell, and be held on the picture, where the X server shows them. (Also run on a screen scaled by 2.)
void TestPointerX11::placedWhereTheServerHasTheWindow()
{
    WindowFixture F;
    F.useRealPointer();
    F.open(F.makePuzzleFile(QStringLiteral("g.nbq"), 300, 200, 2, 3));
    PictureView *Image = F.form->pictureView();
    QWindow *window = F.form->windowHandle();
    const xcb_window_t native = xcb_window_t(window->winId());
    const qreal Ratio = window->devicePixelRatio();

    // Moved behind Qt's back: Qt hears of it only when it next handles its events, which nothing below lets it do.
    const QPoint before = onRoot(native, QPoint(0, 0));
    const uint32_t place[] = {uint32_t(before.x() + 137), uint32_t(before.y() + 61)};
    xcb_configure_window(connection(), native, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
    xcb_flush(connection());
    QCOMPARE(onRoot(native, QPoint(0, 0)), before + QPoint(137, 61));
    // Where a point of the control is on the screen in the server's pixels, and where Qt believes it is.
    auto truth = [&](QPoint at) { return onRoot(native, Image->mapTo(F.form.get(), at) * Ratio); };
    auto believed = [&](QPoint at) { return Image->mapToGlobal(at); };

    PlayControllerProbe(F.form->play()).pointerControl()->moveTo(believed(QPoint(75, 25)), window);
    QCOMPARE(serverPointer(), truth(QPoint(75, 25)));
    // Held on the line through y = 25 of the control as it really is.
    PlayControllerProbe(F.form->play())
        .pointerControl()
        ->confine(QRect(believed(QPoint(0, 25)), QSize(150, 1)), window);
    const QRect line(truth(QPoint(0, 25)), QSize(qRound(150 * Ratio), qMax(1, qRound(Ratio))));
    const QPoint below = serverWarp(truth(QPoint(115, 85)));
    QVERIFY(line.contains(below));
    QCOMPARE(below.x(), truth(QPoint(115, 85)).x());
    QCOMPARE(serverWarp(QPoint(5, 5)), line.topLeft());
    QCOMPARE(serverWarp(truth(QPoint(149, 0))).x(), truth(QPoint(149, 0)).x());
    PlayControllerProbe(F.form->play()).pointerControl()->release();
    QCOMPARE(serverWarp(QPoint(5, 5)), QPoint(5, 5));
}

QTEST_MAIN(TestPointerX11)
#include "TestPointerX11.moc"
