// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard selection's frame gliding from the cell it left to the one it reached, so the eye follows it.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <optional>

namespace quorra {

class PictureView;
class Puzzle;

class SelectionSlide : public QObject
{
    Q_OBJECT

public:
    explicit SelectionSlide(PictureView *view, QObject *parent = nullptr);
    ~SelectionSlide() override;

    // Shows Puzzle's selection frame travelling from the cell rect From to To (display pixels), Puzzle's own
    // frame hidden until it arrives. A slide under way goes on from where its frame is now.
    void start(Puzzle &puzzle, const QRect &from, const QRect &to);
    // Puts the frame back on its cell at once, as before anything else changes the picture.
    void finish();
    bool isRunning() const { return !m_puzzle.isNull(); }

    // Where the travelling frame is now, in display pixels; none when no slide is under way.
    std::optional<QRect> frame() const;

    // How long a slide takes; 0 shows the frame on its new cell at once.
    void setDurationMs(int milliseconds) { m_durationMs = milliseconds; }
    int durationMs() const { return m_durationMs; }

private:
    void step();
    void repaint(const QRect &from, const QRect &to);

    PictureView *m_view;
    QPointer<Puzzle> m_puzzle;
    QMetaObject::Connection m_stateConnection;
    QRect m_from;
    QRect m_to;
    QRect m_shown;
    QElapsedTimer m_clock;
    QTimer m_timer;
    int m_durationMs = 120;
};

} // namespace quorra
