// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the stamp font, the font size search and the inverted two-line stamp.
#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QtTest>

using namespace quorra;

namespace {

QImage photo(int w, int h)
{
    QImage image = createWorkingBitmap(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7 + y) % 256, (y * 11 + x * 3) % 256, (x * 13 + y * 5) % 256));
    return image;
}

bool reaches(const QFont &font, const QString &text, int w, int h)
{
    const QImage device = createWorkingBitmap(1, 1);
    const QFontMetrics metrics(font, &device);
    return metrics.horizontalAdvance(text) >= w / 2 || metrics.height() >= h / 2;
}

} // namespace

class TestTextStamp : public QObject
{
    Q_OBJECT

private slots:
    void stampFontIsBoldSerif()
    {
        const QFont font = stampFont();
        QVERIFY(font.bold());
        QCOMPARE(font.family(), QStringLiteral("Times New Roman"));
        // fontconfig stands Liberation Serif in for the face; a sans fallback would change every size.
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(stampColor(), QColor(Qt::black));
    }

    void fitFont_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("expected");
        QTest::newRow("10 x 10 stays at 8") << QStringLiteral("00") << QSize(10, 10) << 8;
        QTest::newRow("1 x 1 stays at 8") << QStringLiteral("Edit") << QSize(1, 1) << 8;
        QTest::newRow("huge stops at 255") << QStringLiteral("0") << QSize(100000, 100000) << 255;
        QTest::newRow("cell 100 x 80") << QStringLiteral("00") << QSize(100, 80) << -1;
        QTest::newRow("wide picture, Edit") << QStringLiteral("Edit") << QSize(800, 200) << -1;
        QTest::newRow("tall picture, Mode") << QStringLiteral("Mode") << QSize(200, 800) << -1;
    }

    void fitFont()
    {
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QFETCH(int, expected);
        QFont font = quorra::fitFont(stampFont(), text, size.width(), size.height());
        const int points = font.pointSize();
        QVERIFY(font.bold());
        if (expected > 0) {
            QCOMPARE(points, expected);
            return;
        }
        // The smallest points at which the text reaches half the width or half the height.
        QVERIFY(points > 8 && points < 255);
        QVERIFY(reaches(font, text, size.width(), size.height()));
        font.setPointSize(points - 1);
        QVERIFY(!reaches(font, text, size.width(), size.height()));
        // Asked again, the remembered answer is the same.
        QCOMPARE(quorra::fitFont(stampFont(), text, size.width(), size.height()).pointSize(), points);
    }

    void linesFitOnTheirOwn()
    {
        // "Mode" is wider than "Edit", so on a wide and low bitmap it reaches half the width at a smaller size.
        const int edit = quorra::fitFont(stampFont(), QStringLiteral("Edit"), 300, 2000).pointSize();
        const int mode = quorra::fitFont(stampFont(), QStringLiteral("Mode"), 300, 2000).pointSize();
        QVERIFY(mode < edit);
    }

    void stampTwiceRestores_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("400 x 300") << QSize(400, 300);
        QTest::newRow("odd 333 x 101") << QSize(333, 101);
        QTest::newRow("tiny 5 x 3") << QSize(5, 3);
    }

    void stampTwiceRestores()
    {
        QFETCH(QSize, size);
        const QImage original = photo(size.width(), size.height());
        QImage picture = original.copy();
        stampTwoLines(picture, QStringLiteral("Edit"), QStringLiteral("Mode"));
        if (size.width() > 100)
            QVERIFY(picture != original);
        stampTwoLines(picture, QStringLiteral("Edit"), QStringLiteral("Mode"));
        QCOMPARE(picture, original);
    }

    void stampIsTheWholePictureStampDrawnOnlyWhereTheLettersAre_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::newRow("400 x 300") << QSize(400, 300) << QStringLiteral("Edit") << QStringLiteral("Mode");
        QTest::newRow("wide 1500 x 200") << QSize(1500, 200) << QStringLiteral("Edit") << QStringLiteral("Mode");
        QTest::newRow("tall 120 x 900") << QSize(120, 900) << QStringLiteral("Edit") << QStringLiteral("Mode");
        QTest::newRow("big 3240 x 2160") << QSize(3240, 2160) << QStringLiteral("Edit") << QStringLiteral("Mode");
        QTest::newRow("descenders") << QSize(640, 480) << QStringLiteral("gjpqy") << QStringLiteral("Qg|");
    }

    // The stamp draws only the boxes around its letters; the picture must come out exactly as when the two lines
    // are drawn white on a whole black picture and combined with it by exclusive or. The stamp goes first: Qt
    // draws a glyph size it has never drawn before a little differently from every later time.
    void stampIsTheWholePictureStampDrawnOnlyWhereTheLettersAre()
    {
        QFETCH(QSize, size);
        QFETCH(QString, upper);
        QFETCH(QString, lower);
        const int w = size.width(), h = size.height();
        const QImage original = photo(w, h);
        QImage picture = original.copy();
        stampTwoLines(picture, upper, lower);
        QImage buffer = createWorkingBitmap(w, h);
        buffer.fill(Qt::black);
        {
            QPainter painter(&buffer);
            painter.setPen(QColor(255, 255, 255));
            QFont font = quorra::fitFont(stampFont(), upper, w, h);
            QFontMetrics metrics(font, &buffer);
            painter.setFont(font);
            painter.drawText((w - metrics.horizontalAdvance(upper)) / 2,
                             (h - 2 * metrics.height()) / 2 + metrics.ascent(), upper);
            font = quorra::fitFont(stampFont(), lower, w, h);
            metrics = QFontMetrics(font, &buffer);
            painter.setFont(font);
            painter.drawText((w - metrics.horizontalAdvance(lower)) / 2, h / 2 + metrics.ascent(), lower);
        }
        QImage expected = original.copy();
        for (int y = 0; y < h; ++y)
            for (int i = 0; i < w * 3; ++i)
                expected.scanLine(y)[i] ^= buffer.constScanLine(y)[i];
        QVERIFY(picture != original);
        QRect differs;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (picture.pixel(x, y) != expected.pixel(x, y))
                    differs |= QRect(x, y, 1, 1);
        QVERIFY2(differs.isEmpty(), qPrintable(QStringLiteral("pixels differ in %1,%2 %3 x %4")
                                                   .arg(differs.x())
                                                   .arg(differs.y())
                                                   .arg(differs.width())
                                                   .arg(differs.height())));
    }

    void stampInvertsThePicture_data()
    {
        QTest::addColumn<QRgb>("background");
        QTest::addColumn<QRgb>("letters");
        QTest::newRow("white letters over black") << qRgb(0, 0, 0) << qRgb(255, 255, 255);
        QTest::newRow("black letters over white") << qRgb(255, 255, 255) << qRgb(0, 0, 0);
    }

    void stampInvertsThePicture()
    {
        QFETCH(QRgb, background);
        QFETCH(QRgb, letters);
        const int w = 400, h = 300;
        QImage picture = createWorkingBitmap(w, h);
        picture.fill(QColor(background));
        stampTwoLines(picture, QStringLiteral("Edit"), QStringLiteral("Mode"));
        QRect upper, lower;
        int solid = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const QRgb p = picture.pixel(x, y);
                if (p == background)
                    continue;
                // Edges are partial inversions: grey, never coloured.
                QVERIFY(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
                solid += p == letters;
                (y < h / 2 ? upper : lower) |= QRect(x, y, 1, 1);
            }
        QVERIFY(solid > 500);
        // "Edit" ends just above the middle and "Mode" starts at it, both centred across.
        QVERIFY(!upper.isEmpty() && !lower.isEmpty());
        QFont font = quorra::fitFont(stampFont(), QStringLiteral("Edit"), w, h);
        const QFontMetrics upperMetrics(font, &picture);
        const int upperBaseline = (h - 2 * upperMetrics.height()) / 2 + upperMetrics.ascent();
        QVERIFY(upper.bottom() >= upperBaseline - 2 && upper.bottom() <= upperBaseline + 1);
        font = quorra::fitFont(stampFont(), QStringLiteral("Mode"), w, h);
        const QFontMetrics lowerMetrics(font, &picture);
        const int lowerBaseline = h / 2 + lowerMetrics.ascent();
        QVERIFY(lower.top() >= h / 2 && lower.bottom() >= lowerBaseline - 2 && lower.bottom() <= lowerBaseline + 1);
        QVERIFY(std::abs(upper.center().x() - w / 2) <= 4);
        QVERIFY(std::abs(lower.center().x() - w / 2) <= 4);
    }
};

QTEST_MAIN(TestTextStamp)
#include "TestTextStamp.moc"
