// Paints the puzzle's display bitmap and turns Qt's mouse events into the picture's mouse signals.
#include "PictureView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <cstring>

// The conversion vectorises well with AVX2; other processors take the plain version.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define QUORRA_SCREEN_CLONE __attribute__((target_clones("avx2", "default")))
#else
#define QUORRA_SCREEN_CLONE
#endif

PictureView::PictureView(const QImage *bitmap, QWidget *parent) : QWidget(parent), m_bitmap(bitmap)
{
    setObjectName(QStringLiteral("pictureView"));
    // Every pixel is painted from the bitmap, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // The picture is played from the keyboard too; Tab and a click give it the focus.
    setFocusPolicy(Qt::StrongFocus);
    resize(0, 0);
}

bool PictureView::sizeToBitmap()
{
    const QSize bitmap = m_bitmap ? m_bitmap->size() : QSize(0, 0);
    // Rounded up: the last bitmap pixels must stay visible when the ratio does not divide the size.
    const QSize wanted(int(std::ceil(bitmap.width() / ratio())), int(std::ceil(bitmap.height() / ratio())));
    if (size() == wanted)
        return false;
    resize(wanted);
    return true;
}

void PictureView::bitmapChanged(const QRect &rect)
{
    // Without a screen copy there is nothing to keep track of: one is converted as a whole when it is made.
    if (!m_screen.isNull())
        m_stale += rect;
    update(toControl(rect));
}

void PictureView::paintFocusFrame()
{
    if (!hasFocus())
        return;
    // In the desktop's selection colour and two pixels wide, so that it shows on any picture; the style's own
    // focus frame is drawn faintly, for small controls on a plain background.
    QPainter painter(this);
    const int width = 2;
    painter.setPen(QPen(palette().color(QPalette::Highlight), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0));
}

void PictureView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void PictureView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

QRect PictureView::toControl(const QRect &bitmapRect) const
{
    const qreal r = ratio();
    return QRectF(bitmapRect.x() / r, bitmapRect.y() / r, bitmapRect.width() / r, bitmapRect.height() / r)
        .toAlignedRect();
}

QPoint PictureView::toBitmap(const QPointF &controlPoint) const
{
    const QPointF p = controlPoint * ratio();
    return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}

namespace {

// Four 24-bit pixels (blue, green, red) become four 32-bit ones (blue, green, red, 255) per step.
QUORRA_SCREEN_CLONE void bgrToRgb32(const uchar *from, quint32 *to, int count)
{
    typedef uchar TBytes __attribute__((vector_size(16)));
    [[maybe_unused]] const TBytes spread = {0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11, 0};
    const TBytes opaque = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    int x = 0;
    // Sixteen bytes are read for twelve, so the last pixels of a row go the slow way.
    for (; x + 6 <= count; x += 4, from += 12) {
        TBytes v;
        std::memcpy(&v, from, 16);
#if defined(__clang__)
        // Clang spells the same shuffle with the indexes as constants (its tools read this file too).
        v = __builtin_shufflevector(v, v, 0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11, 0) | opaque;
#else
        v = __builtin_shuffle(v, spread) | opaque;
#endif
        std::memcpy(to + x, &v, 16);
    }
    for (; x < count; ++x, from += 3)
        to[x] = 0xFF000000u | quint32(from[2]) << 16 | quint32(from[1]) << 8 | from[0];
}

} // namespace

void PictureView::convertStale(const QRect &area)
{
    const QRegion due = m_stale & area;
    if (due.isEmpty())
        return;
    for (const QRect &r : due)
        for (int y = r.top(); y <= r.bottom(); ++y)
            bgrToRgb32(m_bitmap->constScanLine(y) + qsizetype(r.left()) * 3,
                       reinterpret_cast<quint32 *>(m_screen.scanLine(y)) + r.left(), r.width());
    m_stale -= due;
}

void PictureView::paintEvent(QPaintEvent *event)
{
    if (!m_bitmap || m_bitmap->isNull())
        return;
    // Drawn over the picture once it is painted, with a painter of its own: declared first, it runs last.
    const auto focusFrame = qScopeGuard([this] { paintFocusFrame(); });
    QPainter painter(this);
    const qreal r = ratio();
    const QRect exposed = event->rect();
    const QRect area =
        QRectF(exposed.x() * r, exposed.y() * r, exposed.width() * r, exposed.height() * r).toAlignedRect()
        & m_bitmap->rect();
    // The sliver of screen pixels past the bitmap's last column or row, where the ratio does not divide its size.
    if (!QRectF(QPointF(0, 0), QSizeF(m_bitmap->size()) / r).contains(QRectF(exposed)))
        painter.fillRect(exposed, palette().window());
    // An image that says how many screen pixels it has per unit is drawn one bitmap pixel to one screen pixel.
    if (m_bitmap->format() != QImage::Format_BGR888) {
        QImage scaled = *m_bitmap;
        scaled.setDevicePixelRatio(r);
        painter.drawImage(QPointF(area.topLeft()) / r, scaled, area);
        return;
    }
    if (r == 1.0) {
        // One to one, the pixels go to the window through a strip small enough to stay in the processor's cache:
        // a whole-bitmap screen copy would cost a write and a read of megabytes of memory at every move of a drag,
        // three times what this conversion costs. The copy is given up, and is made afresh if the ratio changes.
        m_screen = QImage();
        m_stale = QRegion();
        paintThroughStrip(painter, area);
        return;
    }
    // A new bitmap (another size, or replaced) is converted anew as a whole.
    if (m_screen.size() != m_bitmap->size() || m_screenKey != m_bitmap->cacheKey()) {
        m_screen = QImage(m_bitmap->size(), QImage::Format_RGB32);
        m_screenKey = m_bitmap->cacheKey();
        m_stale = m_bitmap->rect();
    }
    m_screen.setDevicePixelRatio(r);
    convertStale(area);
    painter.drawImage(QPointF(area.topLeft()) / r, m_screen, area);
}

void PictureView::paintThroughStrip(QPainter &painter, const QRect &rect)
{
    if (rect.isEmpty())
        return;
    // About 256 KB of screen pixels, as wide as the bitmap.
    const int width = m_bitmap->width();
    if (m_strip.width() != width)
        m_strip = QImage(width, std::max(1, (256 * 1024) / (width * 4)), QImage::Format_RGB32);
    for (int top = rect.top(); top <= rect.bottom(); top += m_strip.height()) {
        const int count = std::min(m_strip.height(), rect.bottom() + 1 - top);
        for (int y = 0; y < count; ++y)
            bgrToRgb32(m_bitmap->constScanLine(top + y) + qsizetype(rect.left()) * 3,
                       reinterpret_cast<quint32 *>(m_strip.scanLine(y)), rect.width());
        painter.drawImage(QPoint(rect.left(), top), m_strip, QRect(0, 0, rect.width(), count));
    }
}

void PictureView::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = toBitmap(event->position());
    emit mouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void PictureView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = toBitmap(event->position());
    emit mouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}

void PictureView::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = toBitmap(event->position());
    emit mouseUp(event->button(), event->modifiers(), p.x(), p.y());
}
