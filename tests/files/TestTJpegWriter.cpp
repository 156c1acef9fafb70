// Tests of the JPEG writer: stream structure, quality tables, every source format, and failing devices.
#include "PictureLoader.h"
#include "TError.h"
#include "TJpegWriter.h"

#include <QBuffer>
#include <QtTest>

namespace {

// Where each entry of a quantisation table, in the zig-zag order it is stored in, sits in the 8 x 8 block.
constexpr int ZigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                            12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                            35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                            58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The example tables of the JPEG standard, which libjpeg scales by the quality.
constexpr int Luminance[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                               14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                               18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                               49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr int Chrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                 24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// A table as it is stored for quality 90: each value scaled by 20 %, rounded, at least 1.
QByteArray StoredTable(const int (&Base)[64])
{
    QByteArray Table;
    for (int i = 0; i < 64; ++i)
        Table.append(char(qBound(1, (Base[ZigZag[i]] * 20 + 50) / 100, 255)));
    return Table;
}

// The markers of a stream up to its scan: marker code -> the segments' payloads.
QMultiMap<int, QByteArray> Segments(const QByteArray &Jpeg)
{
    QMultiMap<int, QByteArray> Found;
    if (!Jpeg.startsWith("\xFF\xD8"))
        return Found;
    qsizetype At = 2;
    while (At + 4 <= Jpeg.size() && uchar(Jpeg[At]) == 0xFF) {
        const int Marker = uchar(Jpeg[At + 1]);
        const int Length = uchar(Jpeg[At + 2]) << 8 | uchar(Jpeg[At + 3]);
        Found.insert(Marker, Jpeg.mid(At + 4, Length - 2));
        if (Marker == 0xDA)
            break;
        At += 2 + Length;
    }
    return Found;
}

QImage Decode(const QByteArray &Jpeg)
{
    QBuffer Buffer;
    Buffer.setData(Jpeg);
    Buffer.open(QIODevice::ReadOnly);
    QImage Picture;
    DecodeJpeg(Buffer, Picture);
    return Picture;
}

QByteArray Encode(const QImage &Picture)
{
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    if (!TJpegWriter::Write(Picture, Buffer))
        return QByteArray();
    return Buffer.data();
}

// Four flat quarters in colours that every format below can hold exactly.
QImage Quarters(int Width, int Height)
{
    QImage Picture(Width, Height, QImage::Format_RGB32);
    const QRgb Colours[4] = {qRgb(200, 40, 40), qRgb(40, 180, 60), qRgb(40, 60, 200), qRgb(230, 210, 40)};
    for (int Y = 0; Y < Height; ++Y) {
        QRgb *Row = reinterpret_cast<QRgb *>(Picture.scanLine(Y));
        for (int X = 0; X < Width; ++X)
            Row[X] = Colours[(Y >= Height / 2) * 2 + (X >= Width / 2)];
    }
    return Picture;
}

// A device that takes a fixed number of bytes and then refuses, as a full disk does.
class TFullDevice : public QIODevice
{
public:
    explicit TFullDevice(qint64 Room) : FRoom(Room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 Length) override
    {
        if (Length > FRoom) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        FRoom -= Length;
        return Length;
    }

private:
    qint64 FRoom;
};

} // namespace

class TestTJpegWriter : public QObject
{
    Q_OBJECT

private slots:
    void everySourceFormat_data();
    void everySourceFormat();
    void baselineQuality90();
    void transparentColourIsEncoded_data();
    void transparentColourIsEncoded();
    void deviceRefuses_data();
    void deviceRefuses();
    void refusedPictures_data();
    void refusedPictures();
};

void TestTJpegWriter::everySourceFormat_data()
{
    QTest::addColumn<int>("Format");
    const std::pair<const char *, QImage::Format> Formats[] = {
        {"BGR888", QImage::Format_BGR888},
        {"RGB888", QImage::Format_RGB888},
        {"RGB32", QImage::Format_RGB32},
        {"ARGB32", QImage::Format_ARGB32},
        {"ARGB32 premultiplied", QImage::Format_ARGB32_Premultiplied},
        {"Indexed8", QImage::Format_Indexed8},
        {"Grayscale8", QImage::Format_Grayscale8},
        {"RGB16", QImage::Format_RGB16},
        {"RGBA8888", QImage::Format_RGBA8888},
        {"Mono", QImage::Format_Mono},
    };
    for (const auto &[Name, Format] : Formats)
        QTest::newRow(Name) << int(Format);
}

void TestTJpegWriter::everySourceFormat()
{
    QFETCH(int, Format);
    // Odd sizes make rows whose length is no multiple of 4 bytes, so padding errors would shear the picture.
    const QImage Source = Quarters(97, 61).convertToFormat(QImage::Format(Format));
    const QByteArray Jpeg = Encode(Source);
    const QImage Decoded = Decode(Jpeg);
    QCOMPARE(Decoded.size(), Source.size());
    QCOMPARE(Decoded.format(), QImage::Format_BGR888); // colour even for grey and black-and-white sources

    const QPoint Probes[4] = {{12, 8}, {84, 8}, {12, 52}, {84, 52}};
    for (const QPoint &P : Probes) {
        const QRgb Want = Source.pixel(P), Got = Decoded.pixel(P);
        QVERIFY2(qAbs(qRed(Want) - qRed(Got)) <= 8 && qAbs(qGreen(Want) - qGreen(Got)) <= 8
                     && qAbs(qBlue(Want) - qBlue(Got)) <= 8,
                 qPrintable(QStringLiteral("at %1,%2 want %3 got %4")
                                .arg(P.x()).arg(P.y()).arg(Want, 8, 16).arg(Got, 8, 16)));
    }
}

void TestTJpegWriter::baselineQuality90()
{
    const QByteArray Jpeg = Encode(Quarters(320, 200).convertToFormat(QImage::Format_BGR888));
    const QMultiMap<int, QByteArray> Found = Segments(Jpeg);

    QVERIFY(Found.value(0xE0).startsWith(QByteArray("JFIF\0", 5)));
    QVERIFY(Found.contains(0xC0));  // baseline
    QVERIFY(!Found.contains(0xC2)); // never progressive
    QVERIFY(!Found.contains(0xC1));
    const QByteArray Frame = Found.value(0xC0);
    QCOMPARE(int(uchar(Frame[0])), 8);                                     // precision
    QCOMPARE(uchar(Frame[1]) << 8 | uchar(Frame[2]), 200);                 // height
    QCOMPARE(uchar(Frame[3]) << 8 | uchar(Frame[4]), 320);                 // width
    QCOMPARE(int(uchar(Frame[5])), 3);                                     // colour
    QCOMPARE(int(uchar(Frame[7])), 0x22);                                  // libjpeg's default 2 x 2 luma sampling

    // The quantisation tables are libjpeg's own for quality 90 (8-bit, zig-zag order).
    QByteArray Tables;
    for (const QByteArray &Segment : Found.values(0xDB))
        Tables += Segment;
    QCOMPARE(Tables.size(), 2 * 65);
    QMap<int, QByteArray> ById;
    for (int i = 0; i < 2; ++i)
        ById[uchar(Tables[i * 65])] = Tables.mid(i * 65 + 1, 64);
    QCOMPARE(ById.value(0), StoredTable(Luminance));
    QCOMPARE(ById.value(1), StoredTable(Chrominance));
    QVERIFY(Jpeg.endsWith("\xFF\xD9"));
}

void TestTJpegWriter::transparentColourIsEncoded_data()
{
    QTest::addColumn<QImage>("Source");
    QTest::addColumn<QColor>("Colour");

    // A palette picture whose yellow entry is the transparency mark, as the GIF reader makes them.
    QImage Indexed(40, 40, QImage::Format_Indexed8);
    Indexed.setColorTable({qRgb(10, 10, 10), qRgba(240, 220, 30, 0)});
    Indexed.fill(1);
    QTest::newRow("palette") << Indexed << QColor(240, 220, 30);

    QImage Straight(40, 40, QImage::Format_ARGB32);
    Straight.fill(qRgba(30, 40, 220, 0));
    QTest::newRow("straight alpha") << Straight << QColor(30, 40, 220);
}

void TestTJpegWriter::transparentColourIsEncoded()
{
    QFETCH(QImage, Source);
    QFETCH(QColor, Colour);
    const QRgb Got = Decode(Encode(Source)).pixel(20, 20);
    QVERIFY2(qAbs(qRed(Got) - Colour.red()) <= 6 && qAbs(qGreen(Got) - Colour.green()) <= 6
                 && qAbs(qBlue(Got) - Colour.blue()) <= 6,
             qPrintable(QString::number(Got, 16)));
}

void TestTJpegWriter::deviceRefuses_data()
{
    QTest::addColumn<qint64>("Room");
    QTest::newRow("no room at all") << qint64(0);
    QTest::newRow("full inside the first buffer") << qint64(1000);
    QTest::newRow("full after the first buffer") << qint64(70000);
}

void TestTJpegWriter::deviceRefuses()
{
    QFETCH(qint64, Room);
    // Noise compresses badly, so the stream is several output buffers long.
    QImage Noise(600, 400, QImage::Format_BGR888);
    quint32 Seed = 12345;
    for (int Y = 0; Y < Noise.height(); ++Y) {
        uchar *Row = Noise.scanLine(Y);
        for (int X = 0; X < Noise.width() * 3; ++X) {
            Seed = Seed * 1103515245 + 12345;
            Row[X] = uchar(Seed >> 24);
        }
    }
    QVERIFY(Encode(Noise).size() > 3 * 64 * 1024);

    TFullDevice Full(Room);
    QVERIFY(!TJpegWriter::Write(Noise, Full));
    QCOMPARE(Full.errorString(), QStringLiteral("No space left on device"));
}

void TestTJpegWriter::refusedPictures_data()
{
    QTest::addColumn<QImage>("Source");
    QTest::newRow("no picture") << QImage();
    QTest::newRow("wider than JPEG allows") << QImage(70000, 1, QImage::Format_BGR888);
}

void TestTJpegWriter::refusedPictures()
{
    QFETCH(QImage, Source);
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    try {
        TJpegWriter::Write(Source, Buffer);
        QFAIL("the picture was encoded");
    } catch (const TError &E) {
        QVERIFY2(E.Message().startsWith(QStringLiteral("JPEG error #")), qPrintable(E.Message()));
    }
}

QTEST_GUILESS_MAIN(TestTJpegWriter)
#include "TestTJpegWriter.moc"
