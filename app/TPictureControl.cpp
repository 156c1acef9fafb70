// Paints the puzzle's display bitmap and turns Qt's mouse events into the picture's mouse signals.
#include "TPictureControl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <cmath>
#include <cstring>

// The conversion vectorises well with AVX2; other processors take the plain version.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define QUORRA_SCREEN_CLONE __attribute__((target_clones("avx2", "default")))
#else
#define QUORRA_SCREEN_CLONE
#endif

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
    const QSize Bitmap = FBitmap ? FBitmap->size() : QSize(0, 0);
    // Rounded up: the last bitmap pixels must stay visible when the ratio does not divide the size.
    const QSize Wanted(int(std::ceil(Bitmap.width() / Ratio())), int(std::ceil(Bitmap.height() / Ratio())));
    if (size() == Wanted)
        return false;
    resize(Wanted);
    return true;
}

void TPictureControl::BitmapChanged(const QRect &Rect)
{
    // Without a screen copy there is nothing to keep track of: one is converted as a whole when it is made.
    if (!FScreen.isNull())
        FStale += Rect;
    update(ToControl(Rect));
}

QRect TPictureControl::ToControl(const QRect &BitmapRect) const
{
    const qreal R = Ratio();
    return QRectF(BitmapRect.x() / R, BitmapRect.y() / R, BitmapRect.width() / R, BitmapRect.height() / R)
        .toAlignedRect();
}

QPoint TPictureControl::ToBitmap(const QPointF &ControlPoint) const
{
    const QPointF P = ControlPoint * Ratio();
    return QPoint(int(std::floor(P.x())), int(std::floor(P.y())));
}

namespace {

// Four 24-bit pixels (blue, green, red) become four 32-bit ones (blue, green, red, 255) per step.
QUORRA_SCREEN_CLONE void BgrToRgb32(const uchar *From, quint32 *To, int Count)
{
    typedef uchar TBytes __attribute__((vector_size(16)));
    const TBytes Spread = {0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11, 0};
    const TBytes Opaque = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    int X = 0;
    // Sixteen bytes are read for twelve, so the last pixels of a row go the slow way.
    for (; X + 6 <= Count; X += 4, From += 12) {
        TBytes V;
        std::memcpy(&V, From, 16);
        V = __builtin_shuffle(V, Spread) | Opaque;
        std::memcpy(To + X, &V, 16);
    }
    for (; X < Count; ++X, From += 3)
        To[X] = 0xFF000000u | quint32(From[2]) << 16 | quint32(From[1]) << 8 | From[0];
}

} // namespace

void TPictureControl::ConvertStale(const QRect &Area)
{
    const QRegion Due = FStale & Area;
    if (Due.isEmpty())
        return;
    for (const QRect &R : Due)
        for (int Y = R.top(); Y <= R.bottom(); ++Y)
            BgrToRgb32(FBitmap->constScanLine(Y) + qsizetype(R.left()) * 3,
                       reinterpret_cast<quint32 *>(FScreen.scanLine(Y)) + R.left(), R.width());
    FStale -= Due;
}

void TPictureControl::paintEvent(QPaintEvent *Event)
{
    if (!FBitmap || FBitmap->isNull())
        return;
    QPainter Painter(this);
    const qreal R = Ratio();
    const QRect Exposed = Event->rect();
    const QRect Area =
        QRectF(Exposed.x() * R, Exposed.y() * R, Exposed.width() * R, Exposed.height() * R).toAlignedRect() &
        FBitmap->rect();
    // The sliver of screen pixels past the bitmap's last column or row, where the ratio does not divide its size.
    if (!QRectF(QPointF(0, 0), QSizeF(FBitmap->size()) / R).contains(QRectF(Exposed)))
        Painter.fillRect(Exposed, palette().window());
    // An image that says how many screen pixels it has per unit is drawn one bitmap pixel to one screen pixel.
    if (FBitmap->format() != QImage::Format_BGR888) {
        QImage Scaled = *FBitmap;
        Scaled.setDevicePixelRatio(R);
        Painter.drawImage(QPointF(Area.topLeft()) / R, Scaled, Area);
        return;
    }
    if (R == 1.0) {
        // One to one, the pixels go to the window through a strip small enough to stay in the processor's cache:
        // a whole-bitmap screen copy would cost a write and a read of megabytes of memory at every move of a drag,
        // three times what this conversion costs. The copy is given up, and is made afresh if the ratio changes.
        FScreen = QImage();
        FStale = QRegion();
        PaintThroughStrip(Painter, Area);
        return;
    }
    // A new bitmap (another size, or replaced) is converted anew as a whole.
    if (FScreen.size() != FBitmap->size() || FScreenKey != FBitmap->cacheKey()) {
        FScreen = QImage(FBitmap->size(), QImage::Format_RGB32);
        FScreenKey = FBitmap->cacheKey();
        FStale = FBitmap->rect();
    }
    FScreen.setDevicePixelRatio(R);
    ConvertStale(Area);
    Painter.drawImage(QPointF(Area.topLeft()) / R, FScreen, Area);
}

void TPictureControl::PaintThroughStrip(QPainter &Painter, const QRect &Rect)
{
    if (Rect.isEmpty())
        return;
    // About 256 KB of screen pixels, as wide as the bitmap.
    const int Width = FBitmap->width();
    if (FStrip.width() != Width)
        FStrip = QImage(Width, std::max(1, (256 * 1024) / (Width * 4)), QImage::Format_RGB32);
    for (int Top = Rect.top(); Top <= Rect.bottom(); Top += FStrip.height()) {
        const int Count = std::min(FStrip.height(), Rect.bottom() + 1 - Top);
        for (int Y = 0; Y < Count; ++Y)
            BgrToRgb32(FBitmap->constScanLine(Top + Y) + qsizetype(Rect.left()) * 3,
                       reinterpret_cast<quint32 *>(FStrip.scanLine(Y)), Rect.width());
        Painter.drawImage(QPoint(Rect.left(), Top), FStrip, QRect(0, 0, Rect.width(), Count));
    }
}

void TPictureControl::mousePressEvent(QMouseEvent *Event)
{
    const QPoint P = ToBitmap(Event->position());
    emit MouseDown(Event->button(), Event->modifiers(), P.x(), P.y());
}

void TPictureControl::mouseMoveEvent(QMouseEvent *Event)
{
    const QPoint P = ToBitmap(Event->position());
    emit MouseMove(Event->buttons(), Event->modifiers(), P.x(), P.y());
}

void TPictureControl::mouseReleaseEvent(QMouseEvent *Event)
{
    const QPoint P = ToBitmap(Event->position());
    emit MouseUp(Event->button(), Event->modifiers(), P.x(), P.y());
}
