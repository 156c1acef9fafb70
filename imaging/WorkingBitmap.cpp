// SPDX-License-Identifier: GPL-3.0-or-later
// Working bitmaps and the raster helpers (stretch, copy, inversion, exclusive-or, tiling) behind all drawing.
#include "WorkingBitmap.h"

#include <QColor>
#include <algorithm>
#include <cstring>
#include <vector>

namespace quorra {

namespace {

// 96 dots per inch, so that font point sizes give the same pixels on every desktop.
constexpr int WorkingDotsPerMeter = 3780;

struct PaletteEntry {
    uchar b, g, r;
    bool transparent;
};

// Stretches row by row through a precomputed column map. Fetch(row, sourceX, target) writes one target pixel
// and returns false for a pixel that is left out. Rows that repeat the previous source row are copied whole
// when no pixel can be left out.
template <typename TFetch>
void stretchRows(const QImage &source, QImage &target, bool opaque, TFetch fetch)
{
    const int sw = source.width(), sh = source.height();
    const int tw = target.width(), th = target.height();
    std::vector<int> columns(tw);
    for (int x = 0; x < tw; ++x)
        columns[x] = static_cast<int>(static_cast<qint64>(x) * sw / tw);
    const qsizetype rowBytes = qsizetype(tw) * 3;
    int previousRow = -1;
    for (int y = 0; y < th; ++y) {
        const int sy = static_cast<int>(static_cast<qint64>(y) * sh / th);
        uchar *d = target.scanLine(y);
        if (opaque && sy == previousRow) {
            std::memcpy(d, target.constScanLine(y - 1), rowBytes);
            continue;
        }
        previousRow = sy;
        const uchar *s = source.constScanLine(sy);
        for (int x = 0; x < tw; ++x, d += 3)
            fetch(s, columns[x], d);
    }
}

void stretchPalette(const QImage &source, QImage &target, bool monoMsb, bool monoLsb)
{
    PaletteEntry lut[256];
    bool opaque = true;
    const QList<QRgb> table = source.colorTable();
    for (int i = 0; i < 256; ++i) {
        // Indices past the table show black, as a palette bitmap with a short table does.
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        const bool clear = i < table.size() && qAlpha(c) == 0;
        lut[i] = {uchar(qBlue(c)), uchar(qGreen(c)), uchar(qRed(c)), clear};
        opaque = opaque && !clear;
    }
    auto put = [&lut](int index, uchar *d) {
        const PaletteEntry &e = lut[index];
        if (e.transparent)
            return;
        d[0] = e.b;
        d[1] = e.g;
        d[2] = e.r;
    };
    if (monoMsb)
        stretchRows(source, target, opaque,
                    [&put](const uchar *s, int x, uchar *d) { put((s[x >> 3] >> (7 - (x & 7))) & 1, d); });
    else if (monoLsb)
        stretchRows(source, target, opaque,
                    [&put](const uchar *s, int x, uchar *d) { put((s[x >> 3] >> (x & 7)) & 1, d); });
    else
        stretchRows(source, target, opaque, [&put](const uchar *s, int x, uchar *d) { put(s[x], d); });
}

void putArgb(QRgb p, uchar *d)
{
    if (qAlpha(p) == 0)
        return;
    d[0] = uchar(qBlue(p));
    d[1] = uchar(qGreen(p));
    d[2] = uchar(qRed(p));
}

} // namespace

QImage createWorkingBitmap()
{
    return QImage();
}

QImage createWorkingBitmap(int width, int height)
{
    QImage result(std::max(width, 0), std::max(height, 0), WorkingFormat);
    if (!result.isNull())
        result.fill(Qt::white);
    result.setDotsPerMeterX(WorkingDotsPerMeter);
    result.setDotsPerMeterY(WorkingDotsPerMeter);
    return result;
}

void stretchDraw(const QImage &source, QImage &target)
{
    if (source.isNull() || target.isNull())
        return;
    if (target.format() != WorkingFormat)
        target.convertTo(WorkingFormat);
    switch (source.format()) {
    case QImage::Format_BGR888:
        stretchRows(source, target, true, [](const uchar *s, int x, uchar *d) {
            const uchar *p = s + 3 * ptrdiff_t(x);
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
        });
        return;
    case QImage::Format_RGB888:
        stretchRows(source, target, true, [](const uchar *s, int x, uchar *d) {
            const uchar *p = s + 3 * ptrdiff_t(x);
            d[0] = p[2];
            d[1] = p[1];
            d[2] = p[0];
        });
        return;
    case QImage::Format_RGB32:
        stretchRows(source, target, true, [](const uchar *s, int x, uchar *d) {
            const QRgb p = reinterpret_cast<const QRgb *>(s)[x];
            d[0] = uchar(qBlue(p));
            d[1] = uchar(qGreen(p));
            d[2] = uchar(qRed(p));
        });
        return;
    case QImage::Format_ARGB32:
        stretchRows(source, target, false,
                    [](const uchar *s, int x, uchar *d) { putArgb(reinterpret_cast<const QRgb *>(s)[x], d); });
        return;
    case QImage::Format_ARGB32_Premultiplied:
        stretchRows(source, target, false, [](const uchar *s, int x, uchar *d) {
            putArgb(qUnpremultiply(reinterpret_cast<const QRgb *>(s)[x]), d);
        });
        return;
    case QImage::Format_Grayscale8:
        stretchRows(source, target, true, [](const uchar *s, int x, uchar *d) { d[0] = d[1] = d[2] = s[x]; });
        return;
    case QImage::Format_Indexed8:
        stretchPalette(source, target, false, false);
        return;
    case QImage::Format_Mono:
        stretchPalette(source, target, true, false);
        return;
    case QImage::Format_MonoLSB:
        stretchPalette(source, target, false, true);
        return;
    default:
        break;
    }
    // Rare formats: convert only the source rows that are used, one at a time, never the whole picture.
    int convertedRow = -1;
    QImage row;
    const int sh = source.height(), th = target.height();
    QImage rowTarget;
    for (int y = 0; y < th; ++y) {
        const int sy = static_cast<int>(static_cast<qint64>(y) * sh / th);
        if (sy != convertedRow) {
            row = source.copy(0, sy, source.width(), 1).convertToFormat(QImage::Format_ARGB32);
            convertedRow = sy;
        }
        // Stretch the converted row onto this one target row through a one-row view of the target.
        QImage line(target.scanLine(y), target.width(), 1, target.bytesPerLine(), WorkingFormat);
        stretchRows(row, line, false,
                    [](const uchar *s, int x, uchar *d) { putArgb(reinterpret_cast<const QRgb *>(s)[x], d); });
    }
}

void copyRect(const QImage &source, const QRect &sourceRect, QImage &target, QPoint targetPos)
{
    if (sourceRect.width() <= 0 || sourceRect.height() <= 0)
        return;
    QRect from = sourceRect.intersected(source.rect());
    if (from.isEmpty())
        return;
    QPoint to = targetPos + (from.topLeft() - sourceRect.topLeft());
    const QRect into = QRect(to, from.size()).intersected(target.rect());
    if (into.isEmpty())
        return;
    from = QRect(from.topLeft() + (into.topLeft() - to), into.size());
    const qsizetype bytes = qsizetype(into.width()) * 3;
    const bool same = &source == &target;
    // Copying within one bitmap downwards must run bottom-up so that no row is read after it was written.
    const bool bottomUp = same && into.top() > from.top();
    for (int i = 0; i < into.height(); ++i) {
        const int r = bottomUp ? into.height() - 1 - i : i;
        uchar *d = target.scanLine(into.top() + r) + qsizetype(into.left()) * 3;
        const uchar *s = source.constScanLine(from.top() + r) + qsizetype(from.left()) * 3;
        std::memmove(d, s, bytes);
    }
}

void invertRect(QImage &target, const QRect &rect)
{
    // QRect would turn a negative size around; a band of a too narrow bitmap simply has no pixels.
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const QRect r = rect.intersected(target.rect());
    if (r.isEmpty())
        return;
    const qsizetype bytes = qsizetype(r.width()) * 3;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        uchar *d = target.scanLine(y) + qsizetype(r.left()) * 3;
        for (qsizetype i = 0; i < bytes; ++i)
            d[i] = uchar(~d[i]);
    }
}

