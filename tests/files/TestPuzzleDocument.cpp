// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of a puzzle as a document: its title, its saved state, and a save that leaves the game as it was.
#include "PuzzleFileFixture.h"

using namespace quorra;

class TestPuzzleDocument : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void newDocument();
    void loadPictureTitle_data();
    void loadPictureTitle();
    void modifiedFollowsTheWork_data();
    void modifiedFollowsTheWork();
    void saveLeavesTheGameAlone();
};

void TestPuzzleDocument::newDocument()
{
    const Fixture f;
    QVERIFY(!f.document.isModified());
    QVERIFY(f.document.title().isEmpty() && f.document.fileName().isEmpty());
    QVERIFY(f.document.pictureStream().isEmpty());
}

void TestPuzzleDocument::loadPictureTitle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("fails");
    QTest::newRow("dots in the name") << "/some/folder/my.photo.xcf"
                                      << "my.photo" << false;
    QTest::newRow("dot in the folder only") << "/some/fol.der/photo"
                                            << "" << false;
    QTest::newRow("relative") << "holiday.gif.xcf"
                              << "holiday.gif" << false;
    QTest::newRow("missing file keeps the title") << "/nonexistent/folder/beach.jpg"
                                                  << "beach" << true;
}

void TestPuzzleDocument::loadPictureTitle()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    QFETCH(bool, fails);
    Fixture f;
    f.document.setPicture(quarterPicture(30, 20));
    bool raised = false;
    try {
        f.document.loadPicture(path);
    } catch (const UserError &) {
        raised = true;
    }
    QCOMPARE(raised, fails);
    QCOMPARE(f.document.title(), title);
    QCOMPARE(f.puzzle.source().size(), QSize(30, 20)); // unread extensions leave the picture alone
}

void TestPuzzleDocument::modifiedFollowsTheWork_data()
{
    // What "Save current puzzle?" is asked by, and what the window's title names: the steps in order, whether work
    // would be lost after them, and the title. An opened or saved puzzle is named after its file.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("title");
    QTest::newRow("cut") << QStringList{"cut"} << true << "";
    QTest::newRow("cut, saved") << QStringList{"cut", "save"} << false << "modified";
    QTest::newRow("saved, tangled") << QStringList{"cut", "save", "tangle"} << false << "modified";
    QTest::newRow("saved, cut anew") << QStringList{"cut", "save", "cut"} << true << "modified";
    QTest::newRow("saved with no extension") << QStringList{"cut", "save plain"} << false << "plain";
    QTest::newRow("opened") << QStringList{"open"} << false << "puzzle-3x4";
    QTest::newRow("opened, cut anew") << QStringList{"open", "cut"} << true << "puzzle-3x4";
}

void TestPuzzleDocument::modifiedFollowsTheWork()
{
    QFETCH(QStringList, steps);
    QFETCH(bool, modified);
    QFETCH(QString, title);
    Fixture f;
    f.document.setPicture(quarterPicture(80, 60));
    for (const QString &step : steps) {
        if (step == QLatin1String("cut"))
            f.document.setUp(4, 2, 3, false, false, false);
        else if (step == QLatin1String("save"))
            f.document.save(m_dir.filePath(QStringLiteral("modified.nbq")));
        else if (step == QLatin1String("save plain"))
            f.document.save(m_dir.filePath(QStringLiteral("plain")));
        else if (step == QLatin1String("tangle"))
            f.puzzle.tangle();
        else
            QCOMPARE(f.document.open(dataFile(QStringLiteral("puzzle-3x4.nbq"))).result, LoadResult::Loaded);
    }
    QCOMPARE(f.document.isModified(), modified);
    QCOMPARE(f.document.title(), title);
}

void TestPuzzleDocument::saveLeavesTheGameAlone()
{
    // Saving a game being played writes it as it stands and changes nothing of it: no tangle, no animation, the
    // moves still to be taken back, the picture on screen as it was. Tangling a saved puzzle is its owner's call.
    Fixture f;
    f.setUp(quarterPicture(160, 120), 3, 3);
    f.puzzle.tangle();
    f.puzzle.select(CellPos(2, 2));
    f.puzzle.turnSelected(LineAxis::Row, 1);
    const TileGrid::Record played = f.puzzle.grid().record();
    const QImage shown = f.puzzle.display().copy();
    int animations = 0;
    f.puzzle.setAnimatedByOwner(true);
    QObject::connect(&f.puzzle, &Puzzle::animationStarted, &f.puzzle, [&] { ++animations; });

    const QString path = m_dir.filePath(QStringLiteral("played.nbq"));
    f.document.save(path);

    QCOMPARE(animations, 0);
    QVERIFY(f.puzzle.grid().record() == played);
    QVERIFY(f.puzzle.display() == shown);
    QVERIFY(!f.puzzle.isEditMode());
    QVERIFY(f.puzzle.canUndo());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto read = PuzzleFile::read(file, path);
    QVERIFY(std::holds_alternative<StoredPuzzle>(read));
    QVERIFY(std::get<StoredPuzzle>(read).grid.record() == played);
}

QTEST_MAIN(TestPuzzleDocument)
#include "TestPuzzleDocument.moc"
