// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of puzzle files and picture export: layout, round trips, saving again and the picture stream kept.
#include "../PuzzleProbe.h"
#include "PuzzleFileFixture.h"

using namespace quorra;

class TestPuzzleFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString tempPath(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void roundTrip_data();
    void roundTrip();
    void gridLayout_data();
    void gridLayout();
    void savedTwiceReplaces();
    void exportsFullResolution_data();
    void exportsFullResolution();
    void transparentColourIsKept();
    void keepsPictureStream_data();
    void keepsPictureStream();
    void pictureStreamFollowsThePicture_data();
    void pictureStreamFollowsThePicture();
};

void TestPuzzleFile::roundTrip_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("emptyRow");
    QTest::addColumn<bool>("emptyCol");
    QTest::addColumn<int>("effect");
    QTest::addColumn<bool>("semi");
    QTest::addColumn<QSize>("pictureSize");

    QTest::newRow("2x2 obscure") << 2 << 2 << false << false << 0 << false << QSize(160, 120);
    QTest::newRow("3x4 hidden") << 3 << 4 << false << false << 4 << false << QSize(320, 240);
    QTest::newRow("4x2 dark, semi, empty row") << 4 << 2 << true << false << 1 << true << QSize(203, 301);
    QTest::newRow("2x3 negative, empty column") << 2 << 3 << false << true << 3 << false << QSize(300, 200);
    QTest::newRow("4x4 low resolution, both empty") << 4 << 4 << true << true << 6 << true << QSize(401, 399);
    QTest::newRow("3x3 transparent, semi") << 3 << 3 << false << false << 2 << true << QSize(99, 99);
    QTest::newRow("3x2 top secret") << 3 << 2 << false << false << 5 << false << QSize(640, 480);
}

void TestPuzzleFile::roundTrip()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, emptyRow);
    QFETCH(bool, emptyCol);
    QFETCH(int, effect);
    QFETCH(bool, semi);
    QFETCH(QSize, pictureSize);

    const QString path = tempPath(QStringLiteral("round-%1.nbq").arg(QTest::currentDataTag()));
    Fixture made;
    made.setUp(quarterPicture(pictureSize.width(), pictureSize.height()), rows, cols, effect, semi, emptyRow, emptyCol);
    const TileGrid setUp = made.puzzle.grid();
    made.document.save(path);

    // Saving records the file and leaves the game to its owner, who tangles it: here it is still being set up.
    QCOMPARE(made.document.fileName(), path);
    QVERIFY(!made.document.isModified());
    QVERIFY(made.puzzle.isEditMode());
    QVERIFY(!made.puzzle.isSolved());

    Fixture opened;
    QCOMPARE(opened.document.open(path).result, LoadResult::Loaded);
    const Puzzle &p = opened.puzzle;
    QCOMPARE(p.source().size(), pictureSize);
    verifyQuarters(p.source());
    QCOMPARE(p.version(), 1);
    QCOMPARE(p.effect(), effect);
    QCOMPARE(p.isSemiEffect(), semi);
    QCOMPARE(p.grid().rows(), rows);
    QCOMPARE(p.grid().columns(), cols);
    QCOMPARE(p.grid().hasEmptyRow(), emptyRow);
    QCOMPARE(p.grid().hasEmptyColumn(), emptyCol);
    QVERIFY(std::memcmp(p.grid().record().target, setUp.record().target, sizeof setUp.record().target) == 0);
    QVERIFY(p.grid().record().isPlayable());
    QCOMPARE(opened.document.fileName(), path);
    QCOMPARE(opened.document.title(), QStringLiteral("round-%1").arg(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY(!p.isEditMode());
    QVERIFY(!p.isSolved());
    QVERIFY(!opened.document.isModified());
    // Opening draws nothing: the owner tangles the puzzle where the person can watch it.
    QVERIFY(p.display().isNull());
    opened.puzzle.tangle();
    QVERIFY(!p.display().isNull());
}

void TestPuzzleFile::gridLayout_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("emptyRow");
    QTest::addColumn<bool>("emptyCol");
    // Record index -> Number, for every record in use; all others must be zero.
    QTest::addColumn<RecordNumbers>("numbers");

    QTest::newRow("3x4") << 3 << 4 << false << false
                         << QMap<int, int>{{0, 1},  {1, 5},  {2, 9},   {6, 2},  {7, 6},  {8, 10},
                                           {12, 3}, {13, 7}, {14, 11}, {18, 4}, {19, 8}, {20, 12}};
    QTest::newRow("2x2 empty row") << 2 << 2 << true << false
                                   << QMap<int, int>{{0, 1}, {1, 3}, {2, 0}, {6, 2}, {7, 4}, {8, 0}};
    QTest::newRow("2x2 empty column") << 2 << 2 << false << true
                                      << QMap<int, int>{{0, 1}, {1, 3}, {6, 2}, {7, 4}, {12, 0}, {13, 0}};
}

