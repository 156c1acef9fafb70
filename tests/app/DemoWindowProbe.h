// SPDX-License-Identifier: GPL-3.0-or-later
// The tests' one way into the demo window: its check box and OK button to act as a person would, and its player
// and video surface to see what the media layer does.
#pragma once

#include "DemoWindow.h"

#include <QCheckBox>
#include <QMediaPlayer>
#include <QPushButton>

namespace quorra {

class DemoWindowProbe
{
public:
    explicit DemoWindowProbe(DemoWindow &window) : m_window(window) {}

    QCheckBox *showAtStartBox() const { return m_window.m_showAtStartBox; }
    QPushButton *okButton() const { return m_window.m_okButton; }
    const QFrame *videoFrame() const { return m_window.m_videoFrame; }
    const QMediaPlayer *player() const { return m_window.m_player; }
    const VideoPanel *videoPanel() const { return m_window.m_videoPanel; }

private:
    DemoWindow &m_window;
};

} // namespace quorra
