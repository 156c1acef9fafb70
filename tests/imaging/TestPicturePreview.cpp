// Tests of the picture preview: pictures scaled into their box, anything else none, and nothing that blocks.
#include "PicturePreview.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestPicturePreview : public QObject
{
    Q_OBJECT

private slots:
    void preview_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("bounds");
        QTest::addColumn<QSize>("size");
        QTest::newRow("JPEG scaled down") << "colour-420.jpg" << QSize(40, 40) << QSize(40, 30);
        QTest::newRow("JPEG, upper-case name") << "UPPER-CASE.JPG" << QSize(20, 20) << QSize(20, 15);
        QTest::newRow("BMP scaled down") << "rgb24.bmp" << QSize(80, 200) << QSize(80, 60);
        QTest::newRow("GIF never enlarged") << "transparent.gif" << QSize(400, 400) << QSize(160, 120);
        QTest::newRow("not a picture kind") << "png-extension.png" << QSize(100, 100) << QSize();
        QTest::newRow("JPEG bytes named .bmp") << "jpeg-bytes-named.bmp" << QSize(100, 100) << QSize();
        QTest::newRow("damaged GIF") << "bad-code-size-12.gif" << QSize(100, 100) << QSize();
        QTest::newRow("too large to hold") << "huge-dimensions.jpg" << QSize(100, 100) << QSize();
        QTest::newRow("scan bomb") << "scan-bomb.jpg" << QSize(100, 100) << QSize();
        QTest::newRow("huge progressive") << "huge-progressive.jpg" << QSize(100, 100) << QSize();
        QTest::newRow("missing") << "no-such-picture.jpg" << QSize(100, 100) << QSize();
    }

    void preview()
    {
        QFETCH(QString, file);
        QFETCH(QSize, bounds);
        QFETCH(QSize, size);
        const QImage Preview = PicturePreview(QStringLiteral(QUORRA_TEST_DATA "/") + file, bounds);
        QCOMPARE(Preview.isNull(), !size.isValid());
        if (size.isValid())
            QCOMPARE(Preview.size(), size);
    }

    // A FIFO or a folder named like a picture gives no preview at once: opening a FIFO would wait for a writer.
    void notARegularFile_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("FIFO") << true;
        QTest::newRow("folder") << false;
    }

    void notARegularFile()
    {
        QFETCH(bool, fifo);
        QTemporaryDir Dir;
        QVERIFY(Dir.isValid());
        const QString Path = Dir.filePath(QStringLiteral("picture.jpg"));
        if (fifo)
            QCOMPARE(mkfifo(QFile::encodeName(Path).constData(), 0600), 0);
        else
            QVERIFY(QDir().mkdir(Path));
        QVERIFY(PicturePreview(Path, QSize(100, 100)).isNull());
    }
};

QTEST_GUILESS_MAIN(TestPicturePreview)
#include "TestPicturePreview.moc"
