// Tests of the stamp font, the font size search and the inverted two-line stamp.
#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QtTest>

namespace {

QImage Photo(int W, int H)
{
    QImage Image = CreateWorkingBitmap(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            Image.setPixel(X, Y, qRgb((X * 7 + Y) % 256, (Y * 11 + X * 3) % 256, (X * 13 + Y * 5) % 256));
    return Image;
}

bool Reaches(const QFont &Font, const QString &Text, int W, int H)
{
    const QImage Device = CreateWorkingBitmap(1, 1);
    const QFontMetrics Metrics(Font, &Device);
    return Metrics.horizontalAdvance(Text) >= W / 2 || Metrics.height() >= H / 2;
}

} // namespace

class TestTextStamp : public QObject
{
    Q_OBJECT

private slots:
    void stampFontIsBoldSerif()
    {
        const QFont Font = StampFont();
        QVERIFY(Font.bold());
        QCOMPARE(Font.family(), QStringLiteral("Times New Roman"));
        // fontconfig stands Liberation Serif in for the face; a sans fallback would change every size.
        QCOMPARE(QFontInfo(Font).family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(StampColor(), QColor(Qt::black));
    }

    void fitFontSize_data()
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

    void fitFontSize()
    {
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QFETCH(int, expected);
        QFont Font = StampFont();
        const int Size = FitFontSize(Font, text, size.width(), size.height());
        QCOMPARE(Font.pointSize(), Size);
        QVERIFY(Font.bold());
        if (expected > 0) {
            QCOMPARE(Size, expected);
            return;
        }
        // The smallest size at which the text reaches half the width or half the height.
        QVERIFY(Size > 8 && Size < 255);
        QVERIFY(Reaches(Font, text, size.width(), size.height()));
        Font.setPointSize(Size - 1);
        QVERIFY(!Reaches(Font, text, size.width(), size.height()));
        // Asked again, the remembered answer is the same.
        QFont Again = StampFont();
        QCOMPARE(FitFontSize(Again, text, size.width(), size.height()), Size);
    }

    void linesFitOnTheirOwn()
    {
        // "Mode" is wider than "Edit", so on a wide and low bitmap it reaches half the width at a smaller size.
        QFont Font = StampFont();
        const int Edit = FitFontSize(Font, QStringLiteral("Edit"), 300, 2000);
        const int Mode = FitFontSize(Font, QStringLiteral("Mode"), 300, 2000);
        QVERIFY(Mode < Edit);
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
        const QImage Original = Photo(size.width(), size.height());
        QImage Picture = Original.copy();
        StampTwoLines(Picture, QStringLiteral("Edit"), QStringLiteral("Mode"));
        if (size.width() > 100)
            QVERIFY(Picture != Original);
        StampTwoLines(Picture, QStringLiteral("Edit"), QStringLiteral("Mode"));
        QCOMPARE(Picture, Original);
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
        const int W = size.width(), H = size.height();
        const QImage Original = Photo(W, H);
        QImage Picture = Original.copy();
        StampTwoLines(Picture, upper, lower);
        QImage Buffer = CreateWorkingBitmap(W, H);
        Buffer.fill(Qt::black);
        {
            QPainter Painter(&Buffer);
            Painter.setPen(QColor(255, 255, 255));
            QFont Font = StampFont();
            FitFontSize(Font, upper, W, H);
            QFontMetrics Metrics(Font, &Buffer);
            Painter.setFont(Font);
            Painter.drawText((W - Metrics.horizontalAdvance(upper)) / 2, (H - 2 * Metrics.height()) / 2 + Metrics.ascent(),
                             upper);
            FitFontSize(Font, lower, W, H);
            Metrics = QFontMetrics(Font, &Buffer);
            Painter.setFont(Font);
            Painter.drawText((W - Metrics.horizontalAdvance(lower)) / 2, H / 2 + Metrics.ascent(), lower);
        }
        QImage Expected = Original.copy();
        for (int Y = 0; Y < H; ++Y)
            for (int I = 0; I < W * 3; ++I)
                Expected.scanLine(Y)[I] ^= Buffer.constScanLine(Y)[I];
        QVERIFY(Picture != Original);
        QRect Differs;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X)
                if (Picture.pixel(X, Y) != Expected.pixel(X, Y))
                    Differs |= QRect(X, Y, 1, 1);
        QVERIFY2(Differs.isEmpty(), qPrintable(QStringLiteral("pixels differ in %1,%2 %3 x %4")
                                                   .arg(Differs.x())
                                                   .arg(Differs.y())
                                                   .arg(Differs.width())
                                                   .arg(Differs.height())));
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
        const int W = 400, H = 300;
        QImage Picture = CreateWorkingBitmap(W, H);
        Picture.fill(QColor(background));
        StampTwoLines(Picture, QStringLiteral("Edit"), QStringLiteral("Mode"));
        QRect Upper, Lower;
        int Solid = 0;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                const QRgb P = Picture.pixel(X, Y);
                if (P == background)
                    continue;
                // Edges are partial inversions: grey, never coloured.
                QVERIFY(qRed(P) == qGreen(P) && qGreen(P) == qBlue(P));
                Solid += P == letters;
                (Y < H / 2 ? Upper : Lower) |= QRect(X, Y, 1, 1);
            }
        QVERIFY(Solid > 500);
        // "Edit" ends just above the middle and "Mode" starts at it, both centred across.
        QVERIFY(!Upper.isEmpty() && !Lower.isEmpty());
        QFont Font = StampFont();
        FitFontSize(Font, QStringLiteral("Edit"), W, H);
        const QFontMetrics UpperMetrics(Font, &Picture);
        const int UpperBaseline = (H - 2 * UpperMetrics.height()) / 2 + UpperMetrics.ascent();
        QVERIFY(Upper.bottom() >= UpperBaseline - 2 && Upper.bottom() <= UpperBaseline + 1);
        FitFontSize(Font, QStringLiteral("Mode"), W, H);
        const QFontMetrics LowerMetrics(Font, &Picture);
        const int LowerBaseline = H / 2 + LowerMetrics.ascent();
        QVERIFY(Lower.top() >= H / 2 && Lower.bottom() >= LowerBaseline - 2 && Lower.bottom() <= LowerBaseline + 1);
        QVERIFY(std::abs(Upper.center().x() - W / 2) <= 4);
        QVERIFY(std::abs(Lower.center().x() - W / 2) <= 4);
    }
};

QTEST_MAIN(TestTextStamp)
#include "TestTextStamp.moc"
