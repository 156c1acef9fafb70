// SPDX-License-Identifier: GPL-3.0-or-later
// Moving the system pointer and holding it inside a rectangle or on a one-pixel line of the screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QtGlobal>

class QWindow;

namespace quorra {

class PointerControl
{
public:
    PointerControl() = default;
    virtual ~PointerControl();
    PointerControl(const PointerControl &) = delete;
    PointerControl &operator=(const PointerControl &) = delete;

    // Whether the window system lets a program confine the pointer (X11 yes, Wayland and offscreen no).
    static bool supported();

    // Global is in Qt's screen coordinates, as mapToGlobal gives them for a widget of Window, the top-level
    // window the point belongs to. On X11 the point is placed relative to that window where the X server has it,
    // which is not always where Qt believes it to be (some window managers under XWayland leave Qt at (0, 0)).
    virtual void moveTo(QPoint global, QWindow *window);
    // Holds the pointer inside Global (Qt's screen coordinates, placed like MoveTo's point); a width or height of
    // 1 makes a line. Replaces any earlier confinement. Meanwhile every pointer event goes to Receiver, the
    // top-level window that asked.
    virtual void confine(const QRect &global, QWindow *receiver);
    // Ends any confinement; harmless when there is none.
    virtual void release();
    virtual bool isConfined() const { return m_window != 0; }

private:
    quint32 m_window = 0; // the input-only window the grab is confined to
};

} // namespace quorra
