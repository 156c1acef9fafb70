// Tests of working bitmaps, the nearest-neighbour stretch, the raster helpers and the paper texture.
#include "WorkingBitmap.h"

#include <QtTest>

namespace {

// A bitmap whose every pixel differs from its neighbours, in colours every pixel format holds exactly.
QImage Pattern(int W, int H, bool BlackAndWhite)
{
    QImage Image = CreateWorkingBitmap(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const int Code = (X * 5 + Y * 3) % 8;
            const QRgb C = BlackAndWhite ? ((X + 2 * Y) % 3 ? qRgb(255, 255, 255) : qRgb(0, 0, 0))
                                         : qRgb(Code & 1 ? 255 : 0, Code & 2 ? 255 : 0, Code & 4 ? 255 : 0);
            Image.setPixel(X, Y, C);
        }
    return Image;
}

QImage Converted(const QImage &Image, QImage::Format Format)
{
    if (Format == QImage::Format_Indexed8 || Format == QImage::Format_Mono || Format == QImage::Format_MonoLSB)
        return Image.convertToFormat(Format, Qt::ThresholdDither | Qt::AvoidDither);
    return Image.convertToFormat(Format);
}

int CountDifferences(const QImage &A, const QImage &B)
{
    int Count = 0;
    for (int Y = 0; Y < A.height(); ++Y)
        for (int X = 0; X < A.width(); ++X)
            Count += A.pixel(X, Y) != B.pixel(X, Y);
    return Count;
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
        const QImage Bitmap = CreateWorkingBitmap(size.width(), size.height());
        QCOMPARE(Bitmap.size(), size);
        QCOMPARE(Bitmap.format(), QImage::Format_BGR888);
        QCOMPARE(Bitmap.bytesPerLine() % 4, 0);
        QCOMPARE(Bitmap.logicalDpiX(), 96);
        QCOMPARE(Bitmap.logicalDpiY(), 96);
        for (int Y = 0; Y < size.height(); ++Y)
            for (int X = 0; X < size.width(); ++X)
                QCOMPARE(Bitmap.pixel(X, Y), qRgb(255, 255, 255));
        QVERIFY(CreateWorkingBitmap().isNull());
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
        const QImage Source = Pattern(from.width(), from.height(), false);
        QImage Target = CreateWorkingBitmap(to.width(), to.height());
        StretchDraw(Source, Target);
        // Whole-number ratios: every target pixel repeats, or picks, the source pixel its block starts at.
        for (int Y = 0; Y < to.height(); ++Y)
            for (int X = 0; X < to.width(); ++X)
                QCOMPARE(Target.pixel(X, Y), Source.pixel(X * from.width() / to.width(),
                                                           Y * from.height() / to.height()));
    }

