// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of opening puzzle files: odd ones that open, damaged, too new or absent ones refused, and any device read.
#include "PuzzleFileFixture.h"

using namespace quorra;

class TestPuzzleFileReading : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString tempPath(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void opensOddFiles_data();
    void opensOddFiles();
    void tooNew_data();
    void tooNew();
    void refusesDamagedFiles_data();
    void refusesDamagedFiles();
    void pictureDecodedToFit();
    void noFile();
    void cannotOpenFolder();
    void refusesWhatIsNoFile_data();
    void refusesWhatIsNoFile();
    void readsFromDevice();
};

void TestPuzzleFileReading::opensOddFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("effect");
    QTest::addColumn<bool>("semi");
    QTest::addColumn<QSize>("grid");
    QTest::addColumn<int>("format");

    const QSize grid3x4(4, 3);
    QTest::newRow("plain") << "puzzle-3x4.nbq" << 1 << 4 << false << grid3x4 << int(QImage::Format_BGR888);
    QTest::newRow("version 0") << "version-zero.nbq" << 0 << 4 << false << grid3x4 << int(QImage::Format_BGR888);
    QTest::newRow("version -1") << "version-minus-one.nbq" << -1 << 4 << false << grid3x4 << int(QImage::Format_BGR888);
    QTest::newRow("semi-effect byte 7") << "semi-effect-byte-seven.nbq" << 1 << 4 << true << grid3x4
                                        << int(QImage::Format_BGR888);
    QTest::newRow("effect 99") << "effect-ninety-nine.nbq" << 1 << 99 << false << grid3x4 << int(QImage::Format_BGR888);
    QTest::newRow("grey picture") << "picture-grey.nbq" << 1 << 4 << false << grid3x4 << int(QImage::Format_Grayscale8);
    QTest::newRow("picture cut after its headers")
        << "picture-truncated-after-headers.nbq" << 1 << 4 << false << grid3x4 << int(QImage::Format_BGR888);
    QTest::newRow("garbage outside the grid")
        << "outside-region-garbage.nbq" << 1 << 4 << false << QSize(3, 3) << int(QImage::Format_BGR888);
    QTest::newRow("bytes after the picture")
        << "trailing-bytes.nbq" << 1 << 4 << false << grid3x4 << int(QImage::Format_BGR888);
}

void TestPuzzleFileReading::opensOddFiles()
{
    QFETCH(QString, file);
    QFETCH(int, version);
    QFETCH(int, effect);
    QFETCH(bool, semi);
    QFETCH(QSize, grid);
    QFETCH(int, format);

    Fixture opened;
    QCOMPARE(opened.document.open(dataFile(file)).result, LoadResult::Loaded);
    const Puzzle &p = opened.puzzle;
    QCOMPARE(p.version(), version);
    QCOMPARE(p.effect(), effect);
    QCOMPARE(p.isSemiEffect(), semi);
    QCOMPARE(QSize(p.grid().totalColumns(), p.grid().totalRows()), grid);
    QCOMPARE(p.source().size(), QSize(160, 120));
    QCOMPARE(int(p.source().format()), format);
    QVERIFY(!p.isEditMode());
    QVERIFY(!opened.document.isModified());
    QCOMPARE(opened.document.fileName(), dataFile(file));

    // A puzzle read from a file writes back the version it was read with.
    const QString copy = tempPath(QStringLiteral("resaved-") + file);
    opened.document.save(copy);
    QCOMPARE(intAt(readAll(copy), 0), version);
}

void TestPuzzleFileReading::tooNew_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("version");

    QTest::newRow("version 2") << "version-two.nbq" << 2;
    QTest::newRow("version 2, nothing after it") << "version-two-header-only.nbq" << 2;
    QTest::newRow("largest version") << "version-max.nbq" << 0x7FFFFFFF;
}

void TestPuzzleFileReading::tooNew()
{
    QFETCH(QString, file);
    QFETCH(int, version);

    Fixture current;
    current.setUp(quarterPicture(80, 60), 2, 2);
    Snapshot before(current.document);
    const PuzzleDocument::Opening opening = current.document.open(dataFile(file));
    QCOMPARE(opening.result, LoadResult::TooNew);
    QCOMPARE(opening.version, version);
    QVERIFY(Snapshot(current.document) == before);
}

void TestPuzzleFileReading::refusesDamagedFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");

    const QString Short = QStringLiteral("\" is damaged: it ends before its header is complete.");
    const QString grid = QStringLiteral("\" is damaged: its grid is not one that Quorra makes.");
    const QString jpeg = QStringLiteral("JPEG error #");
    QTest::newRow("empty") << "empty.nbq" << Short;
    QTest::newRow("cut inside the version") << "cut-inside-version.nbq" << Short;
    QTest::newRow("cut inside the grid") << "short-header.nbq" << Short;
    QTest::newRow("no rows") << "rows-zero.nbq" << grid;
    QTest::newRow("five rows") << "rows-five.nbq" << grid;
    QTest::newRow("one column") << "cols-one.nbq" << grid;
    QTest::newRow("six rows and an empty row") << "rows-six-with-extra-row.nbq" << grid;
    QTest::newRow("empty column flag 2") << "extra-col-two.nbq" << grid;
    QTest::newRow("empty row flag -1") << "extra-row-minus-one.nbq" << grid;
    QTest::newRow("solved layout scrambled") << "target-scrambled.nbq" << grid;
    QTest::newRow("solved layout with a wrong home") << "target-home-wrong.nbq" << grid;
    QTest::newRow("piece in the empty row") << "target-extra-row-not-empty.nbq" << grid;
    QTest::newRow("a piece twice") << "current-not-permutation.nbq" << grid;
    QTest::newRow("a piece with another's home") << "current-home-mismatch.nbq" << grid;
    QTest::newRow("piece number past the grid") << "current-number-out-of-range.nbq" << grid;
    QTest::newRow("no picture") << "picture-missing.nbq" << jpeg;
    QTest::newRow("BMP picture") << "picture-not-jpeg.nbq" << jpeg;
    QTest::newRow("picture cut in its headers") << "picture-truncated-in-headers.nbq" << jpeg;
    QTest::newRow("picture too large to hold")
        << "huge-picture.nbq" << QStringLiteral("The picture is too large (60000 x 60000 pixels).");
    QTest::newRow("picture of a thousand empty scans")
        << "picture-scan-bomb.nbq" << QStringLiteral("\" is damaged: its picture has more than 100 scans.");
}

