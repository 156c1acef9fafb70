// SPDX-License-Identifier: GPL-3.0-or-later
// Pointer warping and confinement: on X11 a warp relative to the window and a pointer grab confined to an
// input-only window placed where the X server has the window; elsewhere QCursor.
#include "PointerControl.h"

#include <QCursor>
#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>
#include <optional>

namespace quorra {

namespace {

xcb_connection_t *connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t *c)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    return it.data ? it.data->root : 0;
}

// Global, in Qt's screen coordinates, as device pixels from Window's top-left corner. The caller's point and the
// window's origin both rest on Qt's idea of where the window is, so an error in that idea cancels out here.
QRect toWindowPixels(const QRect &global, const QWindow *window)
{
    const qreal ratio = window->devicePixelRatio();
    const QPoint topLeft = (global.topLeft() - window->mapToGlobal(QPoint(0, 0))) * ratio;
    return QRect(topLeft, QSize(qMax(1, qRound(global.width() * ratio)), qMax(1, qRound(global.height() * ratio))));
}

// Where a point of Window is on the root window, as the X server has it.
std::optional<QPoint> onRoot(xcb_connection_t *c, xcb_window_t window, xcb_window_t root, QPoint local)
{
    xcb_translate_coordinates_reply_t *reply = xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, root, qint16(local.x()), qint16(local.y())), nullptr);
    if (!reply)
        return std::nullopt;
    const QPoint point(reply->dst_x, reply->dst_y);
    std::free(reply);
    return point;
}

// Qt reads the mouse through XInput 2, so the button that caught the cell holds an implicit XInput 2 grab, and the
// server refuses a core grab (the only kind with confinement) over a grab of another kind, even our own. That
// implicit grab is ended first; the core grab takes over its job.
void endImplicitGrab(xcb_connection_t *c)
{
    const xcb_query_extension_reply_t *input = xcb_get_extension_data(c, &xcb_input_id);
    if (!input || !input->present)
        return;
    xcb_input_xi_get_client_pointer_reply_t *pointer =
        xcb_input_xi_get_client_pointer_reply(c, xcb_input_xi_get_client_pointer(c, XCB_NONE), nullptr);
    if (pointer && pointer->set)
        xcb_input_xi_ungrab_device(c, XCB_CURRENT_TIME, pointer->deviceid);
    std::free(pointer);
}

void destroyWindow(xcb_connection_t *c, xcb_window_t window)
{
    // The server ends a grab whose confinement window goes away, and only such a grab: a grab Qt may have taken
    // since (a popup menu's) is left alone, which an unconditional ungrab would not do.
    xcb_destroy_window(c, window);
    xcb_flush(c);
}

} // namespace

PointerControl::~PointerControl()
{
    PointerControl::release();
}

bool PointerControl::supported()
{
    return connection() != nullptr;
}

void PointerControl::moveTo(QPoint global, QWindow *window)
{
    // Wayland refuses the request (with a warning at every catch); the game still plays there because a drag
    // reads only the coordinate along its line.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    xcb_connection_t *c = connection();
    if (!c || !window) {
        QCursor::setPos(global);
        return;
    }
    // Relative to the window itself, so the server puts the pointer where the window really is.
    const QPoint local = toWindowPixels(QRect(global, QSize(1, 1)), window).topLeft();
    xcb_warp_pointer(c, XCB_NONE, xcb_window_t(window->winId()), 0, 0, 0, 0, qint16(local.x()), qint16(local.y()));
    xcb_flush(c);
}

void PointerControl::confine(const QRect &global, QWindow *receiver)
{
    xcb_connection_t *c = connection();
    if (!c || !receiver || global.width() < 1 || global.height() < 1) {
        release();
        return;
    }
    const xcb_window_t root = rootWindow(c);
    const QRect local = toWindowPixels(global, receiver);
    const std::optional<QPoint> topLeft =
        root ? onRoot(c, xcb_window_t(receiver->winId()), root, local.topLeft()) : std::nullopt;
    if (!topLeft) {
        release();
        return;
    }
    const QRect area(*topLeft, local.size());

    // An override-redirect window is never moved or decorated by the window manager, so it stays exactly on the
    // rectangle; being input-only it neither draws nor hides anything.
    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t values[] = {1};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, qint16(area.x()), qint16(area.y()), quint16(area.width()),
                      quint16(area.height()), 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                      XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(c, window);

    // During a core grab the server sends no XInput 2 events, which is all Qt asks its windows for. So every event
    // is reported, as a core event, to the window that asked (owner_events off), and Qt takes those from there.
    endImplicitGrab(c);
    const quint16 mask = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
    xcb_grab_pointer_cookie_t cookie =
        xcb_grab_pointer(c, 0, xcb_window_t(receiver->winId()), mask, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, window,
                         XCB_NONE, XCB_CURRENT_TIME);
    xcb_grab_pointer_reply_t *reply = xcb_grab_pointer_reply(c, cookie, nullptr);
    const bool grabbed = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);

    // The earlier window goes only now, so that the pointer is never free between two confinements.
    if (m_window)
        destroyWindow(c, m_window);
    m_window = 0;
    if (!grabbed) {
        destroyWindow(c, window);
        return;
    }
    m_window = window;
    xcb_flush(c);
}

void PointerControl::release()
{
    if (!m_window)
        return;
    if (xcb_connection_t *c = connection())
        destroyWindow(c, m_window);
    m_window = 0;
}

} // namespace quorra
