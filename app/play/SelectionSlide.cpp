// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard selection's frame gliding between cells.
#include "SelectionSlide.h"

#include "PictureView.h"
#include "Puzzle.h"

#include <QEasingCurve>

#include <cmath>

namespace quorra {

SelectionSlide::SelectionSlide(PictureView *view, QObject *parent) : QObject(parent), m_view(view)
{
    // About the screen's refresh: fewer steps show as jumps, more cost repaints nobody sees.
    m_timer.setInterval(16);
    connect(&m_timer, &QTimer::timeout, this, &SelectionSlide::step);
}

SelectionSlide::~SelectionSlide()
{
    finish();
}

void SelectionSlide::start(Puzzle &puzzle, const QRect &from, const QRect &to)
{
    const std::optional<QRect> under = frame();
    if (m_puzzle && m_puzzle != &puzzle)
        finish();
    if (m_durationMs <= 0 || from == to) {
        finish();
        return;
    }
    m_from = under && m_puzzle ? *under : from;
    m_to = to;
    m_shown = m_from;
    if (!m_puzzle) {
        m_puzzle = &puzzle;
        // A move, a zoom or a new arrangement moves the cells under the frame: it lands at once.
        m_stateConnection = connect(&puzzle, &Puzzle::stateChanged, this, &SelectionSlide::finish);
    }
    puzzle.setSelectionFrameHidden(true);
    m_clock.start();
    m_timer.start();
    repaint(m_from, m_to);
}

void SelectionSlide::finish()
{
    m_timer.stop();
    disconnect(m_stateConnection);
    const QRect shown = m_shown;
    m_shown = QRect();
    if (Puzzle *puzzle = m_puzzle.data()) {
        m_puzzle = nullptr;
        puzzle->setSelectionFrameHidden(false);
        repaint(shown, shown);
    }
}

std::optional<QRect> SelectionSlide::frame() const
{
    if (!m_puzzle || m_shown.isNull())
        return std::nullopt;
    return m_shown;
}

void SelectionSlide::step()
{
    if (!m_puzzle) {
        finish();
        return;
    }
    const double t = std::min(1.0, double(m_clock.elapsed()) / m_durationMs);
    if (t >= 1.0) {
        finish();
        return;
    }
    // Quick off the mark and settling gently, as a hand moves a marker.
    const double eased = QEasingCurve(QEasingCurve::OutCubic).valueForProgress(t);
    const auto along = [eased](int a, int b) { return int(std::lround(a + (b - a) * eased)); };
    const QRect before = m_shown;
    m_shown = QRect(QPoint(along(m_from.left(), m_to.left()), along(m_from.top(), m_to.top())),
                    QPoint(along(m_from.right(), m_to.right()), along(m_from.bottom(), m_to.bottom())));
    repaint(before, m_shown);
}

void SelectionSlide::repaint(const QRect &from, const QRect &to)
{
    // The frame is three pixels deep: only its bands change, not the cells inside, which may be large.
    constexpr int Depth = 4;
    for (const QRect &r : {from, to}) {
        if (r.isNull())
            continue;
        const QRect sides[] = {
            QRect(r.left(), r.top(), r.width(), Depth), QRect(r.left(), r.bottom() - Depth + 1, r.width(), Depth),
            QRect(r.left(), r.top(), Depth, r.height()), QRect(r.right() - Depth + 1, r.top(), Depth, r.height())};
        for (const QRect &side : sides)
            m_view->update(m_view->toControl(side));
    }
}

} // namespace quorra
