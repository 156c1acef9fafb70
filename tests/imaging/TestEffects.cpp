// Tests of the concealing effects: their exact pixel arithmetic, random patterns, mosaic, texture and number.
#include "Effects.h"
#include "TRandom.h"
#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QScopeGuard>
#include <QtTest>

namespace {

// Every pixel a different colour, with no channel below 2 so that halving always shows.
QImage Photo(int W, int H)
{
    QImage Image = CreateWorkingBitmap(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            Image.setPixel(X, Y, qRgb(2 + (X * 7 + Y) % 250, 2 + (Y * 11 + X * 3) % 250, 2 + (X * 13 + Y * 5) % 250));
    return Image;
}

QImage Uniform(int W, int H, QRgb Colour)
{
    QImage Image = CreateWorkingBitmap(W, H);
    Image.fill(QColor(Colour));
    return Image;
}

QImage Concealed(QImage Cell, qint32 Effect, qint32 Number = 1)
{
    ApplyEffect(Cell, Effect, Number, ConcealmentTexture());
    return Cell;
}

// The box around every pixel where Cell differs from Background.
QRect ChangedArea(const QImage &Cell, const QImage &Background)
{
    QRect Box;
    for (int Y = 0; Y < Cell.height(); ++Y)
        for (int X = 0; X < Cell.width(); ++X)
            if (Cell.pixel(X, Y) != Background.pixel(X, Y))
                Box |= QRect(X, Y, 1, 1);
    return Box;
}

} // namespace

class TestEffects : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { TRandom::SetTestClock({}); }

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
        QImage Cell = Uniform(13, 5, before);
        const uchar Padding = Cell.constScanLine(0)[39];
        Cell = Concealed(Cell, effect);
        for (int Y = 0; Y < 5; ++Y)
            for (int X = 0; X < 13; ++X)
                QCOMPARE(Cell.pixel(X, Y), after);
        QCOMPARE(Cell.constScanLine(0)[39], Padding);
    }

    void negativeTwiceRestores()
    {
        const QImage Original = Photo(37, 21);
        QCOMPARE(Concealed(Concealed(Original, Effect::Negative), Effect::Negative), Original);
        QVERIFY(Concealed(Original, Effect::Negative) != Original);
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
        TRandom::SetTestClock([] { return Seed; });
        const QImage Original = Photo(size.width(), size.height());
        const QImage Cell = Concealed(Original, effect);

        // One draw per pixel, rows from the top, each from the left, below 0.5 changes the pixel.
        TRandom Reference;
        Reference.SetSeed(Seed);
        int Changed = 0;
        for (int Y = 0; Y < size.height(); ++Y)
            for (int X = 0; X < size.width(); ++X) {
                const QRgb Old = Original.pixel(X, Y);
                const bool Hit = Reference.Next() < 0.5;
                const QRgb Want = !Hit ? Old
                                  : effect == Effect::Dark ? qRgb(qRed(Old) >> 1, qGreen(Old) >> 1, qBlue(Old) >> 1)
                                                     : qRgb(255, 255, 255);
                QVERIFY2(Cell.pixel(X, Y) == Want, qPrintable(QStringLiteral("(%1, %2)").arg(X).arg(Y)));
                Changed += Hit;
            }
        QCOMPARE(Randomizer().Seed(), Reference.Seed());
        if (size.width() * size.height() >= 1000) {
            const double Share = double(Changed) / (size.width() * size.height());
            QVERIFY2(Share > 0.45 && Share < 0.55, qPrintable(QString::number(Share)));
        }
    }

    void darkNeverBrightens()
    {
        const QImage Original = Photo(64, 48);
        const QImage Cell = Concealed(Original, Effect::Dark);
        int Changed = 0;
        for (int Y = 0; Y < 48; ++Y)
            for (int X = 0; X < 64; ++X) {
                const QRgb Old = Original.pixel(X, Y), New = Cell.pixel(X, Y);
                QVERIFY(qRed(New) <= qRed(Old) && qGreen(New) <= qGreen(Old) && qBlue(New) <= qBlue(Old));
                Changed += New != Old;
            }
        QVERIFY(Changed > 64 * 48 * 2 / 5 && Changed < 64 * 48 * 3 / 5);
    }

    void eachCallReseedsFromTheClock()
    {
        quint32 Tick = 1000;
        TRandom::SetTestClock([&Tick] { return Tick; });
        const QImage Original = Photo(40, 30);
        const QImage First = Concealed(Original, Effect::Dark);
        QCOMPARE(Concealed(Original, Effect::Dark), First);
        Tick = 1001;
        QVERIFY(Concealed(Original, Effect::Dark) != First);
        // Effects without randomness still reseed, so the seed after them is the clock's.
        Randomizer().SetSeed(5);
        Concealed(Original, Effect::Obscure);
        QCOMPARE(Randomizer().Seed(), 1001u);
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
        const QImage Original = Photo(size.width(), size.height());
        const QImage Cell = Concealed(Original, Effect::LowResolution);
        const int BW = size.width() / reduced.width(), BH = size.height() / reduced.height();
        // Each block shows one pixel of the picture, the one at the block's top-left corner; never an average.
        for (int Y = 0; Y < size.height(); ++Y)
            for (int X = 0; X < size.width(); ++X)
                QVERIFY2(Cell.pixel(X, Y) == Original.pixel(X / BW * BW, Y / BH * BH),
                         qPrintable(QStringLiteral("(%1, %2)").arg(X).arg(Y)));
    }

    void topSecretCellsLookAlike()
    {
        QImage Expected = CreateWorkingBitmap(120, 90);
        TilePicture(Expected, ConcealmentTexture());
        QCOMPARE(Concealed(Photo(120, 90), Effect::TopSecret, 1), Expected);
        QCOMPARE(Concealed(Uniform(120, 90, qRgb(0, 0, 0)), Effect::TopSecret, 12), Expected);
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
        const QPalette Before = QGuiApplication::palette();
        const auto Restore = qScopeGuard([&Before] { QGuiApplication::setPalette(Before); });
        if (darkTheme) {
            QPalette Dark = Before;
            Dark.setColor(QPalette::Window, QColor(40, 40, 40));
            Dark.setColor(QPalette::WindowText, Qt::white);
            QGuiApplication::setPalette(Dark);
        }
        const int W = 100, H = 80;
        QImage Paper = CreateWorkingBitmap(W, H);
        TilePicture(Paper, ConcealmentTexture());
        const QImage Cell = Concealed(Photo(W, H), Effect::Hidden, number);
        const QRect Ink = ChangedArea(Cell, Paper);
        QVERIFY(!Ink.isEmpty());

        QFont Font = StampFont();
        FitFontSize(Font, QStringLiteral("00"), W, H);
        const QFontMetrics Metrics(Font, &Cell);
        const QString Text = QString::number(number);
        const QRect Box((W - Metrics.horizontalAdvance(Text)) / 2, (H - Metrics.height()) / 2,
                        Metrics.horizontalAdvance(Text), Metrics.height());
        QVERIFY2(Box.adjusted(-1, -1, 1, 1).contains(Ink), qPrintable(QStringLiteral("ink %1,%2 %3x%4")
                                                                        .arg(Ink.x())
                                                                        .arg(Ink.y())
                                                                        .arg(Ink.width())
                                                                        .arg(Ink.height())));
        QVERIFY(std::abs(Ink.center().x() - W / 2) <= 3);
        // Digits of one size stand equally tall, whatever the number of them.
        QCOMPARE(Ink.height(), Metrics.tightBoundingRect(QStringLiteral("0")).height());
        // The ink is black, whatever the desktop's theme: it only ever darkens the paper.
        int Darkest = 255;
        for (int Y = Ink.top(); Y <= Ink.bottom(); ++Y)
            for (int X = Ink.left(); X <= Ink.right(); ++X) {
                Darkest = std::min(Darkest, qGray(Cell.pixel(X, Y)));
                QVERIFY(qGray(Cell.pixel(X, Y)) <= qGray(Paper.pixel(X, Y)));
            }
        QVERIFY(Darkest < 40);
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
        QImage Expected = CreateWorkingBitmap(width, height);
        TilePicture(Expected, ConcealmentTexture());
        {
            QFont Font = StampFont();
            FitFontSize(Font, QStringLiteral("00"), width, height);
            const QFontMetrics Metrics(Font, &Expected);
            const QString Text = QString::number(number);
            QPainter Painter(&Expected);
            Painter.setFont(Font);
            Painter.setPen(StampColor());
            Painter.drawText((width - Metrics.horizontalAdvance(Text)) / 2,
                             (height - Metrics.height()) / 2 + Metrics.ascent(), Text);
        }
        for (int Pass = 0; Pass < 3; ++Pass) {
            const QImage Cell = Concealed(Photo(width, height), Effect::Hidden, number);
            QCOMPARE(Cell.convertToFormat(QImage::Format_RGB32), Expected.convertToFormat(QImage::Format_RGB32));
        }
    }

    void emptyCellIsHarmless()
    {
        for (int Effect = Effect::Obscure; Effect <= Effect::LowResolution; ++Effect) {
            QImage Cell = CreateWorkingBitmap();
            ApplyEffect(Cell, Effect, 1, ConcealmentTexture());
            QVERIFY(Cell.isNull());
        }
    }
};

QTEST_MAIN(TestEffects)
#include "TestEffects.moc"
