// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of reading picture files of every kind, their failures and the size guard.
#include "../HostilePictures.h"
#include "BmpReader.h"
#include "DecodeCancellation.h"
#include "GifReader.h"
#include "JpegReader.h"
#include "LoadedPictures.h"
#include "PictureLoader.h"
#include "UserError.h"
#include "WorkingBitmap.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

using namespace quorra;

namespace {

enum Kind { Colour, Grey, Mono, Refused, Nothing };

// The grey test picture was made with the Rec. 709 weights.
QRgb luma(QRgb c)
{
    const int y = qRound(0.2126 * qRed(c) + 0.7152 * qGreen(c) + 0.0722 * qBlue(c));
    return qRgb(y, y, y);
}

QString jpegError(int code)
{
    return QStringLiteral("JPEG error #%1").arg(code);
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

        const QSize full(160, 120);
        auto good = [&](const char *file, QImage::Format format, int tolerance, int kind = Colour) {
            QTest::newRow(file) << QString::fromLatin1(file) << kind << int(format) << full << tolerance << QString();
        };
        auto bad = [&](const char *file, const QString &error) {
            QTest::newRow(file) << QString::fromLatin1(file) << int(Refused) << 0 << QSize() << 0 << error;
        };
        // Format_Invalid: the BMP reader keeps whatever the file holds, so the format is not pinned down.
        good("rgb24.bmp", QImage::Format_Invalid, 2);
        good("rgb24-v4header.bmp", QImage::Format_Invalid, 2);
        good("argb32.bmp", QImage::Format_Invalid, 2);
        good("alpha-zero-v4.bmp", QImage::Format_Invalid, 2);
        good("alpha-mixed-v5.bmp", QImage::Format_Invalid, 2);
        good("rgb16-565.bmp", QImage::Format_Invalid, 16);
        good("palette8.bmp", QImage::Format_Indexed8, 40);
        good("palette4.bmp", QImage::Format_Indexed8, 60);
        good("palette8-rle.bmp", QImage::Format_Indexed8, 40);
        good("mono1.bmp", QImage::Format_Mono, 0, Mono);
        good("top-down.bmp", QImage::Format_Invalid, 2);
        good("os2-header.bmp", QImage::Format_Invalid, 2);
        good("colour-420.jpg", QImage::Format_BGR888, 24);
        good("colour-444.jpg", QImage::Format_BGR888, 24);
        good("grey.jpg", QImage::Format_Grayscale8, 24, Grey);
        good("progressive.jpg", QImage::Format_BGR888, 24);
        good("restart-markers.jpg", QImage::Format_BGR888, 24);
        good("arithmetic.jpg", QImage::Format_BGR888, 24);
        good("cmyk.jpg", QImage::Format_BGR888, 40);
        good("exif-orientation-6.jpg", QImage::Format_BGR888, 24);
        good("UPPER-CASE.JPG", QImage::Format_BGR888, 24);
        good("gif87a.gif", QImage::Format_Indexed8, 24);
        good("interlaced.gif", QImage::Format_Indexed8, 24);
        good("lower-case-signature.gif", QImage::Format_Indexed8, 24);
        good("huge-logical-screen.gif", QImage::Format_Indexed8, 24);
        QTest::newRow("animated-first-frame-small.gif")
            << QStringLiteral("animated-first-frame-small.gif") << int(Nothing) << int(QImage::Format_Indexed8)
            << QSize(60, 40) << 0 << QString();
        good("jpeg-extension.jpeg", QImage::Format_BGR888, 24);
        good("jpe-extension.JPE", QImage::Format_BGR888, 24);
        good("jfif-extension.Jfif", QImage::Format_BGR888, 24);
        // Transparent pixels (black underneath) on the diagonal must come out white.
        good("png-extension.png", QImage::Format_RGB32, 0);
        good("transparent-diagonal.png", QImage::Format_RGB32, 0);
        good("palette-transparent.png", QImage::Format_Indexed8, 0);
        good("sixteen-bit.png", QImage::Format_RGB32, 0);
        good("exif-orientation-6.png", QImage::Format_RGB32, 0);
        good("lossless.webp", QImage::Format_RGB32, 0);
        good("lossy.webp", QImage::Format_RGB32, 24);
        good("transparent-diagonal.webp", QImage::Format_RGB32, 0);
        good("exif-orientation-6.webp", QImage::Format_RGB32, 0);
        // The second frame is dark all over, so only the first passes.
        good("animated-first-frame.webp", QImage::Format_RGB32, 0);
        good("lzw.tif", QImage::Format_RGB32, 0);
        good("orientation-6.tif", QImage::Format_RGB32, 0);
        good("transparent-diagonal.tif", QImage::Format_RGB32, 0);

        bad("truncated-in-headers.jpg", jpegError(JERR_NO_IMAGE));
        bad("empty.jpg", jpegError(JERR_INPUT_EMPTY));
        bad("bmp-bytes-named.jpg", jpegError(JERR_NO_SOI));
        bad("jpeg-bytes-named.bmp", QStringLiteral("Bitmap image is not valid"));
        bad("bad-bmp-header.bmp", QStringLiteral("Bitmap image is not valid"));
        bad("empty.bmp", QStringLiteral("Bitmap image is not valid"));
        bad("bad-version-GIF90a.gif", QStringLiteral("Unknown GIF version"));
        // A damaged byte inside the image data makes its blocks end before the last pixel.
        bad("bad-code-size-12.gif", QStringLiteral("GIF encoded data is corrupt"));
        bad("truncated.gif", QStringLiteral("Stream read error"));
        bad("empty.gif", QStringLiteral("Stream read error"));
        bad("huge-dimensions.bmp", QStringLiteral("The picture is too large (60000 x 60000 pixels)."));
        bad("huge-dimensions.jpg", QStringLiteral("The picture is too large (60000 x 60000 pixels)."));
        bad("huge-image-descriptor.gif", QStringLiteral("The picture is too large (65535 x 65535 pixels)."));
        bad("scan-bomb.jpg", QStringLiteral("The picture is damaged: it has more than 100 scans."));
        bad("truncated.png", QStringLiteral("PNG image is not valid"));
        bad("empty.png", QStringLiteral("PNG image is not valid"));
        bad("truncated.webp", QStringLiteral("WebP image is not valid"));
        bad("empty.webp", QStringLiteral("WebP image is not valid"));
        bad("truncated.tif", QStringLiteral("TIFF image is not valid"));
        bad("empty.tif", QStringLiteral("TIFF image is not valid"));
        bad("huge-dimensions.png", QStringLiteral("The picture is too large (100000 x 100000 pixels)."));
        bad("huge-dimensions.tif", QStringLiteral("The picture is too large (100000 x 100000 pixels)."));
        // Qt's reader would take an animation's whole canvas while merely looking at its header.
        bad("huge-canvas.webp", QStringLiteral("The picture is too large (100000 x 100000 pixels)."));
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
        QImage picture(7, 5, QImage::Format_RGB32);
        picture.fill(Qt::magenta);
        const QString raised = load(picture, file);
        QCOMPARE(raised, error);
        if (kind == Refused || (kind == Nothing && size.isEmpty())) {
            QCOMPARE(picture.size(), QSize(7, 5));
            QCOMPARE(picture.pixel(0, 0), QColor(Qt::magenta).rgb());
            return;
        }
        QCOMPARE(picture.size(), size);
        if (format != QImage::Format_Invalid)
            QCOMPARE(int(picture.format()), format);
        // Only a GIF's transparent index hides a pixel; a bitmap's fourth byte is never taken as alpha, and other
        // transparency is painted onto white.
        QVERIFY(file.endsWith(QLatin1String(".gif")) || !picture.hasAlphaChannel());
        if (kind == Nothing)
            return;
        for (const Probe &probe : Quarters) {
            const QRgb got = picture.pixel(probe.at);
            if (kind == Mono) {
                QVERIFY2(got == qRgb(0, 0, 0) || got == qRgb(255, 255, 255), qPrintable(QString::number(got, 16)));
                continue;
            }
            const QRgb want = kind == Grey ? luma(probe.colour) : probe.colour;
            const int distance = std::max({std::abs(qRed(got) - qRed(want)), std::abs(qGreen(got) - qGreen(want)),
                                           std::abs(qBlue(got) - qBlue(want))});
            QVERIFY2(distance <= tolerance, qPrintable(QStringLiteral("(%1, %2) is %3, wants %4")
                                                           .arg(probe.at.x())
                                                           .arg(probe.at.y())
                                                           .arg(QColor(got).name(), QColor(want).name())));
        }
        // The diagonal runs from the top-left corner, so a turned or mirrored picture is caught here.
        QVERIFY(qGray(picture.pixel(40, 30)) > 200);
    }

