// The picture control: shows a bitmap unscaled at its top-left corner and reports the mouse over it.
//
// The bitmap's pixels are the screen's own pixels: on a screen scaled by Qt (a ratio of 2 on a HiDPI screen) the
// control is the bitmap's size divided by the ratio, and it reports mouse positions in bitmap pixels, so the
// puzzle never learns that the screen is scaled.
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

class QPainter;

class TPictureControl : public QWidget
{
    Q_OBJECT

public:
    // Bitmap is not owned; it is read at every paint, so changes show at the next repaint.
    explicit TPictureControl(const QImage *Bitmap, QWidget *Parent = nullptr);

    const QImage *Bitmap() const { return FBitmap; }
    // Gives the control the size of its bitmap on screen; true when the size changed.
    bool SizeToBitmap();
    // Screen pixels per unit of the control's own coordinates.
    qreal Ratio() const { return devicePixelRatioF(); }
    // A point of the bitmap in the control's coordinates, and an area of the bitmap as the control repaints it.
    QPointF ToControl(const QPoint &BitmapPoint) const { return QPointF(BitmapPoint) / Ratio(); }
    QRect ToControl(const QRect &BitmapRect) const;
    QPoint ToBitmap(const QPointF &ControlPoint) const;
    // Rect of the bitmap has new pixels: they are converted for the screen and repainted.
    void BitmapChanged(const QRect &Rect);

signals:
    void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, int X, int Y);
    void MouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers, int X, int Y);
    void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, int X, int Y);

protected:
    void paintEvent(QPaintEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;

private:
    // Brings the screen copy up to date within Area.
    void ConvertStale(const QRect &Area);
    // Paints Rect of the bitmap one to one, converted a few lines at a time.
    void PaintThroughStrip(QPainter &Painter, const QRect &Rect);

    const QImage *FBitmap;
    // On a scaled screen, the bitmap in the backing store's own format, converted only where it changed: Qt would
    // otherwise convert and scale every exposed 24-bit pixel at every paint, through its thread pool.
    QImage FScreen;
    qint64 FScreenKey = 0;
    QRegion FStale;
    // A few lines of screen pixels, reused by every paint of new pixels.
    QImage FStrip;
};
