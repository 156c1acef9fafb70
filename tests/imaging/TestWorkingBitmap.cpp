// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of working bitmaps, the nearest-neighbour stretch, the raster helpers and the paper texture.
#include "WorkingBitmap.h"

#include <QtTest>

using namespace quorra;

namespace {

// A bitmap whose every pixel differs from its neighbours, in colours every pixel format holds exactly.
QImage pattern(int w, int h, bool blackAndWhite)
{
    QImage image = createWorkingBitmap(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int code = (x * 5 + y * 3) % 8;
            const QRgb c = blackAndWhite ? ((x + 2 * y) % 3 ? qRgb(255, 255, 255) : qRgb(0, 0, 0))
                                         : qRgb(code & 1 ? 255 : 0, code & 2 ? 255 : 0, code & 4 ? 255 : 0);
            image.setPixel(x, y, c);
        }
    return image;
}

QImage converted(const QImage &image, QImage::Format format)
{
    if (format == QImage::Format_Indexed8 || format == QImage::Format_Mono || format == QImage::Format_MonoLSB)
        return image.convertToFormat(format, Qt::ThresholdDither | Qt::AvoidDither);
    return image.convertToFormat(format);
}

int countDifferences(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

} // namespace

class TestWorkingBitmap : public QObject
{
    Q_OBJECT

private slots:
    void newBitmapIsWhite24Bit96Dpi_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1 x 1") << QSize(1, 1);
        QTest::newRow("row padding 5 x 3") << QSize(5, 3);
        QTest::newRow("cell 150 x 97") << QSize(150, 97);
    }

    void newBitmapIsWhite24Bit96Dpi()
    {
        QFETCH(QSize, size);
        const QImage bitmap = createWorkingBitmap(size.width(), size.height());
        QCOMPARE(bitmap.size(), size);
        QCOMPARE(bitmap.format(), QImage::Format_BGR888);
        QCOMPARE(bitmap.bytesPerLine() % 4, 0);
        QCOMPARE(bitmap.logicalDpiX(), 96);
        QCOMPARE(bitmap.logicalDpiY(), 96);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                QCOMPARE(bitmap.pixel(x, y), qRgb(255, 255, 255));
        QVERIFY(createWorkingBitmap().isNull());
    }

    void stretchIsNearestNeighbour_data()
    {
        QTest::addColumn<QSize>("from");
        QTest::addColumn<QSize>("to");
        QTest::newRow("enlarge 3 x") << QSize(4, 3) << QSize(12, 9);
        QTest::newRow("reduce to every other") << QSize(8, 6) << QSize(4, 3);
        QTest::newRow("same size") << QSize(5, 4) << QSize(5, 4);
        QTest::newRow("one pixel") << QSize(7, 5) << QSize(1, 1);
    }

    void stretchIsNearestNeighbour()
    {
        QFETCH(QSize, from);
        QFETCH(QSize, to);
        const QImage source = pattern(from.width(), from.height(), false);
        QImage target = createWorkingBitmap(to.width(), to.height());
        stretchDraw(source, target);
        // Whole-number ratios: every target pixel repeats, or picks, the source pixel its block starts at.
        for (int y = 0; y < to.height(); ++y)
            for (int x = 0; x < to.width(); ++x)
                QCOMPARE(target.pixel(x, y),
                         source.pixel(x * from.width() / to.width(), y * from.height() / to.height()));
    }

