// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the picture preview: pictures scaled into their box, anything else none, and nothing that blocks.
#include "PicturePreview.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace quorra;

class TestPicturePreview : public QObject
{
    Q_OBJECT

private slots:
    void preview_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::newRow("JPEG scaled down") << "colour-420.jpg" << QSize(100, 75);
        QTest::newRow("JPEG, upper-case name") << "UPPER-CASE.JPG" << QSize(100, 75);
        QTest::newRow("BMP scaled down") << "rgb24.bmp" << QSize(100, 75);
        QTest::newRow("GIF never enlarged") << "animated-first-frame-small.gif" << QSize(60, 40);
        QTest::newRow("PNG scaled down") << "png-extension.png" << QSize(100, 75);
        QTest::newRow("not a picture kind") << "loop-one-second.avi" << QSize();
        QTest::newRow("TIFF too large to hold") << "huge-dimensions.tif" << QSize();
        QTest::newRow("JPEG bytes named .bmp") << "jpeg-bytes-named.bmp" << QSize();
        QTest::newRow("too large to hold") << "huge-dimensions.jpg" << QSize();
        QTest::newRow("huge progressive") << "huge-progressive.jpg" << QSize();
        QTest::newRow("scan bomb") << "scan-bomb.jpg" << QSize();
        QTest::newRow("missing") << "no-such-picture.jpg" << QSize();
    }

    void preview()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        const QImage preview = picturePreview(QStringLiteral(QUORRA_TEST_DATA "/") + file, QSize(100, 100));
        QCOMPARE(preview.isNull(), !size.isValid());
        if (size.isValid())
            QCOMPARE(preview.size(), size);
    }

    // A refusal gives no preview and says nothing to the person, but is logged with the file and the reason.
    void refusalIsLogged()
    {
        const QString path = QStringLiteral(QUORRA_TEST_DATA "/scan-bomb.jpg");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^No preview of .*/scan-bomb\\.jpg: .+")));
        QVERIFY(picturePreview(path, QSize(100, 100)).isNull());
    }

    // Opening a FIFO named like a picture would wait for a writer: it gives no preview, at once.
    void fifo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("picture.jpg"));
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QVERIFY(picturePreview(path, QSize(100, 100)).isNull());
    }
};

QTEST_GUILESS_MAIN(TestPicturePreview)
#include "TestPicturePreview.moc"
