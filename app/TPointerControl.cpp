// Pointer warping and confinement: on X11 a warp relative to the window and a pointer grab confined to an
// input-only window placed where the X server has the window; elsewhere QCursor.
#include "TPointerControl.h"

#include <QCursor>
#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>
#include <optional>

namespace {

xcb_connection_t *Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *X11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return X11 ? X11->connection() : nullptr;
}

xcb_window_t RootWindow(xcb_connection_t *C)
{
    const xcb_setup_t *Setup = xcb_get_setup(C);
    xcb_screen_iterator_t It = xcb_setup_roots_iterator(Setup);
    return It.data ? It.data->root : 0;
}

// Global, in Qt's screen coordinates, as device pixels from Window's top-left corner. The caller's point and the
// window's origin both rest on Qt's idea of where the window is, so an error in that idea cancels out here.
QRect ToWindowPixels(const QRect &Global, const QWindow *Window)
{
    const qreal Ratio = Window->devicePixelRatio();
    const QPoint TopLeft = (Global.topLeft() - Window->mapToGlobal(QPoint(0, 0))) * Ratio;
    return QRect(TopLeft, QSize(qMax(1, qRound(Global.width() * Ratio)), qMax(1, qRound(Global.height() * Ratio))));
}

// Where a point of Window is on the root window, as the X server has it.
std::optional<QPoint> OnRoot(xcb_connection_t *C, xcb_window_t Window, xcb_window_t Root, QPoint Local)
{
    xcb_translate_coordinates_reply_t *Reply = xcb_translate_coordinates_reply(
        C, xcb_translate_coordinates(C, Window, Root, qint16(Local.x()), qint16(Local.y())), nullptr);
    if (!Reply)
        return std::nullopt;
    const QPoint Point(Reply->dst_x, Reply->dst_y);
    std::free(Reply);
    return Point;
}

// Qt reads the mouse through XInput 2, so the button that caught the cell holds an implicit XInput 2 grab, and the
// server refuses a core grab (the only kind with confinement) over a grab of another kind, even our own. That
// implicit grab is ended first; the core grab takes over its job.
void EndImplicitGrab(xcb_connection_t *C)
{
    const xcb_query_extension_reply_t *Input = xcb_get_extension_data(C, &xcb_input_id);
    if (!Input || !Input->present)
        return;
    xcb_input_xi_get_client_pointer_reply_t *Pointer =
        xcb_input_xi_get_client_pointer_reply(C, xcb_input_xi_get_client_pointer(C, XCB_NONE), nullptr);
    if (Pointer && Pointer->set)
        xcb_input_xi_ungrab_device(C, XCB_CURRENT_TIME, Pointer->deviceid);
    std::free(Pointer);
}

void DestroyWindow(xcb_connection_t *C, xcb_window_t Window)
{
    // The server ends a grab whose confinement window goes away, and only such a grab: a grab Qt may have taken
    // since (a popup menu's) is left alone, which an unconditional ungrab would not do.
    xcb_destroy_window(C, Window);
    xcb_flush(C);
}

} // namespace

TPointerControl::~TPointerControl()
{
    TPointerControl::Release();
}

bool TPointerControl::Supported()
{
    return Connection() != nullptr;
}

void TPointerControl::MoveTo(QPoint Global, QWindow *Window)
{
    // Wayland refuses the request (with a warning at every catch); the game still plays there because a drag
    // reads only the coordinate along its line.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    xcb_connection_t *C = Connection();
    if (!C || !Window) {
        QCursor::setPos(Global);
        return;
    }
    // Relative to the window itself, so the server puts the pointer where the window really is.
    const QPoint Local = ToWindowPixels(QRect(Global, QSize(1, 1)), Window).topLeft();
    xcb_warp_pointer(C, XCB_NONE, xcb_window_t(Window->winId()), 0, 0, 0, 0, qint16(Local.x()), qint16(Local.y()));
    xcb_flush(C);
}

void TPointerControl::Confine(const QRect &Global, QWindow *Receiver)
{
    xcb_connection_t *C = Connection();
    if (!C || !Receiver || Global.width() < 1 || Global.height() < 1) {
        Release();
        return;
    }
    const xcb_window_t Root = RootWindow(C);
    const QRect Local = ToWindowPixels(Global, Receiver);
    const std::optional<QPoint> TopLeft = Root ? OnRoot(C, xcb_window_t(Receiver->winId()), Root, Local.topLeft())
                                               : std::nullopt;
    if (!TopLeft) {
        Release();
        return;
    }
    const QRect Area(*TopLeft, Local.size());

    // An override-redirect window is never moved or decorated by the window manager, so it stays exactly on the
    // rectangle; being input-only it neither draws nor hides anything.
    const xcb_window_t Window = xcb_generate_id(C);
    const uint32_t Values[] = {1};
    xcb_create_window(C, XCB_COPY_FROM_PARENT, Window, Root, qint16(Area.x()), qint16(Area.y()),
                      quint16(Area.width()), quint16(Area.height()), 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT, Values);
    xcb_map_window(C, Window);

    // During a core grab the server sends no XInput 2 events, which is all Qt asks its windows for. So every event
    // is reported, as a core event, to the window that asked (owner_events off), and Qt takes those from there.
    EndImplicitGrab(C);
    const quint16 Mask = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
    xcb_grab_pointer_cookie_t Cookie =
        xcb_grab_pointer(C, 0, xcb_window_t(Receiver->winId()), Mask, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                         Window, XCB_NONE, XCB_CURRENT_TIME);
    xcb_grab_pointer_reply_t *Reply = xcb_grab_pointer_reply(C, Cookie, nullptr);
    const bool Grabbed = Reply && Reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(Reply);

    // The earlier window goes only now, so that the pointer is never free between two confinements.
    if (FWindow)
        DestroyWindow(C, FWindow);
    FWindow = 0;
    if (!Grabbed) {
        DestroyWindow(C, Window);
        return;
    }
    FWindow = Window;
    xcb_flush(C);
}

void TPointerControl::Release()
{
    if (!FWindow)
        return;
    if (xcb_connection_t *C = Connection())
        DestroyWindow(C, FWindow);
    FWindow = 0;
}