    void stretchNeverAverages()
    {
        const QImage source = pattern(13, 11, false);
        QImage target = createWorkingBitmap(29, 7);
        stretchDraw(source, target);
        QSet<QRgb> sourceColours;
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 13; ++x)
                sourceColours.insert(source.pixel(x, y));
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 29; ++x)
                QVERIFY(sourceColours.contains(target.pixel(x, y)));
    }

    void stretchReadsEverySourceFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("blackAndWhite");
        QTest::newRow("RGB888") << int(QImage::Format_RGB888) << false;
        QTest::newRow("RGB32") << int(QImage::Format_RGB32) << false;
        QTest::newRow("ARGB32") << int(QImage::Format_ARGB32) << false;
        QTest::newRow("ARGB32 premultiplied") << int(QImage::Format_ARGB32_Premultiplied) << false;
        QTest::newRow("Indexed8") << int(QImage::Format_Indexed8) << false;
        QTest::newRow("RGB16 (row by row conversion)") << int(QImage::Format_RGB16) << false;
        QTest::newRow("RGBA8888 (row by row conversion)") << int(QImage::Format_RGBA8888) << false;
        QTest::newRow("Grayscale8") << int(QImage::Format_Grayscale8) << true;
        QTest::newRow("Mono") << int(QImage::Format_Mono) << true;
        QTest::newRow("MonoLSB") << int(QImage::Format_MonoLSB) << true;
    }

    void stretchReadsEverySourceFormat()
    {
        QFETCH(int, format);
        QFETCH(bool, blackAndWhite);
        const QImage reference = pattern(19, 13, blackAndWhite);
        const QImage source = converted(reference, QImage::Format(format));
        QCOMPARE(int(source.format()), format);
        for (const QSize to : {QSize(41, 30), QSize(7, 5)}) {
            QImage expected = createWorkingBitmap(to.width(), to.height());
            stretchDraw(reference, expected);
            QImage target = createWorkingBitmap(to.width(), to.height());
            stretchDraw(source, target);
            QCOMPARE(target.format(), QImage::Format_BGR888);
            QCOMPARE(countDifferences(target, expected), 0);
        }
    }

    void stretchLeavesOutTransparentPixels_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("palette with a transparent entry") << int(QImage::Format_Indexed8);
        QTest::newRow("ARGB32") << int(QImage::Format_ARGB32);
        QTest::newRow("ARGB32 premultiplied") << int(QImage::Format_ARGB32_Premultiplied);
        QTest::newRow("RGBA8888 (row by row conversion)") << int(QImage::Format_RGBA8888);
    }

    void stretchLeavesOutTransparentPixels()
    {
        QFETCH(int, format);
        QImage source;
        if (format == QImage::Format_Indexed8) {
            source = QImage(2, 2, QImage::Format_Indexed8);
            source.setColorTable({qRgb(10, 20, 30), qRgba(0, 0, 0, 0)});
            source.fill(0);
            source.setPixel(1, 1, 1);
        } else {
            source = QImage(2, 2, QImage::Format(format));
            source.fill(QColor(qRgb(10, 20, 30)));
            source.setPixel(1, 1, qRgba(0, 0, 0, 0));
        }
        QImage target = createWorkingBitmap(4, 4);
        target.fill(QColor(qRgb(200, 100, 50)));
        stretchDraw(source, target);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(target.pixel(x, y), x >= 2 && y >= 2 ? qRgb(200, 100, 50) : qRgb(10, 20, 30));
    }

    void copyRectClips_data()
    {
        QTest::addColumn<QRect>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QRect>("changed");
        QTest::newRow("inside") << QRect(1, 1, 3, 2) << QPoint(5, 4) << QRect(5, 4, 3, 2);
        QTest::newRow("past the target's edge") << QRect(0, 0, 4, 4) << QPoint(8, 7) << QRect(8, 7, 2, 1);
        QTest::newRow("source partly outside") << QRect(-2, -1, 4, 3) << QPoint(0, 0) << QRect(2, 1, 2, 2);
        QTest::newRow("target negative") << QRect(0, 0, 3, 3) << QPoint(-1, -2) << QRect(0, 0, 2, 1);
        QTest::newRow("empty") << QRect(2, 2, 0, 3) << QPoint(0, 0) << QRect();
    }

    void copyRectClips()
    {
        QFETCH(QRect, from);
        QFETCH(QPoint, to);
        QFETCH(QRect, changed);
        const QImage source = pattern(6, 6, false);
        QImage target = createWorkingBitmap(10, 8);
        target.fill(QColor(qRgb(1, 2, 3)));
        copyRect(source, from, target, to);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const QPoint p(x, y);
                const QRgb want = changed.contains(p) ? source.pixel(p - to + from.topLeft()) : qRgb(1, 2, 3);
                QCOMPARE(target.pixel(p), want);
            }
    }

    void copyRectWithinOneBitmap()
    {
        QImage bitmap = pattern(8, 8, false);
        const QImage before = bitmap.copy();
        copyRect(bitmap, QRect(0, 0, 6, 6), bitmap, QPoint(1, 2));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                QCOMPARE(bitmap.pixel(x + 1, y + 2), before.pixel(x, y));
    }

    void invertAndXorAreExact()
    {
        QImage bitmap = pattern(9, 5, false);
        bitmap.setPixel(3, 2, qRgb(12, 200, 99));
        const QImage before = bitmap.copy();
        invertRect(bitmap, QRect(2, 1, 40, 3));
        QCOMPARE(bitmap.pixel(3, 2), qRgb(243, 55, 156));
        QCOMPARE(bitmap.pixel(1, 2), before.pixel(1, 2));
        QCOMPARE(bitmap.pixel(3, 0), before.pixel(3, 0));
        invertRect(bitmap, QRect(2, 1, 40, 3));
        QCOMPARE(bitmap, before);

        QImage mask = createWorkingBitmap(9, 5);
        mask.fill(Qt::black);
        mask.setPixel(3, 2, qRgb(255, 15, 1));
        xorCopy(mask, bitmap);
        QCOMPARE(bitmap.pixel(3, 2), qRgb(12 ^ 255, 200 ^ 15, 99 ^ 1));
        QCOMPARE(countDifferences(bitmap, before), 1);
        xorCopy(mask, bitmap);
        QCOMPARE(bitmap, before);
    }

    void cellFrame_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("thickness");
        QTest::newRow("8 on 40 x 30") << QSize(40, 30) << 8;
        QTest::newRow("4 on 40 x 30") << QSize(40, 30) << 4;
        QTest::newRow("2 on 5 x 7") << QSize(5, 7) << 2;
        QTest::newRow("1 on 3 x 3") << QSize(3, 3) << 1;
        QTest::newRow("8 on a cell narrower than two bands") << QSize(12, 30) << 8;
    }

    void cellFrame()
    {
        QFETCH(QSize, size);
        QFETCH(int, thickness);
        const int w = size.width(), h = size.height(), n = thickness;
        QImage bitmap = pattern(w, h, false);
        const QImage before = bitmap.copy();
        drawCellFrame(bitmap, n);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // Side bands own the corners; where the side bands overlap, the pixel is inverted twice.
                const int times = (x < n) + (x >= w - n) + ((x >= n && x < w - n) ? (y < n) + (y >= h - n) : 0);
                const QRgb old = before.pixel(x, y);
                const QRgb want = times % 2 ? (~old | 0xFF000000u) : old;
                QVERIFY2(bitmap.pixel(x, y) == want, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
            }
        drawCellFrame(bitmap, n);
        QCOMPARE(bitmap, before);
    }

    void tiling_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("tilesAcross");
        QTest::addColumn<int>("lastTileWidth");
        QTest::newRow("100 x 60: one clipped tile") << QSize(100, 60) << 1 << 100;
        QTest::newRow("301 x 150: three tiles, the last 1 pixel") << QSize(301, 150) << 3 << 1;
        QTest::newRow("150 x 151: a second row of 1 pixel") << QSize(150, 151) << 1 << 150;
    }

    void tiling()
    {
        QFETCH(QSize, size);
        QFETCH(int, tilesAcross);
        QFETCH(int, lastTileWidth);
        const QImage &texture = concealmentTexture();
        QImage target = createWorkingBitmap(size.width(), size.height());
        tilePicture(target, texture);
        QCOMPARE((size.width() + 149) / 150, tilesAcross);
        QCOMPARE(size.width() - (tilesAcross - 1) * 150, lastTileWidth);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if (target.pixel(x, y) != texture.pixel(x % 150, y % 150))
                    QFAIL(qPrintable(QStringLiteral("(%1, %2) is not the texture's").arg(x).arg(y)));
    }

    void textureIsCompiledIn()
    {
        const QImage &texture = concealmentTexture();
        QCOMPARE(texture.size(), QSize(150, 150));
        QCOMPARE(texture.format(), QImage::Format_BGR888);
    }

    void textureColours_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<double>("mean");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::newRow("red") << 0 << 164.0 << 145 << 185;
        QTest::newRow("green") << 1 << 161.0 << 145 << 182;
        QTest::newRow("blue") << 2 << 190.0 << 169 << 213;
    }

    void textureColours()
    {
        QFETCH(int, channel);
        QFETCH(double, mean);
        QFETCH(int, low);
        QFETCH(int, high);
        const QImage &texture = concealmentTexture();
        auto value = [&](int x, int y) {
            const QRgb p = texture.pixel(x, y);
            return channel == 0 ? qRed(p) : channel == 1 ? qGreen(p) : qBlue(p);
        };
        double sum = 0;
        int min = 255, max = 0;
        QSet<int> levels;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 150; ++x) {
                const int v = value(x, y);
                sum += v;
                min = std::min(min, v);
                max = std::max(max, v);
                levels.insert(v);
            }
        QVERIFY(std::abs(sum / (150 * 150) - mean) < 3.0);
        QVERIFY(min >= low);
        QVERIFY(max <= high);
        // A paper grain, not a flat colour.
        QVERIFY(levels.size() > 15);
    }

    void textureTilesWithoutASeam()
    {
        const QImage &texture = concealmentTexture();
        auto difference = [&](QPoint a, QPoint b) {
            const QRgb p = texture.pixel(a), q = texture.pixel(b);
            return std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        };
        double inner = 0, across = 0, down = 0;
        int innerCount = 0;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x + 1 < 150; ++x) {
                inner += difference({x, y}, {x + 1, y}) + difference({y, x}, {y, x + 1});
                innerCount += 2;
            }
        for (int i = 0; i < 150; ++i) {
            across += difference({149, i}, {0, i});
            down += difference({i, 149}, {i, 0});
        }
        inner /= innerCount;
        across /= 150;
        down /= 150;
        QVERIFY2(across < 1.3 * inner && down < 1.3 * inner,
                 qPrintable(QStringLiteral("inner %1, across %2, down %3").arg(inner).arg(across).arg(down)));
    }
};

QTEST_GUILESS_MAIN(TestWorkingBitmap)
#include "TestWorkingBitmap.moc"
