// SPDX-License-Identifier: GPL-3.0-or-later
// Text drawn on pictures: the stamp font, the size search, and the inverted two-line stamp.
#include "TextStamp.h"

#include "WorkingBitmap.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

namespace quorra {

const QImage &measuringBitmap()
{
    static const QImage bitmap = createWorkingBitmap(1, 1);
    return bitmap;
}

namespace {

// The search runs for every concealed cell with the same few sizes, so its answers are remembered.
struct FitKey {
    QString font;
    QString text;
    int width;
    int height;
    bool operator==(const FitKey &other) const = default;
};

size_t qHash(const FitKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.font, key.text, key.width, key.height);
}

// Draws Text in Font with the top-left corner of its text box at (X, Y).
void drawTextAt(QPainter &painter, const QFont &font, int x, int y, const QString &text)
{
    painter.setFont(font);
    painter.drawText(x, y + QFontMetrics(font, painter.device()).ascent(), text);
}

} // namespace

QFont stampFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setBold(true);
    font.setPointSize(8);
    return font;
}

QColor stampColor()
{
    // Not the desktop's window-text colour: the numbers sit on light paper, and a dark theme's white text on it
    // could hardly be read.
    return QColor(Qt::black);
}

QFont fitFont(QFont font, const QString &text, int width, int height)
{
    static QHash<FitKey, int> known;
    font.setPointSize(8);
    const FitKey key{font.toString(), text, width, height};
    if (const auto found = known.constFind(key); found != known.constEnd()) {
        font.setPointSize(*found);
        return font;
    }
    int size = 8;
    for (;;) {
        font.setPointSize(size);
        const QFontMetrics metrics(font, &measuringBitmap());
        if (metrics.horizontalAdvance(text) >= width / 2 || metrics.height() >= height / 2 || size >= 255)
            break;
        ++size;
    }
    if (known.size() > 1024)
        known.clear();
    known.insert(key, size);
    return font;
}

void stampTwoLines(QImage &target, const QString &upper, const QString &lower)
{
    const int w = target.width(), h = target.height();
    if (w <= 0 || h <= 0)
        return;
    const QFont upperFont = fitFont(stampFont(), upper, w, h);
    const QFont lowerFont = fitFont(stampFont(), lower, w, h);
    const QFontMetrics upperMetrics(upperFont, &measuringBitmap());
    const QFontMetrics lowerMetrics(lowerFont, &measuringBitmap());
    const QPoint upperAt((w - upperMetrics.horizontalAdvance(upper)) / 2, (h - 2 * upperMetrics.height()) / 2);
    const QPoint lowerAt((w - lowerMetrics.horizontalAdvance(lower)) / 2, h / 2);
    // Black leaves the picture as it is, so only the boxes around the two lines need a buffer: a whole-picture
    // one cost a full-size allocation, fill and exclusive-or at every redraw in set-up. The glyph boxes get a
    // margin for the edge pixels of anti-aliasing; both lines share one buffer, as where they meet their edge
    // pixels are drawn over each other, not combined.
    auto inkBox = [](const QFontMetrics &metrics, const QString &text, QPoint at) {
        const int margin = 2 + metrics.height() / 4;
        return metrics.boundingRect(text)
            .translated(at.x(), at.y() + metrics.ascent())
            .adjusted(-margin, -margin, margin, margin);
    };
    const QRect box = (inkBox(upperMetrics, upper, upperAt) | inkBox(lowerMetrics, lower, lowerAt)) & target.rect();
    if (box.isEmpty())
        return;
    QImage buffer = createWorkingBitmap(box.width(), box.height());
    buffer.fill(Qt::black);
    {
        QPainter painter(&buffer);
        painter.setPen(QColor(255, 255, 255));
        drawTextAt(painter, upperFont, upperAt.x() - box.left(), upperAt.y() - box.top(), upper);
        drawTextAt(painter, lowerFont, lowerAt.x() - box.left(), lowerAt.y() - box.top(), lower);
    }
    const qsizetype bytes = qsizetype(box.width()) * 3;
    for (int y = 0; y < box.height(); ++y) {
        const uchar *s = buffer.constScanLine(y);
        uchar *d = target.scanLine(box.top() + y) + qsizetype(box.left()) * 3;
        for (qsizetype i = 0; i < bytes; ++i)
            d[i] ^= s[i];
    }
}

} // namespace quorra
