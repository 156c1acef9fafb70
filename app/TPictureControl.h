// The picture control: shows a bitmap unscaled at its top-left corner and reports the mouse over it.
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

class TPictureControl : public QWidget
{
    Q_OBJECT

public:
    // Bitmap is not owned; it is read at every paint, so changes show at the next repaint.
    explicit TPictureControl(const QImage *Bitmap, QWidget *Parent = nullptr);

    const QImage *Bitmap() const { return FBitmap; }
    // Gives the control the size of its bitmap; true when the size changed.
    bool SizeToBitmap();
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

    const QImage *FBitmap;
    // The bitmap in the backing store's own format, converted only where it changed: Qt would otherwise convert
    // every exposed 24-bit pixel at every paint, through its thread pool.
    QImage FScreen;
    qint64 FScreenKey = 0;
    QRegion FStale;
};