void xorCopy(const QImage &source, QImage &target)
{
    const int w = std::min(source.width(), target.width());
    const int h = std::min(source.height(), target.height());
    const qsizetype bytes = qsizetype(w) * 3;
    for (int y = 0; y < h; ++y) {
        const uchar *s = source.constScanLine(y);
        uchar *d = target.scanLine(y);
        for (qsizetype i = 0; i < bytes; ++i)
            d[i] ^= s[i];
    }
}

void tilePicture(QImage &target, const QImage &picture)
{
    if (picture.isNull() || target.isNull())
        return;
    const QImage tile = picture.format() == WorkingFormat ? picture : picture.convertToFormat(WorkingFormat);
    const int tw = target.width(), th = target.height();
    const int pw = tile.width(), ph = tile.height();
    for (int y = 0; y < th; ++y) {
        const uchar *s = tile.constScanLine(y % ph);
        uchar *d = target.scanLine(y);
        for (int x = 0; x < tw; x += pw) {
            const int count = std::min(pw, tw - x);
            std::memcpy(d + qsizetype(x) * 3, s, qsizetype(count) * 3);
        }
    }
}

void drawCellFrame(QImage &target, int thickness)
{
    const int n = thickness, w = target.width(), h = target.height();
    if (n <= 0)
        return;
    // The corners belong to the side bands only, so every border pixel is inverted exactly once.
    invertRect(target, QRect(n, 0, w - 2 * n, n));
    invertRect(target, QRect(n, h - n, w - 2 * n, n));
    invertRect(target, QRect(0, 0, n, h));
    invertRect(target, QRect(w - n, 0, n, h));
}

void drawSelectionFrame(QImage &target)
{
    const int w = target.width(), h = target.height();
    const QRgb bands[] = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0)};
    for (int k = 0; k < int(std::size(bands)) && 2 * k < w && 2 * k < h; ++k) {
        const QRect ring(k, k, w - 2 * k, h - 2 * k);
        for (int x = ring.left(); x <= ring.right(); ++x) {
            target.setPixel(x, ring.top(), bands[k]);
            target.setPixel(x, ring.bottom(), bands[k]);
        }
        for (int y = ring.top(); y <= ring.bottom(); ++y) {
            target.setPixel(ring.left(), y, bands[k]);
            target.setPixel(ring.right(), y, bands[k]);
        }
    }
}

const QImage &concealmentTexture()
{
    static const QImage texture = [] {
        QImage loaded(QStringLiteral(":/texture/Concealment.png"));
        loaded.convertTo(WorkingFormat);
        loaded.setDotsPerMeterX(WorkingDotsPerMeter);
        loaded.setDotsPerMeterY(WorkingDotsPerMeter);
        return loaded;
    }();
    return texture;
}

} // namespace quorra
