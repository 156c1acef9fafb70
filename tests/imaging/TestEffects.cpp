// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the concealing effects: their exact pixel arithmetic, random patterns, mosaic, texture and number.
#include "Effects.h"
#include "Lcg.h"
#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QScopeGuard>
#include <QtTest>

using namespace quorra;

namespace {

// Every pixel a different colour, with no channel below 2 so that halving always shows.
QImage photo(int w, int h)
{
    QImage image = createWorkingBitmap(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(2 + (x * 7 + y) % 250, 2 + (y * 11 + x * 3) % 250, 2 + (x * 13 + y * 5) % 250));
    return image;
}

QImage uniform(int w, int h, QRgb colour)
{
    QImage image = createWorkingBitmap(w, h);
    image.fill(QColor(colour));
    return image;
}

QImage concealed(QImage cell, qint32 effect, qint32 number = 1)
{
    applyEffect(cell, effect, number, concealmentTexture());
    return cell;
}

// The box around every pixel where Cell differs from Background.
QRect changedArea(const QImage &cell, const QImage &background)
{
    QRect box;
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x)
            if (cell.pixel(x, y) != background.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestEffects : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Lcg::setTestClock({}); }

    void perPixelArithmetic_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<QRgb>("before");
        QTest::addColumn<QRgb>("after");
        QTest::newRow("obscure black") << int(Effect::Obscure) << qRgb(0, 0, 0) << qRgb(96, 96, 96);
        QTest::newRow("obscure white") << int(Effect::Obscure) << qRgb(255, 255, 255) << qRgb(159, 159, 159);
        QTest::newRow("obscure colour") << int(Effect::Obscure) << qRgb(12, 200, 99) << qRgb(99, 146, 120);
        QTest::newRow("negative colour") << int(Effect::Negative) << qRgb(12, 200, 99) << qRgb(243, 55, 156);
        QTest::newRow("negative black") << int(Effect::Negative) << qRgb(0, 0, 0) << qRgb(255, 255, 255);
        QTest::newRow("code 7 conceals nothing") << 7 << qRgb(12, 200, 99) << qRgb(12, 200, 99);
        QTest::newRow("code -1 conceals nothing") << -1 << qRgb(12, 200, 99) << qRgb(12, 200, 99);
        QTest::newRow("code 1000 conceals nothing") << 1000 << qRgb(12, 200, 99) << qRgb(12, 200, 99);
    }

    void perPixelArithmetic()
    {
        QFETCH(int, effect);
        QFETCH(QRgb, before);
        QFETCH(QRgb, after);
        // An odd width leaves padding at the end of each row, which must stay untouched.
        QImage cell = uniform(13, 5, before);
        const uchar padding = cell.constScanLine(0)[39];
        cell = concealed(cell, effect);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x)
                QCOMPARE(cell.pixel(x, y), after);
        QCOMPARE(cell.constScanLine(0)[39], padding);
    }

    void negativeTwiceRestores()
    {
        const QImage original = photo(37, 21);
        QCOMPARE(concealed(concealed(original, Effect::Negative), Effect::Negative), original);
        QVERIFY(concealed(original, Effect::Negative) != original);
    }

    void halfOfThePixels_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<QSize>("size");
        QTest::newRow("dark 100 x 80") << int(Effect::Dark) << QSize(100, 80);
        QTest::newRow("dark 13 x 7 (rows not a multiple of 8)") << int(Effect::Dark) << QSize(13, 7);
        QTest::newRow("dark 3 x 50") << int(Effect::Dark) << QSize(3, 50);
        QTest::newRow("transparent 100 x 80") << int(Effect::Transparent) << QSize(100, 80);
        QTest::newRow("transparent 8 x 9") << int(Effect::Transparent) << QSize(8, 9);
        QTest::newRow("transparent 1 x 1") << int(Effect::Transparent) << QSize(1, 1);
        QTest::newRow("dark 64 x 5 (rows of whole blocks)") << int(Effect::Dark) << QSize(64, 5);
        QTest::newRow("dark 63 x 4") << int(Effect::Dark) << QSize(63, 4);
        QTest::newRow("transparent 200 x 6 (blocks and a tail)") << int(Effect::Transparent) << QSize(200, 6);
        QTest::newRow("transparent 129 x 3") << int(Effect::Transparent) << QSize(129, 3);
    }

    void halfOfThePixels()
    {
        QFETCH(int, effect);
        QFETCH(QSize, size);
        constexpr quint32 Seed = 0x9E3779B9u;
        Lcg::setTestClock([] { return Seed; });
        const QImage original = photo(size.width(), size.height());
        const QImage cell = concealed(original, effect);

        // One draw per pixel, rows from the top, each from the left, below 0.5 changes the pixel.
        Lcg reference;
        reference.setSeed(Seed);
        int changed = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb old = original.pixel(x, y);
                const bool hit = reference.next() < 0.5;
                const QRgb want = !hit                     ? old
                                  : effect == Effect::Dark ? qRgb(qRed(old) >> 1, qGreen(old) >> 1, qBlue(old) >> 1)
                                                           : qRgb(255, 255, 255);
                QVERIFY2(cell.pixel(x, y) == want, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
                changed += hit;
            }
        QCOMPARE(randomizer().seed(), reference.seed());
        if (size.width() * size.height() >= 1000) {
            const double share = double(changed) / (size.width() * size.height());
            QVERIFY2(share > 0.45 && share < 0.55, qPrintable(QString::number(share)));
        }
    }

    void darkNeverBrightens()
    {
        const QImage original = photo(64, 48);
        const QImage cell = concealed(original, Effect::Dark);
        int changed = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const QRgb old = original.pixel(x, y), New = cell.pixel(x, y);
                QVERIFY(qRed(New) <= qRed(old) && qGreen(New) <= qGreen(old) && qBlue(New) <= qBlue(old));
                changed += New != old;
            }
        QVERIFY(changed > 64 * 48 * 2 / 5 && changed < 64 * 48 * 3 / 5);
    }

    void eachCallReseedsFromTheClock()
    {
        quint32 tick = 1000;
        Lcg::setTestClock([&tick] { return tick; });
        const QImage original = photo(40, 30);
        const QImage first = concealed(original, Effect::Dark);
        QCOMPARE(concealed(original, Effect::Dark), first);
        tick = 1001;
        QVERIFY(concealed(original, Effect::Dark) != first);
        // Effects without randomness still reseed, so the seed after them is the clock's.
        randomizer().setSeed(5);
        concealed(original, Effect::Obscure);
        QCOMPARE(randomizer().seed(), 1001u);
    }

    void lowResolution_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("reduced");
        QTest::newRow("20 wide: 2.5 rounds to 2") << QSize(20, 24) << QSize(2, 3);
        QTest::newRow("28 wide: 3.5 rounds to 4") << QSize(28, 12) << QSize(4, 2);
        QTest::newRow("20 high: 2.5 rounds to 2") << QSize(16, 20) << QSize(2, 2);
        QTest::newRow("4 x 3 keeps one block") << QSize(4, 3) << QSize(1, 1);
        QTest::newRow("1 x 1") << QSize(1, 1) << QSize(1, 1);
    }

    void lowResolution()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, reduced);
        const QImage original = photo(size.width(), size.height());
        const QImage cell = concealed(original, Effect::LowResolution);
        const int bw = size.width() / reduced.width(), bh = size.height() / reduced.height();
        // Each block shows one pixel of the picture, the one at the block's top-left corner; never an average.
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                QVERIFY2(cell.pixel(x, y) == original.pixel(x / bw * bw, y / bh * bh),
                         qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
    }

    void topSecretCellsLookAlike()
    {
        QImage expected = createWorkingBitmap(120, 90);
        tilePicture(expected, concealmentTexture());
        QCOMPARE(concealed(photo(120, 90), Effect::TopSecret, 1), expected);
        QCOMPARE(concealed(uniform(120, 90, qRgb(0, 0, 0)), Effect::TopSecret, 12), expected);
    }

    void hiddenNumberIsCentredInTheSizeFittedFor00_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("darkTheme"); // the desktop's window text is white
        QTest::newRow("7") << 7 << false;
        QTest::newRow("12") << 12 << false;
        QTest::newRow("100") << 100 << false;
        QTest::newRow("34, dark desktop theme") << 34 << true;
    }

    void hiddenNumberIsCentredInTheSizeFittedFor00()
    {
        QFETCH(int, number);
        QFETCH(bool, darkTheme);
        const QPalette before = QGuiApplication::palette();
        const auto restore = qScopeGuard([&before] { QGuiApplication::setPalette(before); });
        if (darkTheme) {
            QPalette dark = before;
            dark.setColor(QPalette::Window, QColor(40, 40, 40));
            dark.setColor(QPalette::WindowText, Qt::white);
            QGuiApplication::setPalette(dark);
        }
        const int w = 100, h = 80;
        QImage paper = createWorkingBitmap(w, h);
        tilePicture(paper, concealmentTexture());
        const QImage cell = concealed(photo(w, h), Effect::Hidden, number);
        const QRect ink = changedArea(cell, paper);
        QVERIFY(!ink.isEmpty());

        const QFont font = fitFont(stampFont(), QStringLiteral("00"), w, h);
        const QFontMetrics metrics(font, &cell);
        const QString text = QString::number(number);
        const QRect box((w - metrics.horizontalAdvance(text)) / 2, (h - metrics.height()) / 2,
                        metrics.horizontalAdvance(text), metrics.height());
        QVERIFY2(
            box.adjusted(-1, -1, 1, 1).contains(ink),
            qPrintable(QStringLiteral("ink %1,%2 %3x%4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
        QVERIFY(std::abs(ink.center().x() - w / 2) <= 3);
        // Digits of one size stand equally tall, whatever the number of them.
        QCOMPARE(ink.height(), metrics.tightBoundingRect(QStringLiteral("0")).height());
        // The ink is black, whatever the desktop's theme: it only ever darkens the paper.
        int darkest = 255;
        for (int y = ink.top(); y <= ink.bottom(); ++y)
            for (int x = ink.left(); x <= ink.right(); ++x) {
                darkest = std::min(darkest, qGray(cell.pixel(x, y)));
                QVERIFY(qGray(cell.pixel(x, y)) <= qGray(paper.pixel(x, y)));
            }
        QVERIFY(darkest < 40);
    }

    void hiddenNumberDrawnAgainIsTheSameAsDrawingIt_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("number");
        QTest::newRow("small cell") << 60 << 45 << 3;
        QTest::newRow("odd sizes, two digits") << 301 << 199 << 14;
        QTest::newRow("big cell") << 1000 << 700 << 9;
        QTest::newRow("narrow and tall") << 90 << 600 << 16;
    }

    // Each number is drawn once per cell size and pasted afterwards: every later cell must show exactly the
    // pixels that drawing the text with QPainter on the tiled texture gives.
    void hiddenNumberDrawnAgainIsTheSameAsDrawingIt()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, number);
        QImage expected = createWorkingBitmap(width, height);
        tilePicture(expected, concealmentTexture());
        {
            const QFont font = fitFont(stampFont(), QStringLiteral("00"), width, height);
            const QFontMetrics metrics(font, &expected);
            const QString text = QString::number(number);
            QPainter painter(&expected);
            painter.setFont(font);
            painter.setPen(stampColor());
            painter.drawText((width - metrics.horizontalAdvance(text)) / 2,
                             (height - metrics.height()) / 2 + metrics.ascent(), text);
        }
        for (int pass = 0; pass < 3; ++pass) {
            const QImage cell = concealed(photo(width, height), Effect::Hidden, number);
            QCOMPARE(cell.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
        }
    }

    void cellOfAnotherFormatIsMadeAWorkingBitmap_data()
    {
        QTest::addColumn<QImage::Format>("format");
        // One byte a pixel: rows of three bytes a pixel would be written far past the bitmap's end.
        QTest::newRow("grey, one byte a pixel") << QImage::Format_Grayscale8;
        QTest::newRow("palette") << QImage::Format_Indexed8;
        QTest::newRow("32-bit") << QImage::Format_RGB32;
    }

    void cellOfAnotherFormatIsMadeAWorkingBitmap()
    {
        QFETCH(QImage::Format, format);
        const QImage original = photo(13, 5).convertToFormat(format);
        const QImage cell = concealed(original, Effect::Negative);
        QCOMPARE(cell.format(), WorkingFormat);
        QCOMPARE(cell, concealed(original.convertToFormat(WorkingFormat), Effect::Negative));
        QVERIFY(cell != original.convertToFormat(WorkingFormat));
    }

    void emptyCellIsHarmless()
    {
        for (int effect = Effect::Obscure; effect <= Effect::LowResolution; ++effect) {
            QImage cell = createWorkingBitmap();
            applyEffect(cell, effect, 1, concealmentTexture());
            QVERIFY(cell.isNull());
        }
    }
};

QTEST_MAIN(TestEffects)
#include "TestEffects.moc"
