// Tests of reading BMP, JPEG and GIF picture files, their failures and the size guard.
#include "BmpReader.h"
#include "GifReader.h"
#include "JpegReader.h"
#include "PictureLoader.h"
#include "TError.h"
#include "WorkingBitmap.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

namespace {

const QString DataDir = QStringLiteral(QUORRA_TEST_DATA);

// Every good test picture shows these four quarters, with a white diagonal from the top-left corner.
struct TProbe
{
    QPoint At;
    QRgb Colour;
};
const TProbe Quarters[] = {
    {{60, 10}, qRgb(220, 30, 30)},
    {{120, 30}, qRgb(30, 200, 40)},
    {{20, 100}, qRgb(30, 40, 220)},
    {{140, 70}, qRgb(240, 220, 30)},
};

enum TKind { Colour, Grey, Mono, Refused, Nothing };

QString Load(QImage &Picture, const QString &Name)
{
    try {
        LoadPictureFile(Picture, DataDir + QLatin1Char('/') + Name);
    } catch (const TError &E) {
        return E.Message();
    }
    return QString();
}

// The grey test picture was made with the Rec. 709 weights.
QRgb Luma(QRgb C)
{
    const int Y = qRound(0.2126 * qRed(C) + 0.7152 * qGreen(C) + 0.0722 * qBlue(C));
    return qRgb(Y, Y, Y);
}

QString JpegError(int Code)
{
    return QStringLiteral("JPEG error #%1").arg(Code);
}

// As LoadPictureFile reads an open file.
void LoadPicture(QIODevice &In, const QString &Name, QImage &Picture)
{
    if (Name.endsWith(QLatin1String(".gif")))
        ReadGif(In, Picture);
    else
        DecodeJpeg(In, Picture);
}

} // namespace

