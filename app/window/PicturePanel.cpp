// SPDX-License-Identifier: GPL-3.0-or-later
// The picture panel with its tiled wallpaper; resizing it re-fits and re-centres the picture.
#include "PicturePanel.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWheelEvent>

#include <algorithm>

namespace quorra {

PicturePanel::PicturePanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("picturePanel"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    // The window background brush tiles from the panel's corner, and Qt's backing store keeps the repaint
    // flicker-free, so the wallpaper needs no paint handler of its own.
    QPalette wallpaper = palette();
    wallpaper.setBrush(QPalette::Window, QBrush(QPixmap(QStringLiteral(":/wallpaper/Wallpaper.png"))));
    setPalette(wallpaper);
    setAutoFillBackground(true);
}

void PicturePanel::setHint(const QString &hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    update();
}

void PicturePanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_hint.isEmpty())
        return;
    // The panel's own palette holds the wallpaper; the hint takes the desktop's colours, so it reads like the
    // rest of the desktop's text whatever the theme.
    const QPalette desktop = QGuiApplication::palette();
    const int pad = fontMetrics().height();
    const int widest = std::max(1, std::min(contentsRect().width() - 4 * pad, fontMetrics().averageCharWidth() * 60));
    QRect text = fontMetrics().boundingRect(QRect(0, 0, widest, 0), Qt::AlignCenter | Qt::TextWordWrap, m_hint);
    QRect box = text.adjusted(-pad, -pad, pad, pad);
    box.moveCenter(contentsRect().center());
    text.moveCenter(box.center());

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(desktop.color(QPalette::Mid));
    painter.setBrush(desktop.brush(QPalette::Base));
    painter.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), pad / 2.0, pad / 2.0);
    painter.setPen(desktop.color(QPalette::Text));
    painter.drawText(text, Qt::AlignCenter | Qt::TextWordWrap, m_hint);
}

void PicturePanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    emit resized();
}

void PicturePanel::mouseMoveEvent(QMouseEvent *event)
{
    // Taken here, so the window behind does not hear of the same move again.
    event->accept();
    emit mouseMove();
}

void PicturePanel::wheelEvent(QWheelEvent *event)
{
    // The picture passes the wheel on to the panel that holds it, so one place serves both.
    const int turn = event->angleDelta().y();
    if (!(event->modifiers() & Qt::ControlModifier) || turn == 0) {
        QFrame::wheelEvent(event);
        return;
    }
    event->accept();
    emit zoomWheel(turn > 0);
}

} // namespace quorra
