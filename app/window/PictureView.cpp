// SPDX-License-Identifier: GPL-3.0-or-later
// Paints the puzzle's display bitmap and turns Qt's mouse events into the picture's mouse signals.
#include "PictureView.h"

#include <QMouseEvent>
#include <QPaintEngine>
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

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QUORRA_VBMI_PATH
#endif

namespace quorra {

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

void PictureView::paintTravellingFrame()
{
    const std::optional<QRect> frame = m_travellingFrame ? m_travellingFrame() : std::nullopt;
    if (!frame)
        return;
    // The same black, white and black bands the cell's own frame has, one screen pixel each.
    QPainter painter(this);
    const qreal r = ratio();
    const QColor bands[] = {Qt::black, Qt::white, Qt::black};
    for (int k = 0; k < 3; ++k) {
        const QRectF ring(QPointF(frame->left() + k, frame->top() + k) / r,
                          QSizeF(frame->width() - 2 * k, frame->height() - 2 * k) / r);
        if (ring.width() <= 0 || ring.height() <= 0)
            break;
        const qreal pixel = 1 / r;
        painter.fillRect(QRectF(ring.left(), ring.top(), ring.width(), pixel), bands[k]);
        painter.fillRect(QRectF(ring.left(), ring.bottom() - pixel, ring.width(), pixel), bands[k]);
        painter.fillRect(QRectF(ring.left(), ring.top(), pixel, ring.height()), bands[k]);
        painter.fillRect(QRectF(ring.right() - pixel, ring.top(), pixel, ring.height()), bands[k]);
    }
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
QUORRA_SCREEN_CLONE void bgrToRgb32Plain(const uchar *from, quint32 *to, int count)
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

#if defined(QUORRA_VBMI_PATH)
// Sixteen pixels per step, with a byte permutation across the whole register; the masked loads and stores never
// touch a byte past the row's end.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void bgrToRgb32Vbmi(const uchar *from, quint32 *to, int count)
{
    alignas(64) static constexpr uchar Spread[64] = {0,  1,  2,  0, 3,  4,  5,  0, 6,  7,  8,  0, 9,  10, 11, 0,
                                                     12, 13, 14, 0, 15, 16, 17, 0, 18, 19, 20, 0, 21, 22, 23, 0,
                                                     24, 25, 26, 0, 27, 28, 29, 0, 30, 31, 32, 0, 33, 34, 35, 0,
                                                     36, 37, 38, 0, 39, 40, 41, 0, 42, 43, 44, 0, 45, 46, 47, 0};
    const __m512i spread = _mm512_load_si512(Spread);
    // Each pixel's fourth byte keeps Opaque's 255; the other three are picked from the input.
    const __m512i opaque = _mm512_set1_epi32(int(0xFF000000u));
    constexpr __mmask64 Colours = 0x7777777777777777ull;
    int x = 0;
    for (; x + 16 <= count; x += 16, from += 48) {
        const __m512i v = _mm512_maskz_loadu_epi8(0xFFFFFFFFFFFFull, from);
        _mm512_storeu_si512(to + x, _mm512_mask_permutexvar_epi8(opaque, Colours, spread, v));
    }
    if (x < count) {
        const int n = count - x;
        const __m512i v = _mm512_maskz_loadu_epi8((1ull << (n * 3)) - 1, from);
        _mm512_mask_storeu_epi32(to + x, __mmask16((1u << n) - 1),
                                 _mm512_mask_permutexvar_epi8(opaque, Colours, spread, v));
    }
}
#endif

void bgrToRgb32(const uchar *from, quint32 *to, int count)
{
#if defined(QUORRA_VBMI_PATH)
    static const bool vbmi = __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw");
    if (vbmi) {
        bgrToRgb32Vbmi(from, to, count);
        return;
    }
#endif
    bgrToRgb32Plain(from, to, count);
}

} // namespace

void PictureView::convertLine(int y, int x, int count, quint32 *to, const MovingLine *line) const
{
    const uchar *row = m_bitmap->constScanLine(y);
    if (!line || y < line->band.top() || y > line->band.bottom()) {
        bgrToRgb32(row + qsizetype(x) * 3, to, count);
        return;
    }
    // Left of the line, the line, right of it.
    const int end = x + count;
    const int lineStart = std::clamp(line->band.left(), x, end);
    const int lineEnd = std::clamp(line->band.right() + 1, lineStart, end);
    if (lineStart > x)
        bgrToRgb32(row + qsizetype(x) * 3, to, lineStart - x);
    line->forEachRun(y, lineStart, lineEnd - lineStart,
                     [to, x](const uchar *pixels, int at, int n) { bgrToRgb32(pixels, to + (at - x), n); });
    if (end > lineEnd)
        bgrToRgb32(row + qsizetype(lineEnd) * 3, to + (lineEnd - x), end - lineEnd);
}

void PictureView::convertStale(const QRect &area, const MovingLine *line)
{
    const QRegion due = m_stale & area;
    if (due.isEmpty())
        return;
    for (const QRect &r : due)
        for (int y = r.top(); y <= r.bottom(); ++y)
            convertLine(y, r.left(), r.width(), reinterpret_cast<quint32 *>(m_screen.scanLine(y)) + r.left(), line);
    m_stale -= due;
}

void PictureView::paintEvent(QPaintEvent *event)
{
    if (!m_bitmap || m_bitmap->isNull())
        return;
    // Drawn over the picture once it is painted, with a painter of its own: declared first, it runs last.
    const auto frames = qScopeGuard([this] {
        paintTravellingFrame();
        paintFocusFrame();
    });
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
    // A line being dragged is shown from its own strip: the bitmap gets its pixels only once the drag is done.
    std::optional<MovingLine> moving = m_movingLine ? m_movingLine() : std::nullopt;
    if (moving && (moving->band & m_bitmap->rect()) != moving->band)
        moving.reset();
    const MovingLine *line = moving ? &*moving : nullptr;
    if (r == 1.0) {
        // One to one, the pixels go to the window converted in one pass: a whole-bitmap screen copy would cost a
        // write and a read of megabytes of memory at every move of a drag, three times what this conversion
        // costs. The copy is given up, and is made afresh if the ratio changes.
        m_screen = QImage();
        m_stale = QRegion();
        if (!paintStraight(painter, area, line))
            paintThroughStrip(painter, area, line);
        return;
    }
    // A new bitmap (another size, or replaced) is converted anew as a whole. The key's upper half names the
    // pixel memory; the lower half counts every write access to it, which each change reports anyway.
    if (m_screen.size() != m_bitmap->size() || m_screenKey != m_bitmap->cacheKey() >> 32) {
        m_screen = QImage(m_bitmap->size(), QImage::Format_RGB32);
        m_screenKey = m_bitmap->cacheKey() >> 32;
        m_stale = m_bitmap->rect();
    }
    m_screen.setDevicePixelRatio(r);
    convertStale(area, line);
    painter.drawImage(QPointF(area.topLeft()) / r, m_screen, area);
}

bool PictureView::paintStraight(QPainter &painter, const QRect &rect, const MovingLine *line)
{
    // The window's backing store (or an image being rendered into) takes the pixels as they are, at whole-pixel
    // offsets, inside the clip Qt gave the painter; anything else goes through QPainter.
    QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || !engine->paintDevice()
        || engine->paintDevice()->devType() != QInternal::Image || painter.hasClipping()
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver || painter.opacity() != 1.0)
        return false;
    auto *target = static_cast<QImage *>(engine->paintDevice());
    const QTransform transform = painter.deviceTransform();
    const QImage::Format format = target->format();
    if (transform.type() > QTransform::TxTranslate || transform.dx() != std::floor(transform.dx())
        || transform.dy() != std::floor(transform.dy()) || target->devicePixelRatio() != 1.0
        || (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32
            && format != QImage::Format_ARGB32_Premultiplied))
        return false;
    const QPoint offset(int(transform.dx()), int(transform.dy()));
    QRegion clip = engine->systemClip();
    if (clip.isEmpty())
        clip = target->rect();
    const QRegion due = (clip & rect.translated(offset)) & target->rect();
    if (due.isEmpty())
        return true;
    // The painter has made the image its own (detached) when it began, so writing its lines copies nothing.
    uchar *bits = target->bits();
    const qsizetype stride = target->bytesPerLine();
    for (const QRect &r : due)
        for (int y = r.top(); y <= r.bottom(); ++y)
            convertLine(y - offset.y(), r.left() - offset.x(), r.width(),
                        reinterpret_cast<quint32 *>(bits + y * stride) + r.left(), line);
    return true;
}

void PictureView::paintThroughStrip(QPainter &painter, const QRect &rect, const MovingLine *line)
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
            convertLine(top + y, rect.left(), rect.width(), reinterpret_cast<quint32 *>(m_strip.scanLine(y)), line);
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

} // namespace quorra