class TestPictureLoader : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<QString>("error");

        const QSize Full(160, 120);
        auto Good = [&](const char *File, QImage::Format Format, int Tolerance, int Kind = Colour) {
            QTest::newRow(File) << QString::fromLatin1(File) << Kind << int(Format) << Full << Tolerance << QString();
        };
        auto Bad = [&](const char *File, const QString &Error) {
            QTest::newRow(File) << QString::fromLatin1(File) << int(Refused) << 0 << QSize() << 0 << Error;
        };
        // Format_Invalid: the BMP reader keeps whatever the file holds, so the format is not pinned down.
        Good("rgb24.bmp", QImage::Format_Invalid, 2);
        Good("rgb24-v4header.bmp", QImage::Format_Invalid, 2);
        Good("argb32.bmp", QImage::Format_Invalid, 2);
        Good("alpha-zero-v4.bmp", QImage::Format_Invalid, 2);
        Good("alpha-mixed-v5.bmp", QImage::Format_Invalid, 2);
        Good("rgb16-565.bmp", QImage::Format_Invalid, 16);
        Good("palette8.bmp", QImage::Format_Indexed8, 40);
        Good("palette4.bmp", QImage::Format_Indexed8, 60);
        Good("palette8-rle.bmp", QImage::Format_Indexed8, 40);
        Good("mono1.bmp", QImage::Format_Mono, 0, Mono);
        Good("top-down.bmp", QImage::Format_Invalid, 2);
        Good("os2-header.bmp", QImage::Format_Invalid, 2);
        Good("colour-420.jpg", QImage::Format_BGR888, 24);
        Good("colour-444.jpg", QImage::Format_BGR888, 24);
        Good("grey.jpg", QImage::Format_Grayscale8, 24, Grey);
        Good("progressive.jpg", QImage::Format_BGR888, 24);
        Good("restart-markers.jpg", QImage::Format_BGR888, 24);
        Good("arithmetic.jpg", QImage::Format_BGR888, 24);
        Good("cmyk.jpg", QImage::Format_BGR888, 40);
        Good("exif-orientation-6.jpg", QImage::Format_BGR888, 24);
        Good("UPPER-CASE.JPG", QImage::Format_BGR888, 24);
        Good("gif87a.gif", QImage::Format_Indexed8, 24);
        Good("interlaced.gif", QImage::Format_Indexed8, 24);
        Good("lower-case-signature.gif", QImage::Format_Indexed8, 24);
        Good("huge-logical-screen.gif", QImage::Format_Indexed8, 24);
        QTest::newRow("animated-first-frame-small.gif")
            << QStringLiteral("animated-first-frame-small.gif") << int(Nothing) << int(QImage::Format_Indexed8)
            << QSize(60, 40) << 0 << QString();
        QTest::newRow("jpeg-extension.jpeg") << QStringLiteral("jpeg-extension.jpeg") << int(Nothing) << 0
                                             << QSize() << 0 << QString();
        QTest::newRow("png-extension.png") << QStringLiteral("png-extension.png") << int(Nothing) << 0 << QSize()
                                           << 0 << QString();

        Bad("truncated-in-headers.jpg", JpegError(JERR_NO_IMAGE));
        Bad("empty.jpg", JpegError(JERR_INPUT_EMPTY));
        Bad("bmp-bytes-named.jpg", JpegError(JERR_NO_SOI));
        Bad("jpeg-bytes-named.bmp", QStringLiteral("Bitmap image is not valid"));
        Bad("bad-bmp-header.bmp", QStringLiteral("Bitmap image is not valid"));
        Bad("empty.bmp", QStringLiteral("Bitmap image is not valid"));
        Bad("bad-version-GIF90a.gif", QStringLiteral("Unknown GIF version"));
        // A damaged byte inside the image data makes its blocks end before the last pixel.
        Bad("bad-code-size-12.gif", QStringLiteral("GIF encoded data is corrupt"));
        Bad("truncated.gif", QStringLiteral("Stream read error"));
        Bad("empty.gif", QStringLiteral("Stream read error"));
        Bad("huge-dimensions.bmp", QStringLiteral("The picture is too large (60000 x 60000 pixels)."));
        Bad("huge-dimensions.jpg", QStringLiteral("The picture is too large (60000 x 60000 pixels)."));
        Bad("huge-image-descriptor.gif", QStringLiteral("The picture is too large (65535 x 65535 pixels)."));
        Bad("scan-bomb.jpg", QStringLiteral("The picture is damaged: it has more than 100 scans."));
        QTest::newRow("scans-at-limit.jpg") << QStringLiteral("scans-at-limit.jpg") << int(Nothing)
                                            << int(QImage::Format_Grayscale8) << QSize(64, 48) << 0 << QString();
    }

    void pictures()
    {
        QFETCH(QString, file);
        QFETCH(int, kind);
        QFETCH(int, format);
        QFETCH(QSize, size);
        QFETCH(int, tolerance);
        QFETCH(QString, error);

        // A picture that was there before must survive a failure or an extension that is not read.
        QImage Picture(7, 5, QImage::Format_RGB32);
        Picture.fill(Qt::magenta);
        const QString Raised = Load(Picture, file);
        QCOMPARE(Raised, error);
        if (kind == Refused || (kind == Nothing && size.isEmpty())) {
            QCOMPARE(Picture.size(), QSize(7, 5));
            QCOMPARE(Picture.pixel(0, 0), QColor(Qt::magenta).rgb());
            return;
        }
        QCOMPARE(Picture.size(), size);
        if (format != QImage::Format_Invalid)
            QCOMPARE(int(Picture.format()), format);
        // Only a GIF's transparent index hides a pixel; a bitmap's fourth byte is never taken as alpha.
        QVERIFY(file.endsWith(QLatin1String(".gif")) || !Picture.hasAlphaChannel());
        if (kind == Nothing)
            return;
        for (const TProbe &Probe : Quarters) {
            const QRgb Got = Picture.pixel(Probe.At);
            if (kind == Mono) {
                QVERIFY2(Got == qRgb(0, 0, 0) || Got == qRgb(255, 255, 255), qPrintable(QString::number(Got, 16)));
                continue;
            }
            const QRgb Want = kind == Grey ? Luma(Probe.Colour) : Probe.Colour;
            const int Distance = std::max({std::abs(qRed(Got) - qRed(Want)), std::abs(qGreen(Got) - qGreen(Want)),
                                           std::abs(qBlue(Got) - qBlue(Want))});
            QVERIFY2(Distance <= tolerance, qPrintable(QStringLiteral("(%1, %2) is %3, wants %4")
                                                           .arg(Probe.At.x())
                                                           .arg(Probe.At.y())
                                                           .arg(QColor(Got).name(), QColor(Want).name())));
        }
        // The diagonal runs from the top-left corner, so a turned or mirrored picture is caught here.
        QVERIFY(qGray(Picture.pixel(40, 30)) > 200);
    }

    void transparentGifMarksOnlyItsColour()
    {
        // The file's graphic control extension names index 0, the white of the diagonal, as transparent.
        QImage Picture;
        QCOMPARE(Load(Picture, QStringLiteral("transparent.gif")), QString());
        QCOMPARE(Picture.size(), QSize(160, 120));
        QCOMPARE(Picture.pixelIndex(40, 30), 0);
        QCOMPARE(qAlpha(Picture.pixel(40, 30)), 0);
        for (const TProbe &Probe : Quarters)
            QCOMPARE(Picture.pixel(Probe.At), Probe.Colour);
    }

    void transparentGifStretchedKeepsTheTarget_data()
    {
        QTest::addColumn<QRgb>("background");
        QTest::newRow("new working bitmap") << qRgb(255, 255, 255);
        QTest::newRow("black bitmap") << qRgb(0, 0, 0);
    }

    void transparentGifStretchedKeepsTheTarget()
    {
        QFETCH(QRgb, background);
        QImage Picture;
        QCOMPARE(Load(Picture, QStringLiteral("transparent.gif")), QString());
        QImage Target = CreateWorkingBitmap(320, 240);
        Target.fill(QColor(background));
        StretchDraw(Picture, Target);
        QCOMPARE(Target.pixel(80, 60), background);
        QCOMPARE(Target.pixel(0, 0), background);
        QCOMPARE(Target.pixel(120, 20), qRgb(220, 30, 30));
        QCOMPARE(Target.pixel(280, 140), qRgb(240, 220, 30));
    }

    // Transparency goes by palette index: another entry of the transparent index's colour is a real colour.
    void gifTransparencyGoesByIndex()
    {
        QFile File(DataDir + QStringLiteral("/transparent.gif"));
        QVERIFY(File.open(QIODevice::ReadOnly));
        // Entry 0 (white) is transparent; entry 3, the red quarter, becomes white too.
        QBuffer Buffer;
        Buffer.setData(File.readAll().replace(22, 3, "\xFF\xFF\xFF"));
        QVERIFY(Buffer.open(QIODevice::ReadOnly));
        QImage Picture;
        ReadGif(Buffer, Picture);
        QCOMPARE(qAlpha(Picture.pixel(40, 30)), 0);
        QCOMPARE(Picture.pixel(60, 10), qRgb(255, 255, 255));
    }

    // A GIF that ends inside its header, its image descriptor or either colour table ends early, whatever the
    // byte it ends on.
    void gifCutInItsHeader_data()
    {
        QTest::addColumn<QByteArray>("data");
        QFile File(DataDir + QStringLiteral("/gif87a.gif"));
        QVERIFY(File.open(QIODevice::ReadOnly));
        // 13 bytes of header and screen descriptor, a global table of 8 colours, the image descriptor at 37.
        const QByteArray Global = File.readAll();
        // The same picture with its colours in a local table after the image descriptor instead.
        QByteArray Local = Global.left(13) + Global.mid(37, 10) + Global.mid(13, 24) + Global.mid(47);
        Local[10] = char(Local.at(10) & 0x7F);
        Local[22] = char(Local.at(22) | 0x82);
        QBuffer Whole(&Local);
        QVERIFY(Whole.open(QIODevice::ReadOnly));
        QImage Picture;
        ReadGif(Whole, Picture);
        QCOMPARE(Picture.pixel(60, 10), qRgb(220, 30, 30));

        for (int Length = 0; Length < 37; ++Length)
            QTest::addRow("global table, %d bytes", Length) << Global.left(Length);
        for (int Length = 13; Length < 13 + 10 + 24; ++Length)
            QTest::addRow("local table, %d bytes", Length) << Local.left(Length);
    }

    void gifCutInItsHeader()
    {
        QFETCH(QByteArray, data);
        QBuffer Buffer(&data);
        QVERIFY(Buffer.open(QIODevice::ReadOnly));
        QImage Picture;
        try {
            ReadGif(Buffer, Picture);
            QFAIL("the cut GIF was read");
        } catch (const TError &E) {
            QCOMPARE(E.Message(), QStringLiteral("Stream read error"));
        }
    }

    void gifCodeSize_data()
    {
        QTest::addColumn<int>("codeSize");
        QTest::addColumn<QString>("error");
        QTest::newRow("1") << 1 << QStringLiteral("GIF code size not in range 2 to 9");
        QTest::newRow("12") << 12 << QStringLiteral("GIF code size not in range 2 to 9");
        QTest::newRow("255") << 255 << QStringLiteral("GIF code size not in range 2 to 9");
        QTest::newRow("3 as written") << 3 << QString();
    }

    void gifCodeSize()
    {
        QFETCH(int, codeSize);
        QFETCH(QString, error);
        QFile File(DataDir + QStringLiteral("/gif87a.gif"));
        QVERIFY(File.open(QIODevice::ReadOnly));
        QByteArray Data = File.readAll();
        // The image descriptor starts at 0x25; the LZW minimum code size follows its 9 bytes.
        QCOMPARE(Data.at(0x25), ',');
        Data[0x2F] = char(codeSize);
        QTemporaryDir Dir;
        const QString Path = Dir.filePath(QStringLiteral("patched.gif"));
        QFile Out(Path);
        QVERIFY(Out.open(QIODevice::WriteOnly));
        Out.write(Data);
        Out.close();
        QImage Picture;
        QString Raised;
        try {
            LoadPictureFile(Picture, Path);
        } catch (const TError &E) {
            Raised = E.Message();
        }
        QCOMPARE(Raised, error);
        QCOMPARE(Picture.isNull(), !error.isEmpty());
    }

    void truncatedJpegIsFilledIn()
    {
        QImage Picture;
        QCOMPARE(Load(Picture, QStringLiteral("truncated-after-headers.jpg")), QString());
        QCOMPARE(Picture.size(), QSize(160, 120));
        QCOMPARE(Picture.format(), QImage::Format_BGR888);
        // The top rows arrived before the cut.
        QVERIFY(qRed(Picture.pixel(60, 10)) > 190);
    }

    void fileThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing jpg") << QStringLiteral("missing.jpg") << false
                                     << QStringLiteral("No such file or directory");
        QTest::newRow("missing upper-case gif") << QStringLiteral("MISSING.GIF") << false
                                                << QStringLiteral("No such file or directory");
        QTest::newRow("folder named bmp") << QStringLiteral("folder.bmp") << true
                                          << QStringLiteral("Is a directory");
    }

    void fileThatCannotBeOpened()
    {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        QFETCH(QString, reason);
        QTemporaryDir Dir;
        QVERIFY(Dir.isValid());
        const QString Path = Dir.filePath(name);
        if (folder)
            QVERIFY(QDir(Dir.path()).mkdir(name));
        QImage Picture;
        try {
            LoadPictureFile(Picture, Path);
            QFAIL("no error raised");
        } catch (const TError &E) {
            QCOMPARE(E.Message(), QStringLiteral("Cannot open file \"%1\". %2").arg(Path, reason));
        }
    }

    void missingFileWithUnreadExtensionIsNoError()
    {
        QImage Picture;
        QCOMPARE(Load(Picture, QStringLiteral("no-such-file.tif")), QString());
        QCOMPARE(Load(Picture, QStringLiteral("no-extension")), QString());
        QVERIFY(Picture.isNull());
    }

    void decodeJpegReadsFromTheCurrentPosition()
    {
        QFile File(DataDir + QStringLiteral("/colour-444.jpg"));
        QVERIFY(File.open(QIODevice::ReadOnly));
        QByteArray Stream("header bytes before the picture");
        const qint64 Start = Stream.size();
        Stream += File.readAll();
        QBuffer Buffer(&Stream);
        QVERIFY(Buffer.open(QIODevice::ReadOnly));
        QVERIFY(Buffer.seek(Start));
        QImage Picture;
        DecodeJpeg(Buffer, Picture);
        QCOMPARE(Picture.size(), QSize(160, 120));
        QVERIFY(Buffer.atEnd());
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
        QFile File(DataDir + QLatin1Char('/') + file);
        QVERIFY(File.open(QIODevice::ReadOnly));
        try {
            QCOMPARE(ReadJpeg(File, fitInto).size(), size);
        } catch (const TError &E) {
            QVERIFY(!size.isValid());
            QCOMPARE(E.Message(), QStringLiteral("There is not enough memory to open this picture."));
        }
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
        QFile File(DataDir + QLatin1Char('/') + file);
        QVERIFY(File.open(QIODevice::ReadOnly));
        QByteArray Data = File.readAll();
        const qint64 PictureSize = Data.size();
        Data.append(16 * 1024 * 1024, '\0');
        QBuffer Buffer(&Data);
        QVERIFY(Buffer.open(QIODevice::ReadOnly));
        QImage Picture;
        LoadPicture(Buffer, file, Picture);
        QCOMPARE(Picture.size(), QSize(160, 120));
        QVERIFY2(Buffer.pos() <= PictureSize, qPrintable(QString::number(Buffer.pos())));
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
        QImage Stored = CreateWorkingBitmap(3, 2);
        Stored.fill(Qt::black);
        Stored.setPixel(0, 0, qRgb(255, 0, 0));
        Stored.setPixel(2, 0, qRgb(0, 255, 0));
        const QImage Upright = OrientUpright(Stored, orientation);
        QCOMPARE(Upright.size(), size);
        QCOMPARE(Upright.pixel(topLeftGoesTo), qRgb(255, 0, 0));
        QCOMPARE(Upright.pixel(topRightGoesTo), qRgb(0, 255, 0));
    }

    void exifOrientation_data()
    {
        QTest::addColumn<QByteArray>("segment");
        QTest::addColumn<int>("orientation");
        const QByteArray Intel = QByteArray("Exif\0\0II*\0\x08\0\0\0\x02\0"
                                            "\x0f\x01\x02\0\x04\0\0\0Cam\0"
                                            "\x12\x01\x03\0\x01\0\0\0\x06\0\0\0",
                                            6 + 8 + 2 + 24);
        const QByteArray Motorola = QByteArray("Exif\0\0MM\0*\0\0\0\x08\0\x01"
                                               "\x01\x12\0\x03\0\0\0\x01\0\x08\0\0",
                                               6 + 8 + 2 + 12);
        QTest::newRow("little-endian, second entry") << Intel << 6;
        QTest::newRow("big-endian") << Motorola << 8;
        QTest::newRow("cut inside the directory") << Intel.left(30) << 1;
        QTest::newRow("not Exif") << QByteArray("XMP data") << 1;
        QByteArray Wild = Motorola;
        Wild[6 + 8 + 2 + 9] = 9;
        QTest::newRow("value out of range") << Wild << 1;
        QByteArray FarOffset = Intel;
        FarOffset[6 + 4] = '\x7f';
        QTest::newRow("directory past the end") << FarOffset << 1;
    }

    void exifOrientation()
    {
        QFETCH(QByteArray, segment);
        QFETCH(int, orientation);
        QCOMPARE(ExifOrientation(segment), orientation);
    }

    void pictureSizeGuard_data()
    {
        QTest::addColumn<qint64>("width");
        QTest::addColumn<qint64>("height");
        QTest::addColumn<bool>("refused");
        QTest::newRow("200-megapixel photograph") << qint64(17320) << qint64(11547) << false;
        QTest::newRow("widest JPEG") << qint64(65500) << qint64(100) << false;
        QTest::newRow("60000 square") << qint64(60000) << qint64(60000) << true;
        QTest::newRow("wider than any GIF") << qint64(65536) << qint64(1) << true;
        QTest::newRow("just over the pixel limit") << MaxPicturePixels / 16384 + 1 << qint64(16384) << true;
    }

    void pictureSizeGuard()
    {
        QFETCH(qint64, width);
        QFETCH(qint64, height);
        QFETCH(bool, refused);
        bool Raised = false;
        try {
            CheckPictureSize(width, height);
        } catch (const TError &E) {
            Raised = true;
            QCOMPARE(E.Message(), QStringLiteral("The picture is too large (%1 x %2 pixels).").arg(width).arg(height));
        }
        QCOMPARE(Raised, refused);
    }
};

QTEST_GUILESS_MAIN(TestPictureLoader)
#include "TestPictureLoader.moc"
