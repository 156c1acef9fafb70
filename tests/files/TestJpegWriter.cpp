// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the JPEG writer: stream structure, quality tables, every source format, and failing devices.
#include "JpegReader.h"
#include "JpegWriter.h"
#include "PictureLoader.h"
#include "UserError.h"

#include <QBuffer>
#include <QtTest>

using namespace quorra;

namespace {

// Where each entry of a quantisation table, in the zig-zag order it is stored in, sits in the 8 x 8 block.
constexpr int ZigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                            41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                            30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The example tables of the JPEG standard, which libjpeg scales by the quality.
constexpr int Luminance[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                               14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                               18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                               49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr int Chrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
                                 99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// A table as it is stored for quality 90: each value scaled by 20 %, rounded, at least 1.
QByteArray storedTable(const int (&base)[64])
{
    QByteArray table;
    for (int i = 0; i < 64; ++i)
        table.append(char(qBound(1, (base[ZigZag[i]] * 20 + 50) / 100, 255)));
    return table;
}

// The markers of a stream up to its scan: marker code -> the segments' payloads.
QMultiMap<int, QByteArray> segments(const QByteArray &jpeg)
{
    QMultiMap<int, QByteArray> found;
    if (!jpeg.startsWith("\xFF\xD8"))
        return found;
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const int marker = uchar(jpeg[at + 1]);
        const int length = uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]);
        found.insert(marker, jpeg.mid(at + 4, length - 2));
        if (marker == 0xDA)
            break;
        at += 2 + length;
    }
    return found;
}

QImage decode(const QByteArray &jpeg)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    return readJpeg(buffer);
}

QByteArray encode(const QImage &picture)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!JpegWriter::write(picture, buffer))
        return QByteArray();
    return buffer.data();
}

// Four flat quarters in colours that every format below can hold exactly.
QImage quarters(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    const QRgb colours[4] = {qRgb(200, 40, 40), qRgb(40, 180, 60), qRgb(40, 60, 200), qRgb(230, 210, 40)};
    for (int y = 0; y < height; ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = colours[(y >= height / 2) * 2 + (x >= width / 2)];
    }
    return picture;
}

// A device that takes a fixed number of bytes and then refuses, as a full disk does.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (length > m_room) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_room -= length;
        return length;
    }

private:
    qint64 m_room;
};

} // namespace

class TestJpegWriter : public QObject
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

