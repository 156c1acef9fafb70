// Tests of the JPEG reader on its own: reading from a device's position and no further, scaled decoding and
// the EXIF orientation.
#include "GifReader.h"
#include "JpegReader.h"
#include "UserError.h"
#include "WorkingBitmap.h"

#include <QBuffer>
#include <QFile>
#include <QtTest>

namespace {

const QString DataDir = QStringLiteral(QUORRA_TEST_DATA);

// As readPictureFile reads an open file.
QImage loadPicture(QIODevice &in, const QString &name)
{
    return name.endsWith(QLatin1String(".gif")) ? readGif(in) : readJpeg(in);
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
        QCOMPARE(::exifOrientation(segment), orientation);
    }
};

QTEST_GUILESS_MAIN(TestJpegReader)
#include "TestJpegReader.moc"