void TestPuzzleFile::gridLayout()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, emptyRow);
    QFETCH(bool, emptyCol);
    QFETCH(RecordNumbers, numbers);

    const QString path = tempPath(QStringLiteral("layout-%1.nbq").arg(QTest::currentDataTag()));
    Fixture made;
    made.setUp(quarterPicture(120, 90), rows, cols, 5, true, emptyRow, emptyCol);
    made.document.save(path);
    const QByteArray bytes = readAll(path);

    QVERIFY(bytes.size() > PuzzleFile::HeaderSize);
    QCOMPARE(intAt(bytes, 0), 1);
    QCOMPARE(intAt(bytes, 4), 5);
    QCOMPARE(int(bytes.at(8)), 1);
    QCOMPARE(intAt(bytes, 9), rows);
    QCOMPARE(intAt(bytes, 13), cols);
    QCOMPARE(intAt(bytes, 17), int(emptyRow));
    QCOMPARE(intAt(bytes, 21), int(emptyCol));
    for (int record = 0; record < 36; ++record) {
        const qint64 at = 25 + record * 12;
        const int column = record / 6 + 1, row = record % 6 + 1;
        const bool picture = numbers.value(record, 0) != 0;
        QCOMPARE(intAt(bytes, at), numbers.value(record, 0));
        QCOMPARE(intAt(bytes, at + 4), picture ? column : 0);
        QCOMPARE(intAt(bytes, at + 8), picture ? row : 0);
    }
    // Saved in edit mode, before the tangle: the current arrangement is still the solved one.
    QCOMPARE(bytes.mid(457, 432), bytes.mid(25, 432));
    // The picture follows the header at once and is the whole rest of the file.
    QCOMPARE(bytes.mid(889, 2), QByteArray("\xFF\xD8"));
    QVERIFY(bytes.endsWith("\xFF\xD9"));
    QBuffer encoded;
    QVERIFY(encoded.open(QIODevice::WriteOnly));
    QVERIFY(JpegWriter::write(made.puzzle.source(), encoded));
    QCOMPARE(bytes.mid(889), encoded.data());
}

void TestPuzzleFile::savedTwiceReplaces()
{
    // No delete-first step: saving over an existing puzzle replaces it whole and leaves no stray files.
    const QString folder = tempPath(QStringLiteral("twice"));
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/puzzle.nbq");
    writeAll(path, QByteArray(100000, 'x'));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    Fixture made;
    made.setUp(quarterPicture(80, 60), 2, 3, 1);
    made.document.save(path);
    made.document.setUp(6, 4, 2, false, false, false);
    made.document.save(path);

    const QByteArray bytes = readAll(path);
    QCOMPARE(intAt(bytes, 4), 6);
    QCOMPARE(intAt(bytes, 9), 4);
    QCOMPARE(intAt(bytes, 13), 2);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("puzzle.nbq")});
    QCOMPARE(QFile::permissions(path) & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

void TestPuzzleFile::exportsFullResolution_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("scale 0.1") << 0.1;
    QTest::newRow("actual size") << 1.0;
    QTest::newRow("scale 0.33") << 0.33;
}

void TestPuzzleFile::exportsFullResolution()
{
    QFETCH(double, scale);
    Fixture made;
    made.document.setPicture(quarterPicture(3000, 2000));
    PuzzleProbe(made.puzzle).setScale(scale);
    made.document.setUp(4, 2, 3, false, false, false);
    const Snapshot before(made.document);
    const QImage shown = made.puzzle.display();

    const QString path = tempPath(QStringLiteral("export-%1.jpg").arg(scale));
    made.document.exportPicture(path);
    const QImage exported = decodeJpegBytes(readAll(path));
    QCOMPARE(exported.size(), QSize(3000, 2000));
    QCOMPARE(exported.format(), QImage::Format_BGR888);
    verifyQuarters(exported);
    QVERIFY(Snapshot(made.document) == before);
    QVERIFY(made.puzzle.display() == shown);
}