    void truncatedJpegIsFilledIn()
    {
        QImage picture;
        QCOMPARE(load(picture, QStringLiteral("truncated-after-headers.jpg")), QString());
        QCOMPARE(picture.size(), QSize(160, 120));
        QCOMPARE(picture.format(), QImage::Format_BGR888);
        // The top rows arrived before the cut.
        QVERIFY(qRed(picture.pixel(60, 10)) > 190);
    }

    void fileThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing jpg") << QStringLiteral("missing.jpg") << false
                                     << QStringLiteral("No such file or directory");
        QTest::newRow("missing upper-case gif")
            << QStringLiteral("MISSING.GIF") << false << QStringLiteral("No such file or directory");
        QTest::newRow("folder named bmp") << QStringLiteral("folder.bmp") << true << QStringLiteral("Is a directory");
        QTest::newRow("missing tif") << QStringLiteral("missing.tif") << false
                                     << QStringLiteral("No such file or directory");
    }

    void fileThatCannotBeOpened()
    {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(name);
        if (folder)
            QVERIFY(QDir(dir.path()).mkdir(name));
        QImage picture;
        try {
            if (std::optional<QImage> read = readPictureFile(path))
                picture = std::move(*read);
            QFAIL("no error raised");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
        }
    }

    void missingFileWithUnreadExtensionIsNoError()
    {
        QImage picture;
        QCOMPARE(load(picture, QStringLiteral("no-such-file.psd")), QString());
        QCOMPARE(load(picture, QStringLiteral("no-extension")), QString());
        QVERIFY(picture.isNull());
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
        bool raised = false;
        try {
            checkPictureSize(width, height);
        } catch (const UserError &e) {
            raised = true;
            QCOMPARE(e.message(), QStringLiteral("The picture is too large (%1 x %2 pixels).").arg(width).arg(height));
        }
        QCOMPARE(raised, refused);
    }

    // Files of a few bytes to two megabytes that declare 16384 x 16384 pixels, inside the size guard: a puzzle's
    // decode refuses those whose output would not fit the memory budget, and a preview's every one it cannot
    // decode scaled, both from the header. The data behind each header is cut short, so a decode that began
    // anyway would end with the format's own complaint instead.
    void hostilePictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<QString>("error");
        using namespace HostilePictures;
        const QString memory = pictureNeedsTooMuchMemoryText();
        const QString pixels = QStringLiteral("The picture is too large (16384 x 16384 pixels).");
        const QByteArray png16 = zeroPng(16384, 16384, 16, 4, false);
        const QByteArray grey8 = zeroPng(16384, 16384, 8, 1, false);
        const QByteArray tiff = tiffHeader(16384, 16384);
        const QByteArray webp = webpHeader(16384, 16384);
        const QByteArray gif = gifHeader(16384, 16384);
        const QByteArray rle = bmpHeader(16384, 16384, 8);
        const QByteArray bmp32 = bmpHeader(16384, 16384, 32);
        QTest::newRow("16-bit RGBA PNG, puzzle") << png16 << ".png" << false << memory;
        QTest::newRow("16-bit RGBA PNG, preview") << png16 << ".png" << true << pixels;
        QTest::newRow("deflate RGBA TIFF, puzzle") << tiff << ".tif" << false << memory;
        QTest::newRow("deflate RGBA TIFF, preview") << tiff << ".tif" << true << pixels;
        QTest::newRow("lossless WebP, puzzle") << webp << ".webp" << false << memory;
        QTest::newRow("lossless WebP, preview") << webp << ".webp" << true << pixels;
        QTest::newRow("32-bit BMP, puzzle") << bmp32 << ".bmp" << false << memory;
        QTest::newRow("run-length BMP, preview") << rle << ".bmp" << true << pixels;
        QTest::newRow("GIF, preview") << gif << ".gif" << true << pixels;
        // A quarter-gigapixel at one byte a pixel fits the budget: the puzzle's decode begins, and meets the cut.
        QTest::newRow("8-bit grey PNG, puzzle") << grey8 << ".png" << false << QStringLiteral("PNG image is not valid");
        QTest::newRow("GIF, puzzle") << gif << ".gif" << false << QStringLiteral("GIF encoded data is corrupt");
    }

    void hostilePictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, extension);
        QFETCH(bool, preview);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("hostile") + extension);
        QVERIFY(HostilePictures::writeFile(path, bytes));
        DecodeLimits limits;
        if (preview) {
            limits.maxPixels = PreviewPixelBudget;
            limits.fitInto = QSize(200, 200);
        } else {
            // What a new puzzle leaves for its picture beside the working bitmaps of a full-screen panel.
            limits.maxBytes = MaxPictureMemory - 9LL * 1920 * 1080;
        }
        QString raised;
        try {
            readPictureFile(path, limits.fitInto, limits);
        } catch (const UserError &e) {
            raised = e.message();
        }
        QCOMPARE(raised, error);
    }

    // A decode given up from another thread ends early, as a damaged file does, at whatever stage it is.
    void cancelledDecodeEnds_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("JPEG") << "colour-420.jpg";
        QTest::newRow("progressive JPEG") << "progressive.jpg";
        QTest::newRow("GIF") << "interlaced.gif";
    }

    void cancelledDecodeEnds()
    {
        QFETCH(QString, file);
        const QString path = DataDir + QLatin1Char('/') + file;
        auto flag = std::make_shared<std::atomic_bool>(true);
        bool ended = false;
        {
            const DecodeCancellation cancellation(flag);
            try {
                readPictureFile(path);
            } catch (const std::exception &) {
                ended = true;
            }
        }
        QVERIFY(ended);
        // The flag belongs to that decode alone: the next one on this thread runs to its end.
        QVERIFY(readPictureFile(path).has_value());
    }
};

QTEST_GUILESS_MAIN(TestPictureLoader)
#include "TestPictureLoader.moc"
