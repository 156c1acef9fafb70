// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's numbered paper: each cell's number drawn with QPainter in the stamp font.
#include "QtNumberStamp.h"

#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace quorra {

namespace {

// A number drawn on the texture: the pixels it changed, within their bounding box.
struct NumberPatch {
    QRect box;
    QImage pixels;
};

struct NumberKey {
    QString font;
    QString text;
    int width;
    int height;
    qint64 texture;
    bool operator==(const NumberKey &other) const = default;
};

size_t qHash(const NumberKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.font, key.text, key.width, key.height, key.texture);
}

// Drawing big glyphs costs far more than the texture under them, and every rebuild, tangle and save conceals
// the same cells again, so each number is drawn once per cell size and then pasted as the pixels it changed.
QHash<NumberKey, NumberPatch> &numberPatches()
{
    static QHash<NumberKey, NumberPatch> patches;
    return patches;
}

// The bounding box of the pixels where Cell differs from Texture tiled from its top-left corner.
QRect changedBox(const QImage &cell, const QImage &texture)
{
    const int w = cell.width(), h = cell.height(), pw = texture.width(), ph = texture.height();
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y) {
        const uchar *c = cell.constScanLine(y);
        const uchar *t = texture.constScanLine(y % ph);
        for (int x = 0; x < w; x += pw) {
            const int count = std::min(pw, w - x);
            if (std::memcmp(c + qsizetype(x) * 3, t, size_t(count) * 3) == 0)
                continue;
            for (int i = 0; i < count; ++i)
                if (std::memcmp(c + qsizetype(x + i) * 3, t + qsizetype(i) * 3, 3) != 0) {
                    left = std::min(left, x + i);
                    right = std::max(right, x + i);
                }
            top = std::min(top, y);
            bottom = y;
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

void drawNumber(QImage &cell, const QFont &font, const QString &text)
{
    const int w = cell.width(), h = cell.height();
    const QFontMetrics metrics(font, &measuringBitmap());
    // Point sizes are meant at 96 dots per inch, as they were measured.
    cell.setDotsPerMeterX(measuringBitmap().dotsPerMeterX());
    cell.setDotsPerMeterY(measuringBitmap().dotsPerMeterY());
    QPainter painter(&cell);
    painter.setFont(font);
    painter.setPen(stampColor());
    painter.drawText((w - metrics.horizontalAdvance(text)) / 2, (h - metrics.height()) / 2 + metrics.ascent(), text);
}

} // namespace

void QtNumberStamp::stamp(PixelView view, std::int32_t number)
{
    // An image over the cell's own rows, not a copy: what is painted on it is the cell.
    QImage cell(view.bits(), view.width(), view.height(), view.stride(), WorkingFormat);
    const QImage &texture = m_texture;
    const int w = cell.width(), h = cell.height();
    // The size is chosen for "00" so that no cell's number gives away how many digits it has.
    const QFont font = fitFont(stampFont(), QStringLiteral("00"), w, h);
    const QString text = QString::number(number);
    if (texture.format() != WorkingFormat) {
        drawNumber(cell, font, text);
        return;
    }
    const NumberKey key{font.toString(), text, w, h, texture.cacheKey()};
    auto &patches = numberPatches();
    if (const auto found = patches.constFind(key); found != patches.constEnd()) {
        const QRect &box = found->box;
        for (int y = 0; y < box.height(); ++y)
            std::memcpy(cell.scanLine(box.top() + y) + qsizetype(box.left()) * 3, found->pixels.constScanLine(y),
                        size_t(box.width()) * 3);
        return;
    }
    drawNumber(cell, font, text);
    const QRect box = changedBox(cell, texture);
    // A few dozen numbers of a few cell sizes are all a session needs; a forgotten one is merely drawn again.
    static qsizetype bytes = 0;
    const QImage pixels = box.isEmpty() ? QImage() : cell.copy(box);
    if (patches.size() >= 256 || bytes + pixels.sizeInBytes() > (qsizetype(64) << 20)) {
        patches.clear();
        bytes = 0;
    }
    bytes += pixels.sizeInBytes();
    patches.insert(key, {box, pixels});
}

} // namespace quorra
