// Paints the puzzle's display bitmap and turns Qt's mouse events into the picture's mouse signals.
#include "TPictureControl.h"

#include <QMouseEvent>
#include <QPainter>

TPictureControl::TPictureControl(const QImage *Bitmap, QWidget *Parent) : QWidget(Parent), FBitmap(Bitmap)
{
    setObjectName(QStringLiteral("Image"));
    // Every pixel is painted from the bitmap, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(0, 0);
}

bool TPictureControl::SizeToBitmap()
{
    const QSize Wanted = FBitmap ? FBitmap->size() : QSize(0, 0);
    if (size() == Wanted)
        return false;
    resize(Wanted);
    return true;
}

void TPictureControl::paintEvent(QPaintEvent *Event)
{
    if (!FBitmap || FBitmap->isNull())
        return;
    QPainter Painter(this);
    const QRect Area = Event->rect() & FBitmap->rect();
    Painter.drawImage(Area.topLeft(), *FBitmap, Area);
}

void TPictureControl::mousePressEvent(QMouseEvent *Event)
{
    const QPoint P = Event->position().toPoint();
    emit MouseDown(Event->button(), Event->modifiers(), P.x(), P.y());
}

void TPictureControl::mouseMoveEvent(QMouseEvent *Event)
{
    const QPoint P = Event->position().toPoint();
    emit MouseMove(Event->buttons(), Event->modifiers(), P.x(), P.y());
}

void TPictureControl::mouseReleaseEvent(QMouseEvent *Event)
{
    const QPoint P = Event->position().toPoint();
    emit MouseUp(Event->button(), Event->modifiers(), P.x(), P.y());
}
