// SPDX-License-Identifier: GPL-3.0-or-later
// The tests' one look inside the play controller: whether the picture's mouse is attached, the screen-wide
// cursor, the pointer's control and the travelling frame, and a handler's busy mark set as if one were at work.
#pragma once

#include "PlayController.h"

namespace quorra {

class PlayControllerProbe
{
public:
    explicit PlayControllerProbe(PlayController &play) : m_play(play) {}

    bool isMouseAttached() const { return m_play.m_mouseAttached; }
    bool isBusy() const { return m_play.m_busy; }
    void setBusy(bool busy) { m_play.m_busy = busy; }
    // Qt::ArrowCursor when none is set.
    Qt::CursorShape screenCursor() const { return m_play.m_screenCursor; }
    PointerControl *pointerControl() const { return m_play.m_pointer.get(); }
    SelectionSlide &selectionSlide() { return m_play.m_selectionSlide; }

private:
    PlayController &m_play;
};

} // namespace quorra
