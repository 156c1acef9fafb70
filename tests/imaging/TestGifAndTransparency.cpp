// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of GIF pictures (their transparency, cut headers and code sizes) and of transparency shown on white.
#include "GifReader.h"
#include "LoadedPictures.h"
#include "WorkingBitmap.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorra;

class TestGifAndTransparency : public QObject
{
    Q_OBJECT

private slots:
    void transparentGifMarksOnlyItsColour()
    {
        // The file's graphic control extension names index 0, the white of the diagonal, as transparent.
        QImage picture;
        QCOMPARE(load(picture, QStringLiteral("transparent.gif")), QString());
        QCOMPARE(picture.size(), QSize(160, 120));
        QCOMPARE(picture.pixelIndex(40, 30), 0);
        QCOMPARE(qAlpha(picture.pixel(40, 30)), 0);
        for (const Probe &probe : Quarters)
            QCOMPARE(picture.pixel(probe.at), probe.colour);
    }

    // Half-transparent red in the red quarter shows as it would on white paper.
    void transparencyIsPaintedOntoWhite_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("PNG") << QStringLiteral("transparent-diagonal.png");
        QTest::newRow("WebP") << QStringLiteral("transparent-diagonal.webp");
        QTest::newRow("TIFF, premultiplied") << QStringLiteral("transparent-diagonal.tif");
    }

    void transparencyIsPaintedOntoWhite()
    {
        QFETCH(QString, file);
        QImage picture;
        QCOMPARE(load(picture, file), QString());
        const QRgb want =
            qRgb((220 * 128 + 255 * 127) / 255, (30 * 128 + 255 * 127) / 255, (30 * 128 + 255 * 127) / 255);
        for (const QPoint at : {QPoint(70, 2), QPoint(77, 9)}) {
            const QRgb got = picture.pixel(at);
            QVERIFY2(std::abs(qRed(got) - qRed(want)) <= 1 && std::abs(qGreen(got) - qGreen(want)) <= 1
                         && std::abs(qBlue(got) - qBlue(want)) <= 1,
                     qPrintable(QColor(got).name()));
        }
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
        QImage picture;
        QCOMPARE(load(picture, QStringLiteral("transparent.gif")), QString());
        QImage target = createWorkingBitmap(320, 240);
        target.fill(QColor(background));
        stretchDraw(picture, target);
        QCOMPARE(target.pixel(80, 60), background);
        QCOMPARE(target.pixel(0, 0), background);
        QCOMPARE(target.pixel(120, 20), qRgb(220, 30, 30));
        QCOMPARE(target.pixel(280, 140), qRgb(240, 220, 30));
    }

    // Transparency goes by palette index: another entry of the transparent index's colour is a real colour.
    void gifTransparencyGoesByIndex()
    {
        QFile file(DataDir + QStringLiteral("/transparent.gif"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        // Entry 0 (white) is transparent; entry 3, the red quarter, becomes white too.
        QBuffer buffer;
        buffer.setData(file.readAll().replace(22, 3, "\xFF\xFF\xFF"));
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QImage picture;
        picture = readGif(buffer);
        QCOMPARE(qAlpha(picture.pixel(40, 30)), 0);
        QCOMPARE(picture.pixel(60, 10), qRgb(255, 255, 255));
    }

    // A GIF that ends inside its header, its image descriptor or either colour table ends early, whatever the
    // byte it ends on.
    void gifCutInItsHeader_data()
    {
        QTest::addColumn<QByteArray>("data");
        QFile file(DataDir + QStringLiteral("/gif87a.gif"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        // 13 bytes of header and screen descriptor, a global table of 8 colours, the image descriptor at 37.
        const QByteArray global = file.readAll();
        // The same picture with its colours in a local table after the image descriptor instead.
        QByteArray local = global.left(13) + global.mid(37, 10) + global.mid(13, 24) + global.mid(47);
        local[10] = char(local.at(10) & 0x7F);
        local[22] = char(local.at(22) | 0x82);
        QBuffer whole(&local);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QImage picture;
        picture = readGif(whole);
        QCOMPARE(picture.pixel(60, 10), qRgb(220, 30, 30));

        for (int length = 0; length < 37; ++length)
            QTest::addRow("global table, %d bytes", length) << global.left(length);
        for (int length = 13; length < 13 + 10 + 24; ++length)
            QTest::addRow("local table, %d bytes", length) << local.left(length);
    }

    void gifCutInItsHeader()
    {
        QFETCH(QByteArray, data);
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QImage picture;
        try {
            picture = readGif(buffer);
            QFAIL("the cut GIF was read");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), QStringLiteral("Stream read error"));
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
        QFile file(DataDir + QStringLiteral("/gif87a.gif"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray data = file.readAll();
        // The image descriptor starts at 0x25; the LZW minimum code size follows its 9 bytes.
        QCOMPARE(data.at(0x25), ',');
        data[0x2F] = char(codeSize);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("patched.gif"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(data);
        out.close();
        QImage picture;
        QString raised;
        try {
            if (std::optional<QImage> read = readPictureFile(path))
                picture = std::move(*read);
        } catch (const UserError &e) {
            raised = e.message();
        }
        QCOMPARE(raised, error);
        QCOMPARE(picture.isNull(), !error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGifAndTransparency)
#include "TestGifAndTransparency.moc"