    void stretchNeverAverages()
    {
        const QImage Source = Pattern(13, 11, false);
        QImage Target = CreateWorkingBitmap(29, 7);
        StretchDraw(Source, Target);
        QSet<QRgb> SourceColours;
        for (int Y = 0; Y < 11; ++Y)
            for (int X = 0; X < 13; ++X)
                SourceColours.insert(Source.pixel(X, Y));
        for (int Y = 0; Y < 7; ++Y)
            for (int X = 0; X < 29; ++X)
                QVERIFY(SourceColours.contains(Target.pixel(X, Y)));
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
        const QImage Reference = Pattern(19, 13, blackAndWhite);
        const QImage Source = Converted(Reference, QImage::Format(format));
        QCOMPARE(int(Source.format()), format);
        for (const QSize To : {QSize(41, 30), QSize(7, 5)}) {
            QImage Expected = CreateWorkingBitmap(To.width(), To.height());
            StretchDraw(Reference, Expected);
            QImage Target = CreateWorkingBitmap(To.width(), To.height());
            StretchDraw(Source, Target);
            QCOMPARE(Target.format(), QImage::Format_BGR888);
            QCOMPARE(CountDifferences(Target, Expected), 0);
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
        QImage Source;
        if (format == QImage::Format_Indexed8) {
            Source = QImage(2, 2, QImage::Format_Indexed8);
            Source.setColorTable({qRgb(10, 20, 30), qRgba(0, 0, 0, 0)});
            Source.fill(0);
            Source.setPixel(1, 1, 1);
        } else {
            Source = QImage(2, 2, QImage::Format(format));
            Source.fill(QColor(qRgb(10, 20, 30)));
            Source.setPixel(1, 1, qRgba(0, 0, 0, 0));
        }
        QImage Target = CreateWorkingBitmap(4, 4);
        Target.fill(QColor(qRgb(200, 100, 50)));
        StretchDraw(Source, Target);
        for (int Y = 0; Y < 4; ++Y)
            for (int X = 0; X < 4; ++X)
                QCOMPARE(Target.pixel(X, Y), X >= 2 && Y >= 2 ? qRgb(200, 100, 50) : qRgb(10, 20, 30));
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
        const QImage Source = Pattern(6, 6, false);
        QImage Target = CreateWorkingBitmap(10, 8);
        Target.fill(QColor(qRgb(1, 2, 3)));
        CopyRect(Source, from, Target, to);
        for (int Y = 0; Y < 8; ++Y)
            for (int X = 0; X < 10; ++X) {
                const QPoint P(X, Y);
                const QRgb Want = changed.contains(P) ? Source.pixel(P - to + from.topLeft()) : qRgb(1, 2, 3);
                QCOMPARE(Target.pixel(P), Want);
            }
    }

    void copyRectWithinOneBitmap()
    {
        QImage Bitmap = Pattern(8, 8, false);
        const QImage Before = Bitmap.copy();
        CopyRect(Bitmap, QRect(0, 0, 6, 6), Bitmap, QPoint(1, 2));
        for (int Y = 0; Y < 6; ++Y)
            for (int X = 0; X < 6; ++X)
                QCOMPARE(Bitmap.pixel(X + 1, Y + 2), Before.pixel(X, Y));
    }

    void invertAndXorAreExact()
    {
        QImage Bitmap = Pattern(9, 5, false);
        Bitmap.setPixel(3, 2, qRgb(12, 200, 99));
        const QImage Before = Bitmap.copy();
        InvertRect(Bitmap, QRect(2, 1, 40, 3));
        QCOMPARE(Bitmap.pixel(3, 2), qRgb(243, 55, 156));
        QCOMPARE(Bitmap.pixel(1, 2), Before.pixel(1, 2));
        QCOMPARE(Bitmap.pixel(3, 0), Before.pixel(3, 0));
        InvertRect(Bitmap, QRect(2, 1, 40, 3));
        QCOMPARE(Bitmap, Before);

        QImage Mask = CreateWorkingBitmap(9, 5);
        Mask.fill(Qt::black);
        Mask.setPixel(3, 2, qRgb(255, 15, 1));
        XorCopy(Mask, Bitmap);
        QCOMPARE(Bitmap.pixel(3, 2), qRgb(12 ^ 255, 200 ^ 15, 99 ^ 1));
        QCOMPARE(CountDifferences(Bitmap, Before), 1);
        XorCopy(Mask, Bitmap);
        QCOMPARE(Bitmap, Before);
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
        const int W = size.width(), H = size.height(), N = thickness;
        QImage Bitmap = Pattern(W, H, false);
        const QImage Before = Bitmap.copy();
        DrawCellFrame(Bitmap, N);
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                // Side bands own the corners; where the side bands overlap, the pixel is inverted twice.
                const int Times = (X < N) + (X >= W - N)
                                  + ((X >= N && X < W - N) ? (Y < N) + (Y >= H - N) : 0);
                const QRgb Old = Before.pixel(X, Y);
                const QRgb Want = Times % 2 ? (~Old | 0xFF000000u) : Old;
                QVERIFY2(Bitmap.pixel(X, Y) == Want, qPrintable(QStringLiteral("(%1, %2)").arg(X).arg(Y)));
            }
        DrawCellFrame(Bitmap, N);
        QCOMPARE(Bitmap, Before);
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
        const QImage &Texture = ConcealmentTexture();
        QImage Target = CreateWorkingBitmap(size.width(), size.height());
        TilePicture(Target, Texture);
        QCOMPARE((size.width() + 149) / 150, tilesAcross);
        QCOMPARE(size.width() - (tilesAcross - 1) * 150, lastTileWidth);
        for (int Y = 0; Y < size.height(); ++Y)
            for (int X = 0; X < size.width(); ++X)
                if (Target.pixel(X, Y) != Texture.pixel(X % 150, Y % 150))
                    QFAIL(qPrintable(QStringLiteral("(%1, %2) is not the texture's").arg(X).arg(Y)));
    }

    void textureIsCompiledIn()
    {
        const QImage &Texture = ConcealmentTexture();
        QCOMPARE(Texture.size(), QSize(150, 150));
        QCOMPARE(Texture.format(), QImage::Format_BGR888);
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
        const QImage &Texture = ConcealmentTexture();
        auto Value = [&](int X, int Y) {
            const QRgb P = Texture.pixel(X, Y);
            return channel == 0 ? qRed(P) : channel == 1 ? qGreen(P) : qBlue(P);
        };
        double Sum = 0;
        int Min = 255, Max = 0;
        QSet<int> Levels;
        for (int Y = 0; Y < 150; ++Y)
            for (int X = 0; X < 150; ++X) {
                const int V = Value(X, Y);
                Sum += V;
                Min = std::min(Min, V);
                Max = std::max(Max, V);
                Levels.insert(V);
            }
        QVERIFY(std::abs(Sum / (150 * 150) - mean) < 3.0);
        QVERIFY(Min >= low);
        QVERIFY(Max <= high);
        // A paper grain, not a flat colour.
        QVERIFY(Levels.size() > 15);
    }

    void textureTilesWithoutASeam()
    {
        const QImage &Texture = ConcealmentTexture();
        auto Difference = [&](QPoint A, QPoint B) {
            const QRgb P = Texture.pixel(A), Q = Texture.pixel(B);
            return std::abs(qRed(P) - qRed(Q)) + std::abs(qGreen(P) - qGreen(Q)) + std::abs(qBlue(P) - qBlue(Q));
        };
        double Inner = 0, Across = 0, Down = 0;
        int InnerCount = 0;
        for (int Y = 0; Y < 150; ++Y)
            for (int X = 0; X + 1 < 150; ++X) {
                Inner += Difference({X, Y}, {X + 1, Y}) + Difference({Y, X}, {Y, X + 1});
                InnerCount += 2;
            }
        for (int I = 0; I < 150; ++I) {
            Across += Difference({149, I}, {0, I});
            Down += Difference({I, 149}, {I, 0});
        }
        Inner /= InnerCount;
        Across /= 150;
        Down /= 150;
        QVERIFY2(Across < 1.3 * Inner && Down < 1.3 * Inner,
                 qPrintable(QStringLiteral("inner %1, across %2, down %3").arg(Inner).arg(Across).arg(Down)));
    }
};

QTEST_GUILESS_MAIN(TestWorkingBitmap)
#include "TestWorkingBitmap.moc"
