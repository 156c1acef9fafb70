// SPDX-License-Identifier: GPL-3.0-or-later
// The picture control: shows a bitmap unscaled at its top-left corner and reports the mouse over it.
//
// The bitmap's pixels are the screen's own pixels: on a screen scaled by Qt (a ratio of 2 on a HiDPI screen) the
// control is the bitmap's size divided by the ratio, and it reports mouse positions in bitmap pixels, so the
// puzzle never learns that the screen is scaled.
#pragma once

#include "MovingLine.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <optional>

class QPainter;

namespace quorra {

class PictureView : public QWidget
{
    Q_OBJECT

public:
    // Bitmap is not owned; it is read at every paint, so changes show at the next repaint.
    explicit PictureView(const QImage *bitmap, QWidget *parent = nullptr);

    const QImage *bitmap() const { return m_bitmap; }
    // Gives the control the size of its bitmap on screen; true when the size changed.
    bool sizeToBitmap();
    // Screen pixels per unit of the control's own coordinates.
    qreal ratio() const { return devicePixelRatioF(); }
    // A point of the bitmap in the control's coordinates, and an area of the bitmap as the control repaints it.
    QPointF toControl(const QPoint &bitmapPoint) const { return QPointF(bitmapPoint) / ratio(); }
    QRect toControl(const QRect &bitmapRect) const;
    QPoint toBitmap(const QPointF &controlPoint) const;
    // Rect of the bitmap has new pixels: they are converted for the screen and repainted.
    void bitmapChanged(const QRect &rect);
    // Where a line being dragged is shown from while the bitmap does not hold it yet; asked at every paint.
    void setMovingLine(std::function<std::optional<MovingLine>()> line) { m_movingLine = std::move(line); }
    // A selection frame drawn over the bitmap (bitmap pixels) while it travels between cells; asked at every paint.
    void setTravellingFrame(std::function<std::optional<QRect>()> frame) { m_travellingFrame = std::move(frame); }

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // The keyboard's focus shows as the desktop's focus frame along the picture's edge.
    void paintFocusFrame();
    void paintTravellingFrame();
    // Brings the screen copy up to date within Area.
    void convertStale(const QRect &area, const MovingLine *line);
    // Paints Rect of the bitmap one to one, converted a few lines at a time.
    void paintThroughStrip(QPainter &painter, const QRect &rect, const MovingLine *line);
    // Paints Rect one to one by converting straight into the image the painter draws on, within its clip; false
    // when the painter's target is not such an image, and nothing was painted.
    bool paintStraight(QPainter &painter, const QRect &rect, const MovingLine *line);
    // Converts Count screen pixels of bitmap line Y from column X into To, a moving line's pixels included.
    void convertLine(int y, int x, int count, quint32 *to, const MovingLine *line) const;

    const QImage *m_bitmap;
    std::function<std::optional<MovingLine>()> m_movingLine;
    std::function<std::optional<QRect>()> m_travellingFrame;
    // On a scaled screen, the bitmap in the backing store's own format, converted only where it changed: Qt would
    // otherwise convert and scale every exposed 24-bit pixel at every paint, through its thread pool.
    QImage m_screen;
    qint64 m_screenKey = 0;
    QRegion m_stale;
    // A few lines of screen pixels, reused by every paint of new pixels.
    QImage m_strip;
};

} // namespace quorra