void TestJpegWriter::everySourceFormat_data()
{
    QTest::addColumn<int>("format");
    const std::pair<const char *, QImage::Format> formats[] = {
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
    for (const auto &[Name, format] : formats)
        QTest::newRow(Name) << int(format);
}

void TestJpegWriter::everySourceFormat()
{
    QFETCH(int, format);
    // Odd sizes make rows whose length is no multiple of 4 bytes, so padding errors would shear the picture.
    const QImage source = quarters(97, 61).convertToFormat(QImage::Format(format));
    const QByteArray jpeg = encode(source);
    const QImage decoded = decode(jpeg);
    QCOMPARE(decoded.size(), source.size());
    QCOMPARE(decoded.format(), QImage::Format_BGR888); // colour even for grey and black-and-white sources

    const QPoint probes[4] = {{12, 8}, {84, 8}, {12, 52}, {84, 52}};
    for (const QPoint &p : probes) {
        const QRgb want = source.pixel(p), got = decoded.pixel(p);
        QVERIFY2(qAbs(qRed(want) - qRed(got)) <= 8 && qAbs(qGreen(want) - qGreen(got)) <= 8
                     && qAbs(qBlue(want) - qBlue(got)) <= 8,
                 qPrintable(
                     QStringLiteral("at %1,%2 want %3 got %4").arg(p.x()).arg(p.y()).arg(want, 8, 16).arg(got, 8, 16)));
    }
}

void TestJpegWriter::baselineQuality90()
{
    const QByteArray jpeg = encode(quarters(320, 200).convertToFormat(QImage::Format_BGR888));
    const QMultiMap<int, QByteArray> found = segments(jpeg);

    QVERIFY(found.value(0xE0).startsWith(QByteArray("JFIF\0", 5)));
    QVERIFY(found.contains(0xC0));  // baseline
    QVERIFY(!found.contains(0xC2)); // never progressive
    QVERIFY(!found.contains(0xC1));
    const QByteArray frame = found.value(0xC0);
    QCOMPARE(int(uchar(frame[0])), 8);                     // precision
    QCOMPARE(uchar(frame[1]) << 8 | uchar(frame[2]), 200); // height
    QCOMPARE(uchar(frame[3]) << 8 | uchar(frame[4]), 320); // width
    QCOMPARE(int(uchar(frame[5])), 3);                     // colour
    QCOMPARE(int(uchar(frame[7])), 0x22);                  // libjpeg's default 2 x 2 luma sampling

    // The quantisation tables are libjpeg's own for quality 90 (8-bit, zig-zag order).
    QByteArray tables;
    for (const QByteArray &segment : found.values(0xDB))
        tables += segment;
    QCOMPARE(tables.size(), 2 * 65);
    QMap<int, QByteArray> byId;
    for (int i = 0; i < 2; ++i)
        byId[uchar(tables[i * 65])] = tables.mid(i * 65 + 1, 64);
    QCOMPARE(byId.value(0), storedTable(Luminance));
    QCOMPARE(byId.value(1), storedTable(Chrominance));
    QVERIFY(jpeg.endsWith("\xFF\xD9"));
}

void TestJpegWriter::transparentColourIsEncoded_data()
{
    QTest::addColumn<QImage>("source");
    QTest::addColumn<QColor>("colour");

    // A palette picture whose yellow entry is the transparency mark, as the GIF reader makes them.
    QImage indexed(40, 40, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 10, 10), qRgba(240, 220, 30, 0)});
    indexed.fill(1);
    QTest::newRow("palette") << indexed << QColor(240, 220, 30);

    QImage straight(40, 40, QImage::Format_ARGB32);
    straight.fill(qRgba(30, 40, 220, 0));
    QTest::newRow("straight alpha") << straight << QColor(30, 40, 220);
}

void TestJpegWriter::transparentColourIsEncoded()
{
    QFETCH(QImage, source);
    QFETCH(QColor, colour);
    const QRgb got = decode(encode(source)).pixel(20, 20);
    QVERIFY2(qAbs(qRed(got) - colour.red()) <= 6 && qAbs(qGreen(got) - colour.green()) <= 6
                 && qAbs(qBlue(got) - colour.blue()) <= 6,
             qPrintable(QString::number(got, 16)));
}

void TestJpegWriter::deviceRefuses_data()
{
    QTest::addColumn<qint64>("room");
    QTest::newRow("no room at all") << qint64(0);
    QTest::newRow("full inside the first buffer") << qint64(1000);
    QTest::newRow("full after the first buffer") << qint64(70000);
}

void TestJpegWriter::deviceRefuses()
{
    QFETCH(qint64, room);
    // Noise compresses badly, so the stream is several output buffers long.
    QImage noise(600, 400, QImage::Format_BGR888);
    quint32 seed = 12345;
    for (int y = 0; y < noise.height(); ++y) {
        uchar *row = noise.scanLine(y);
        for (int x = 0; x < noise.width() * 3; ++x) {
            seed = seed * 1103515245 + 12345;
            row[x] = uchar(seed >> 24);
        }
    }
    QVERIFY(encode(noise).size() > 3 * 64 * 1024);

    FullDevice full(room);
    QVERIFY(!JpegWriter::write(noise, full));
    QCOMPARE(full.errorString(), QStringLiteral("No space left on device"));
}

void TestJpegWriter::refusedPictures_data()
{
    QTest::addColumn<QImage>("source");
    QTest::newRow("no picture") << QImage();
    QTest::newRow("wider than JPEG allows") << QImage(70000, 1, QImage::Format_BGR888);
}

void TestJpegWriter::refusedPictures()
{
    QFETCH(QImage, source);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    try {
        JpegWriter::write(source, buffer);
        QFAIL("the picture was encoded");
    } catch (const UserError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("JPEG error #")), qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(TestJpegWriter)
#include "TestJpegWriter.moc"
