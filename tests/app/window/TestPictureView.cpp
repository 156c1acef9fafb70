// SPDX-License-Identifier: GPL-3.0-or-later
// The picture control paints exactly the bitmap's pixels, wherever it is asked to and after any change.
#include "PictureView.h"

#include <QTest>

#include <cstring>

using namespace quorra;

class TestPictureView : public QObject
{
    Q_OBJECT

private slots:
    void paintsTheBitmap_data();
    void paintsTheBitmap();
    void paintsAMovingLine_data();
    void paintsAMovingLine();
};

namespace {

const QRgb Untouched = 0xff123456u;

QImage noise(QSize size, quint32 seed)
{
    QImage bitmap(size, QImage::Format_BGR888);
    for (int y = 0; y < size.height(); ++y) {
        uchar *p = bitmap.scanLine(y);
        for (int x = 0; x < size.width() * 3; ++x) {
            seed = seed * 1664525u + 1013904223u;
            p[x] = uchar(seed >> 24);
        }
    }
    return bitmap;
}

// What the control shows of Area when rendered alone into an image filled with Untouched.
QImage rendered(PictureView &control, const QRect &area, QImage::Format format = QImage::Format_RGB32)
{
    QImage target(control.size(), format);
    target.fill(QColor::fromRgb(Untouched));
    control.render(&target, area.topLeft(), QRegion(area));
    return target;
}

// Every pixel of Area is the bitmap's, every other one is untouched.
void checkPixels(const QImage &shown, const QImage &bitmap, const QRect &area)
{
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb want = area.contains(x, y) ? bitmap.pixel(x, y) : Untouched;
            if (shown.pixel(x, y) != want)
                QFAIL(qPrintable(QStringLiteral("pixel %1, %2 is %3 instead of %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(shown.pixel(x, y), 8, 16)
                                     .arg(want, 8, 16)));
        }
}

} // namespace

void TestPictureView::paintsTheBitmap_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("changed");
    QTest::addColumn<QRect>("painted");

    // Rows of fewer than six pixels and the last pixels of every row take the per-pixel conversion.
    QTest::newRow("one pixel") << QSize(1, 1) << QRect(0, 0, 1, 1) << QRect(0, 0, 1, 1);
    QTest::newRow("five wide") << QSize(5, 3) << QRect(1, 1, 4, 2) << QRect(0, 0, 5, 3);
    QTest::newRow("a band, painted as a band") << QSize(37, 40) << QRect(0, 10, 37, 10) << QRect(0, 10, 37, 10);
    QTest::newRow("part of a band inside a column") << QSize(37, 40) << QRect(0, 10, 37, 10) << QRect(13, 5, 7, 30);
    // Wide enough that a paint goes through several strips of lines, the last one short.
    QTest::newRow("wide, whole") << QSize(3001, 157) << QRect(0, 0, 3001, 157) << QRect(0, 0, 3001, 157);
    QTest::newRow("wide, a column") << QSize(3001, 157) << QRect(2990, 3, 11, 150) << QRect(2989, 1, 12, 155);
}

// After a first paint, part of the bitmap changes: a paint of any area then shows the new pixels there and leaves
// the rest of the target alone.
void TestPictureView::paintsTheBitmap()
{
    QFETCH(QSize, size);
    QFETCH(QRect, changed);
    QFETCH(QRect, painted);

    QImage bitmap = noise(size, 1);
    PictureView control(&bitmap);
    QVERIFY(control.sizeToBitmap());
    checkPixels(rendered(control, control.rect()), bitmap, control.rect());

    const QImage other = noise(size, 2);
    for (int y = changed.top(); y <= changed.bottom(); ++y)
        std::memcpy(bitmap.scanLine(y) + changed.left() * 3, other.constScanLine(y) + changed.left() * 3,
                    size_t(changed.width()) * 3);
    control.bitmapChanged(changed);
    checkPixels(rendered(control, painted), bitmap, painted);
    // Painted again with no change in between: the same pixels.
    checkPixels(rendered(control, control.rect()), bitmap, control.rect());
}

void TestPictureView::paintsAMovingLine_data()
{
    QTest::addColumn<bool>("row");
    QTest::addColumn<int>("shift");
    QTest::addColumn<QRect>("painted");
    QTest::addColumn<int>("format");

    // Into an image the control writes itself, and one only QPainter can convert to.
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGBX8888}) {
        const char *into = format == QImage::Format_RGB32 ? "straight" : "through QPainter";
        for (const bool row : {true, false}) {
            const char *line = row ? "row" : "column";
            // Shifts of nothing, one pixel, the line's length less one, and the wrap point inside a partial paint.
            for (const int shift : {0, 1, row ? 36 : 39})
                QTest::addRow("%s, %s, shift %d, whole", into, line, shift)
                    << row << shift << QRect(0, 0, 37, 40) << int(format);
            QTest::addRow("%s, %s, across the band's edge and the wrap", into, line)
                << row << 17 << QRect(5, 12, 22, 25) << int(format);
        }
    }
}

// While a line is dragged, the control shows the strip rotated along the band, the bitmap everywhere else.
void TestPictureView::paintsAMovingLine()
{
    QFETCH(bool, row);
    QFETCH(int, shift);
    QFETCH(QRect, painted);
    QFETCH(int, format);

    const QImage bitmap = noise(QSize(37, 40), 1);
    const QRect band = row ? QRect(0, 10, 37, 10) : QRect(13, 0, 7, 40);
    const QImage strip = noise(band.size(), 2);
    PictureView control(&bitmap);
    QVERIFY(control.sizeToBitmap());
    control.setMovingLine([&] {
        return std::optional<MovingLine>({band, &strip, row ? Qt::Horizontal : Qt::Vertical, shift});
    });

    QImage shown = bitmap.convertToFormat(QImage::Format_RGB32);
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x) {
            const int along = row ? x - band.left() : y - band.top();
            const int length = row ? band.width() : band.height();
            const int from = (along - shift + length) % length;
            shown.setPixel(x, y, row ? strip.pixel(from, y - band.top()) : strip.pixel(x - band.left(), from));
        }
    checkPixels(rendered(control, painted, QImage::Format(format)), shown, painted);
}

QTEST_MAIN(TestPictureView)
#include "TestPictureView.moc"