void TestPuzzleFileReading::refusesDamagedFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, message);

    Fixture current;
    current.setUp(quarterPicture(80, 60), 2, 2);
    const Snapshot before(current.document);
    QElapsedTimer timer;
    timer.start();
    try {
        current.document.open(dataFile(file)).result;
        QFAIL("the file was accepted");
    } catch (const UserError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        if (message.startsWith(QLatin1Char('"')))
            QVERIFY2(e.message().startsWith(QStringLiteral("The puzzle file \"%1").arg(dataFile(file))),
                     qPrintable(e.message()));
    }
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(Snapshot(current.document) == before);
}

void TestPuzzleFileReading::pictureDecodedToFit()
{
    // Asked for a picture to show in 16 x 16, the reader decodes the 160 x 120 one at an eighth of its size.
    QFile file(dataFile(QStringLiteral("puzzle-3x4.nbq")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto read = PuzzleFile::read(file, file.fileName(), QSize(16, 16));
    QVERIFY(std::holds_alternative<StoredPuzzle>(read));
    QCOMPARE(std::get<StoredPuzzle>(read).source.size(), QSize(20, 15));
}

void TestPuzzleFileReading::noFile()
{
    Fixture current;
    current.setUp(quarterPicture(80, 60), 2, 2);
    const Snapshot before(current.document);
    QCOMPARE(current.document.open(tempPath(QStringLiteral("nothing-here.nbq"))).result, LoadResult::NoFile);
    QCOMPARE(current.document.open(QString()).result, LoadResult::NoFile);
    QVERIFY(Snapshot(current.document) == before);
}

void TestPuzzleFileReading::cannotOpenFolder()
{
    const QString folder = tempPath(QStringLiteral("a-folder.nbq"));
    QDir().mkpath(folder);
    Fixture current;
    try {
        current.document.open(folder).result;
        QFAIL("a folder was opened");
    } catch (const UserError &e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot open file \"%1\". %2").arg(folder, qt_error_string(EISDIR)));
    }
}

void TestPuzzleFileReading::refusesWhatIsNoFile_data()
{
    QTest::addColumn<NonRegularFile>("kind");
    QTest::addColumn<QString>("reason");
    const QString pipe = QStringLiteral("It is a named pipe, not a file.");
    QTest::newRow("pipe without a writer") << NonRegularFile::Fifo << pipe;
    QTest::newRow("link to a pipe") << NonRegularFile::FifoLink << pipe;
    QTest::newRow("socket") << NonRegularFile::Socket << QStringLiteral("It is a socket, not a file.");
    QTest::newRow("link to /dev/zero") << NonRegularFile::ZeroLink << QStringLiteral("It is a device, not a file.");
}

void TestPuzzleFileReading::refusesWhatIsNoFile()
{
    QFETCH(NonRegularFile, kind);
    QFETCH(QString, reason);
    Fixture current;
    current.setUp(quarterPicture(80, 60), 2, 2);
    const Snapshot before(current.document);
    for (const QString &suffix : {QStringLiteral(".nbq"), QStringLiteral(".jpg")}) {
        const QString path = tempPath(QStringLiteral("no-file-%1").arg(int(kind)) + suffix);
        QVERIFY(makeNonRegularFile(kind, path));
        QElapsedTimer clock;
        clock.start();
        try {
            if (suffix == QLatin1String(".nbq"))
                current.document.open(path).result;
            else
                current.document.loadPicture(path);
            QFAIL("it was opened");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
        }
        QVERIFY(clock.elapsed() < RefusalMilliseconds);
        QVERIFY(Snapshot(current.document) == before);
    }
}

void TestPuzzleFileReading::readsFromDevice()
{
    // Reading and writing work on any device, not only files: the stored arrangement is read as it is (the
    // tangle replaces it only when a puzzle opens), and header and grid are written back byte for byte.
    const QByteArray bytes = readAll(dataFile(QStringLiteral("puzzle-3x4.nbq")));
    QBuffer buffer;
    buffer.setData(bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const auto read = PuzzleFile::read(buffer, QStringLiteral("memory"));
    QVERIFY(std::holds_alternative<StoredPuzzle>(read));
    const StoredPuzzle &stored = std::get<StoredPuzzle>(read);
    QCOMPARE(stored.source.size(), QSize(160, 120));
    QCOMPARE(stored.grid.rows(), 3);
    QCOMPARE(stored.grid.tileAt(CellPos(1, 1)).number, 2); // the stored arrangement has its first row shifted

    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(PuzzleFile::write(stored, out));
    QCOMPARE(out.data().left(889), bytes.left(889));
}

QTEST_MAIN(TestPuzzleFileReading)
#include "TestPuzzleFileReading.moc"
