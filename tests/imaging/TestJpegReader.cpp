// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the JPEG reader on its own: reading from a device's position and no further, scaled decoding, the
// EXIF orientation and the budget of what a stream holds besides its picture.
#include "../HostileJpeg.h"
#include "ExifOrientation.h"
#include "GifReader.h"
#include "JpegReader.h"
#include "UserError.h"
#include "WorkingBitmap.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QtTest>

#include <cstdio>

#include <jpeglib.h>

using namespace quorra;

namespace {

const QString DataDir = QStringLiteral(QUORRA_TEST_DATA);

// As readPictureFile reads an open file.
QImage loadPicture(QIODevice &in, const QString &name)
{
    return name.endsWith(QLatin1String(".gif")) ? readGif(in) : readJpeg(in);
}

QByteArray dataFile(const QString &name)
{
    QFile file(DataDir + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An Exif APP1 payload whose one directory entry is the orientation.
QByteArray exifPayload(int orientation)
{
    return QByteArray("Exif\0\0MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 6 + 8 + 2 + 9) + char(orientation)
           + QByteArray(2, '\0');
}

// Stream with Inserted put before its first marker Marker (or before its end-of-image marker by default).
QByteArray insertedBefore(const QByteArray &stream, const QByteArray &inserted, uchar marker = 0xD9)
{
    const qsizetype at = marker == 0xD9 ? stream.size() - 2 : stream.indexOf(QByteArray("\xff") + char(marker), 2);
    return stream.left(at) + inserted + stream.mid(at);
}

// A device that gives a few kilobytes at a time, slowly, as a stalled network mount would.
class SlowBuffer : public QBuffer
{
protected:
    qint64 readData(char *data, qint64 size) override
    {
        QThread::msleep(20);
        return QBuffer::readData(data, std::min<qint64>(size, 4096));
    }
};

// Noise that no coder can squeeze, so that each row of blocks takes more than one of the reader's buffers.
QByteArray noiseJpeg(int width, int height, bool progressive, int restartRows, bool arithmetic)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &memory, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    info.restart_in_rows = restartRows;
    info.arith_code = arithmetic;
    jpeg_start_compress(&info, TRUE);
    QByteArray row(width * 3, '\0');
    quint32 seed = 12345;
    while (info.next_scanline < info.image_height) {
        for (char &c : row) {
            seed = seed * 1664525u + 1013904223u;
            c = char(seed >> 24);
        }
        JSAMPROW line = reinterpret_cast<JSAMPROW>(row.data());
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const QByteArray result(reinterpret_cast<const char *>(memory), qsizetype(size));
    std::free(memory);
    return result;
}

} // namespace

class TestJpegReader : public QObject
{
    Q_OBJECT

private slots:
    void decodeJpegReadsFromTheCurrentPosition()
    {
        QFile file(DataDir + QStringLiteral("/colour-444.jpg"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray stream("header bytes before the picture");
        const qint64 start = stream.size();
        stream += file.readAll();
        QBuffer buffer(&stream);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QVERIFY(buffer.seek(start));
        QImage picture;
        picture = readJpeg(buffer);
        QCOMPARE(picture.size(), QSize(160, 120));
        QVERIFY(buffer.atEnd());
    }

    void decodesScaledDown_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("fitInto");
        QTest::addColumn<QSize>("size");
        QTest::newRow("1/8") << "colour-420.jpg" << QSize(20, 15) << QSize(20, 15);
        QTest::newRow("1/4, the width decides") << "colour-420.jpg" << QSize(40, 100) << QSize(40, 30);
        QTest::newRow("1/2, the height decides") << "grey.jpg" << QSize(1000, 31) << QSize(80, 60);
        QTest::newRow("larger box: full size") << "progressive.jpg" << QSize(100, 100) << QSize(160, 120);
        QTest::newRow("no box: full size") << "colour-444.jpg" << QSize() << QSize(160, 120);
        // The box is for the upright picture (160 x 120), which this file stores turned a quarter.
        QTest::newRow("turned by EXIF") << "exif-orientation-6.jpg" << QSize(20, 200) << QSize(20, 15);
        // Half a gigabyte of coefficients before the first row: refused at once when a small picture is wanted.
        QTest::newRow("huge progressive") << "huge-progressive.jpg" << QSize(128, 128) << QSize();
    }

    void decodesScaledDown()
    {
        QFETCH(QString, file);
        QFETCH(QSize, fitInto);
        QFETCH(QSize, size);
        QFile picture(DataDir + QLatin1Char('/') + file);
        QVERIFY(picture.open(QIODevice::ReadOnly));
        try {
            QCOMPARE(readJpeg(picture, fitInto).size(), size);
        } catch (const UserError &e) {
            QVERIFY(!size.isValid());
            QCOMPARE(e.message(), QStringLiteral("There is not enough memory to open this picture."));
        }
    }

    // A kept stream is the picture's bytes, no more, and decodes again at least as large as asked, across and down.
    void keepsTheStream_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("fitInto");
        QTest::addColumn<QSize>("decoded");
        QTest::addColumn<QSize>("needed");
        QTest::addColumn<QSize>("decodedAgain");
        QTest::newRow("1/8, then 1/4 for one more row")
            << "colour-420.jpg" << QSize(20, 15) << QSize(20, 15) << QSize(20, 16) << QSize(40, 30);
        QTest::newRow("whole") << "colour-444.jpg" << QSize() << QSize(160, 120) << QSize() << QSize(160, 120);
        // Both sizes are the upright picture's, which this file stores turned a quarter.
        QTest::newRow("turned by EXIF") << "exif-orientation-6.jpg" << QSize(20, 200) << QSize(20, 15) << QSize(80, 10)
                                        << QSize(80, 60);
        QTest::newRow("progressive, larger than any reduction")
            << "progressive.jpg" << QSize(40, 40) << QSize(40, 30) << QSize(161, 10) << QSize(160, 120);
    }

    void keepsTheStream()
    {
        QFETCH(QString, file);
        QFETCH(QSize, fitInto);
        QFETCH(QSize, decoded);
        QFETCH(QSize, needed);
        QFETCH(QSize, decodedAgain);
        QFile stored(DataDir + QLatin1Char('/') + file);
        QVERIFY(stored.open(QIODevice::ReadOnly));
        const QByteArray picture = stored.readAll();
        QByteArray data = "header bytes before the picture" + picture + QByteArray(100000, 'x');
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QVERIFY(buffer.seek(31));
        const JpegStream read = readJpegStream(buffer, fitInto);
        QCOMPARE(read.picture.size(), decoded);
        QCOMPARE(read.fullSize, QSize(160, 120));
        QCOMPARE(read.bytes, picture);
        QCOMPARE(buffer.pos(), 31 + picture.size());
        QCOMPARE(readJpegCovering(read.bytes, needed).size(), decodedAgain);
    }

    // A picture is read as far as it goes, not to the device's end: what follows it costs nothing.
    void readsNoFurtherThanThePicture_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("JPEG") << "colour-420.jpg";
        QTest::newRow("GIF") << "gif87a.gif";
    }

    void readsNoFurtherThanThePicture()
    {
        QFETCH(QString, file);
        QFile stored(DataDir + QLatin1Char('/') + file);
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QByteArray data = stored.readAll();
        const qint64 pictureSize = data.size();
        data.append(16 * 1024 * 1024, '\0');
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const QImage picture = loadPicture(buffer, file);
        QCOMPARE(picture.size(), QSize(160, 120));
        QVERIFY2(buffer.pos() <= pictureSize, qPrintable(QString::number(buffer.pos())));
    }

    void orientation_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("size");
        // Where the stored picture's top-left and top-right pixels end up once turned upright.
        QTest::addColumn<QPoint>("topLeftGoesTo");
        QTest::addColumn<QPoint>("topRightGoesTo");
        QTest::newRow("1 as stored") << 1 << QSize(3, 2) << QPoint(0, 0) << QPoint(2, 0);
        QTest::newRow("2 mirrored") << 2 << QSize(3, 2) << QPoint(2, 0) << QPoint(0, 0);
        QTest::newRow("3 upside down") << 3 << QSize(3, 2) << QPoint(2, 1) << QPoint(0, 1);
        QTest::newRow("4 flipped") << 4 << QSize(3, 2) << QPoint(0, 1) << QPoint(2, 1);
        QTest::newRow("5 transposed") << 5 << QSize(2, 3) << QPoint(0, 0) << QPoint(0, 2);
        QTest::newRow("6 turned left") << 6 << QSize(2, 3) << QPoint(1, 0) << QPoint(1, 2);
        QTest::newRow("7 transversed") << 7 << QSize(2, 3) << QPoint(1, 2) << QPoint(1, 0);
        QTest::newRow("8 turned right") << 8 << QSize(2, 3) << QPoint(0, 2) << QPoint(0, 0);
    }

    void orientation()
    {
        QFETCH(int, orientation);
        QFETCH(QSize, size);
        QFETCH(QPoint, topLeftGoesTo);
        QFETCH(QPoint, topRightGoesTo);
        QImage stored = createWorkingBitmap(3, 2);
        stored.fill(Qt::black);
        stored.setPixel(0, 0, qRgb(255, 0, 0));
        stored.setPixel(2, 0, qRgb(0, 255, 0));
        const QImage upright = orientUpright(stored, orientation);
        QCOMPARE(upright.size(), size);
        QCOMPARE(upright.pixel(topLeftGoesTo), qRgb(255, 0, 0));
        QCOMPARE(upright.pixel(topRightGoesTo), qRgb(0, 255, 0));
    }

    void exifOrientation_data()
    {
        QTest::addColumn<QByteArray>("segment");
        QTest::addColumn<int>("orientation");
        const QByteArray intel = QByteArray("Exif\0\0II*\0\x08\0\0\0\x02\0"
                                            "\x0f\x01\x02\0\x04\0\0\0Cam\0"
                                            "\x12\x01\x03\0\x01\0\0\0\x06\0\0\0",
                                            6 + 8 + 2 + 24);
        const QByteArray motorola = QByteArray("Exif\0\0MM\0*\0\0\0\x08\0\x01"
                                               "\x01\x12\0\x03\0\0\0\x01\0\x08\0\0",
                                               6 + 8 + 2 + 12);
        QTest::newRow("little-endian, second entry") << intel << 6;
        QTest::newRow("big-endian") << motorola << 8;
        QTest::newRow("cut inside the directory") << intel.left(30) << 1;
        QTest::newRow("not Exif") << QByteArray("XMP data") << 1;
        QByteArray wild = motorola;
        wild[6 + 8 + 2 + 9] = 9;
        QTest::newRow("value out of range") << wild << 1;
        QByteArray farOffset = intel;
        farOffset[6 + 4] = '\x7f';
        QTest::newRow("directory past the end") << farOffset << 1;
    }

    void exifOrientation()
    {
        QFETCH(QByteArray, segment);
        QFETCH(int, orientation);
        QCOMPARE(quorra::exifOrientation(segment), orientation);
    }

    // What a stream holds besides its picture is read, kept and saved again, so past a few megabytes it is
    // refused, as soon as that is passed and however it is hidden; within the budget, a stream decodes and is
    // kept whole. Each case takes a fraction of a second: many segments cost time in proportion to their number.
    void nonPictureBudget_data()
    {
        QTest::addColumn<QByteArray>("stream");
        // Invalid when the stream is refused.
        QTest::addColumn<QSize>("size");
        const QByteArray picture = dataFile(QStringLiteral("colour-444.jpg"));
        const QByteArray over(MaxJpegNonPictureBytes + 4 * 1024 * 1024, '\0');
        QVERIFY(picture.endsWith("\xff\xd9"));

        QTest::newRow("zeros before the end") << insertedBefore(picture, over) << QSize();
        QTest::newRow("0xFF fill before the end")
            << insertedBefore(picture, QByteArray(over.size(), '\xff')) << QSize();
        QTest::newRow("zeros among the header's segments") << insertedBefore(picture, over, 0xDB) << QSize();
        const QByteArray progressive = dataFile(QStringLiteral("progressive.jpg"));
        const qsizetype secondScan = progressive.indexOf("\xff\xda", progressive.indexOf("\xff\xda") + 2);
        QTest::newRow("zeros between scans")
            << progressive.left(secondScan) + over + progressive.mid(secondScan) << QSize();
        QTest::newRow("zeros before a restart marker")
            << insertedBefore(dataFile(QStringLiteral("restart-markers.jpg")), over, 0xD0) << QSize();
        QByteArray comments, xmp;
        for (int i = 0; i < 200; ++i) {
            comments += jpegSegment(0xFE, QByteArray(0xFFFD, 'c'));
            xmp += jpegSegment(0xE1, "http://ns.adobe.com/xap/1.0/" + QByteArray(0xFFD0, 'x'));
        }
        QTest::newRow("comments") << insertedBefore(picture, comments, 0xDB) << QSize();
        QTest::newRow("APP1 segments") << insertedBefore(picture, xmp, 0xDB) << QSize();

        QTest::newRow("some zeros before the end")
            << insertedBefore(picture, QByteArray(MaxJpegNonPictureBytes / 2, '\0')) << QSize(160, 120);
        QByteArray many;
        for (int i = 0; i < 50000; ++i)
            many += jpegSegment(0xE1, "XMP");
        QTest::newRow("many small APP1 segments") << insertedBefore(picture, many, 0xDB) << QSize(160, 120);
        const QByteArray quarter = jpegSegment(0xE1, exifPayload(6));
        QTest::newRow("the Exif segment after another APP1")
            << insertedBefore(picture, many.left(7 * 100) + quarter, 0xDB) << QSize(120, 160);
        QTest::newRow("only the first Exif segment counts")
            << insertedBefore(picture, jpegSegment(0xE1, exifPayload(1)) + quarter, 0xDB) << QSize(160, 120);
    }

    void nonPictureBudget()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QSize, size);
        QBuffer buffer(&stream);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QElapsedTimer timer;
        timer.start();
        try {
            const JpegStream read = readJpegStream(buffer);
            QVERIFY2(size.isValid(), "a stream over the budget was accepted");
            QCOMPARE(read.picture.size(), size);
            QCOMPARE(read.bytes, stream);
        } catch (const UserError &e) {
            QVERIFY2(!size.isValid(), qPrintable(e.message()));
            QCOMPARE(e.message(),
                     QStringLiteral("The picture is damaged: it has more than 8 MB of data besides its pixels."));
            QVERIFY2(buffer.pos() < MaxJpegNonPictureBytes + 1024 * 1024, qPrintable(QString::number(buffer.pos())));
        }
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    }

    // A thumbnail's decode is bounded in time as well as in memory, even while the device holds it up.
    void boundedDecodeGivesUp()
    {
        QByteArray stream = busyBaseline(4096, 4096, 1) + QByteArray(16 * 1024 * 1024, '\0') + "\xff\xd9";
        SlowBuffer buffer;
        buffer.setBuffer(&stream);
        QVERIFY(buffer.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        QElapsedTimer timer;
        timer.start();
        try {
            readJpegStream(buffer, QSize(128, 128), JpegMemory::Bounded);
            QFAIL("the decode went on");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), QStringLiteral("The picture takes more than 1000 ms to decode."));
        }
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    }

    // A large picture's rows each take more than one buffer of the stream, yet all of them are picture data.
    void largePicturesAreNotRefused_data()
    {
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<int>("restartRows");
        QTest::addColumn<bool>("arithmetic");
        QTest::newRow("baseline") << false << 0 << false;
        QTest::newRow("progressive") << true << 0 << false;
        QTest::newRow("restart markers") << false << 1 << false;
        QTest::newRow("arithmetic") << false << 0 << true;
    }

    void largePicturesAreNotRefused()
    {
        QFETCH(bool, progressive);
        QFETCH(int, restartRows);
        QFETCH(bool, arithmetic);
        QByteArray stream = noiseJpeg(6000, 2000, progressive, restartRows, arithmetic);
        QVERIFY(stream.size() > MaxJpegNonPictureBytes);
        QBuffer buffer(&stream);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        try {
            QCOMPARE(readJpegStream(buffer, QSize(100, 100)).picture.size(), QSize(750, 250));
        } catch (const UserError &e) {
            QFAIL(qPrintable(e.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestJpegReader)
#include "TestJpegReader.moc"