void TestPuzzleFile::transparentColourIsKept()
{
    // The GIF's yellow quarter is its transparent index: the files keep the yellow, not a background.
    Fixture made;
    made.document.loadPicture(dataFile(QStringLiteral("transparent.gif")));
    QCOMPARE(made.puzzle.source().size(), QSize(160, 120));
    made.document.setUp(4, 2, 2, false, false, false);
    const QString path = tempPath(QStringLiteral("transparent.nbq"));
    made.document.save(path);
    const QString exported = tempPath(QStringLiteral("transparent.jpg"));
    made.document.exportPicture(exported);

    const QImage stored = decodeJpegBytes(readAll(path).mid(889));
    Fixture opened;
    QCOMPARE(opened.document.open(path).result, LoadResult::Loaded);
    for (const QImage &picture : {stored, opened.puzzle.source(), decodeJpegBytes(readAll(exported))}) {
        QCOMPARE(picture.size(), QSize(160, 120));
        verifyQuarters(picture);
    }
}

void TestPuzzleFile::keepsPictureStream_data()
{
    QTest::addColumn<QString>("file"); // none: a puzzle made here
    QTest::newRow("made here") << QString();
    QTest::newRow("grey picture") << "picture-grey.nbq";
    QTest::newRow("bytes after the picture") << "trailing-bytes.nbq";
    QTest::newRow("picture cut after its headers") << "picture-truncated-after-headers.nbq";
}

void TestPuzzleFile::keepsPictureStream()
{
    // A puzzle passed on and saved again and again writes back the picture it came with: no generation is lost.
    QFETCH(QString, file);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    QString path = dataFile(file);
    if (file.isEmpty()) {
        path = tempPath(QStringLiteral("generation-%1-0.nbq").arg(tag));
        Fixture made;
        made.setUp(quarterPicture(320, 240), 3, 3);
        QVERIFY(made.document.pictureStream().isEmpty());
        made.document.save(path);
        QCOMPARE(made.document.pictureStream(), readAll(path).mid(PuzzleFile::HeaderSize));
    }
    // What follows the picture's end in a file is not the picture's.
    const QByteArray original = readAll(path).mid(PuzzleFile::HeaderSize);
    QByteArray first;
    for (int generation = 1; generation <= 10; ++generation) {
        Fixture opened;
        QCOMPARE(opened.document.open(path).result, LoadResult::Loaded);
        QVERIFY(original.startsWith(opened.document.pictureStream()));
        path = tempPath(QStringLiteral("generation-%1-%2.nbq").arg(tag).arg(generation));
        opened.document.save(path);
        const QByteArray picture = readAll(path).mid(PuzzleFile::HeaderSize);
        if (generation == 1)
            first = picture;
        QCOMPARE(picture, first);
        QCOMPARE(opened.document.pictureStream(), first);
    }
    QVERIFY(!first.isEmpty());
}

void TestPuzzleFile::pictureStreamFollowsThePicture_data()
{
    QTest::addColumn<bool>("newPicture");
    QTest::newRow("effect and split changed") << false;
    QTest::newRow("a new picture") << true;
}

void TestPuzzleFile::pictureStreamFollowsThePicture()
{
    QFETCH(bool, newPicture);
    Fixture opened;
    QCOMPARE(opened.document.open(dataFile(QStringLiteral("puzzle-3x4.nbq"))).result, LoadResult::Loaded);
    QByteArray expected = opened.document.pictureStream();
    QVERIFY(!expected.isEmpty());
    if (newPicture) {
        const QImage picture = quarterPicture(90, 60);
        opened.document.setPicture(picture);
        QVERIFY(opened.document.pictureStream().isEmpty());
        QBuffer encoded;
        QVERIFY(encoded.open(QIODevice::WriteOnly));
        QVERIFY(JpegWriter::write(picture, encoded));
        expected = encoded.data();
    }
    opened.document.setUp(6, 2, 2, true, true, false);
    const QString path = tempPath(QStringLiteral("follows-%1.nbq").arg(newPicture));
    opened.document.save(path);
    QCOMPARE(readAll(path).mid(PuzzleFile::HeaderSize), expected);
    QCOMPARE(opened.document.pictureStream(), expected);
}

QTEST_MAIN(TestPuzzleFile)
#include "TestPuzzleFile.moc"
