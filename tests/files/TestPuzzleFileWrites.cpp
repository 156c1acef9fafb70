// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of saving and exporting that fail or meet links, pipes and folders: the old file always survives.
#include "PuzzleFileFixture.h"

using namespace quorra;

class TestPuzzleFileWrites : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString tempPath(const QString &name) const { return m_dir.filePath(name); }

    // Sets up how a save or export is made to fail, with the old file (when the case has one) in place.
    // Returns the path to write and the old bytes that must survive.
    QString prepareFailure(WriteFailure failure, const QString &name, QByteArray &old,
                           std::unique_ptr<FileSizeLimit> &limit);
    // Makes Write (a save or an export of a Rows x Rows puzzle) fail as the current row asks, and checks that the
    // failure is told in the system's words and that nothing changed: the puzzle, the old file and, with
    // SameFolderFiles, the files in its folder.
    void expectRefusedWrite(const QString &kind, int rows, bool sameFolderFiles,
                            const std::function<void(PuzzleDocument &, const QString &)> &write);

private slots:
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void failedExportKeepsOldFile_data();
    void failedExportKeepsOldFile();
    void saveReplacesTheLinkItself_data();
    void saveReplacesTheLinkItself();
    void saveRefusesWhatIsNoFile_data();
    void saveRefusesWhatIsNoFile();
    void writesInPlaceWhereTheFolderTakesNoFile_data();
    void writesInPlaceWhereTheFolderTakesNoFile();
};

QString TestPuzzleFileWrites::prepareFailure(WriteFailure failure, const QString &name, QByteArray &old,
                                             std::unique_ptr<FileSizeLimit> &limit)
{
    const QString folder = tempPath(name + QStringLiteral("-folder"));
    QDir().mkpath(folder);
    switch (failure) {
    case diskFull: {
        const QString path = folder + QStringLiteral("/old.nbq");
        old = readAll(dataFile(QStringLiteral("puzzle-3x4.nbq")));
        writeAll(path, old);
        limit = std::make_unique<FileSizeLimit>(500);
        return path;
    }
    case ParentIsFile:
        writeAll(folder + QStringLiteral("/file"), "not a folder");
        return folder + QStringLiteral("/file/new.nbq");
    case NoParent:
        return folder + QStringLiteral("/missing/new.nbq");
    case ReadOnlyFolder: {
        const QString path = folder + QStringLiteral("/old.nbq");
        old = readAll(dataFile(QStringLiteral("puzzle-3x4.nbq")));
        writeAll(path, old);
        // A file that may be written is written in place; this one may not.
        QFile::setPermissions(path, QFile::ReadOwner);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        return path;
    }
    }
    return QString();
}

void TestPuzzleFileWrites::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<WriteFailure>("failure");
    QTest::addColumn<int>("reason"); // the system's error number whose text the message ends with
    QTest::newRow("disk full") << diskFull << EFBIG;
    QTest::newRow("parent is a file") << ParentIsFile << ENOTDIR;
    QTest::newRow("parent missing") << NoParent << ENOENT;
    QTest::newRow("read-only folder") << ReadOnlyFolder << EACCES;
}

void TestPuzzleFileWrites::failedSaveKeepsOldFile()
{
    expectRefusedWrite(QStringLiteral("save"), 3, true,
                       [](PuzzleDocument &document, const QString &path) { document.save(path); });
}

void TestPuzzleFileWrites::failedExportKeepsOldFile_data()
{
    failedSaveKeepsOldFile_data();
}

void TestPuzzleFileWrites::failedExportKeepsOldFile()
{
    expectRefusedWrite(QStringLiteral("export"), 2, false,
                       [](PuzzleDocument &document, const QString &path) { document.exportPicture(path); });
}

void TestPuzzleFileWrites::expectRefusedWrite(const QString &kind, int rows, bool sameFolderFiles,
                                              const std::function<void(PuzzleDocument &, const QString &)> &write)
{
    QFETCH(WriteFailure, failure);
    QFETCH(int, reason);

    Fixture made;
    made.setUp(quarterPicture(640, 480), rows, rows);
    const Snapshot before(made.document);
    QByteArray old;
    std::unique_ptr<FileSizeLimit> limit;
    const QString path = prepareFailure(failure, QStringLiteral("%1-%2").arg(kind).arg(int(failure)), old, limit);
    const QString folder = QFileInfo(path).absolutePath();
    const QStringList filesBefore = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    auto noOverride = std::make_unique<NoPermissionOverride>();
    if (failure == ReadOnlyFolder && folderTakesFiles(folder))
        QSKIP("this user writes into read-only folders; the disk-full case covers a failed write");
    try {
        write(made.document, path);
        limit.reset();
        QFAIL(qPrintable(QStringLiteral("the %1 was reported as done").arg(kind)));
    } catch (const UserError &e) {
        limit.reset();
        QCOMPARE(e.message(), QStringLiteral("Cannot create file \"%1\". %2").arg(path, qt_error_string(reason)));
    }
    noOverride.reset();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(Snapshot(made.document) == before);
    if (sameFolderFiles)
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), filesBefore);
    if (!old.isEmpty())
        QCOMPARE(readAll(path), old);
    else
        QVERIFY(!QFileInfo::exists(path));
}

void TestPuzzleFileWrites::saveReplacesTheLinkItself_data()
{
    QTest::addColumn<bool>("isExport");
    QTest::addColumn<bool>("dangling");
    QTest::newRow("save over a link to a file") << false << false;
    QTest::newRow("save over a link to nothing") << false << true;
    QTest::newRow("export over a link to a file") << true << false;
    QTest::newRow("export over a link to nothing") << true << true;
}

void TestPuzzleFileWrites::saveReplacesTheLinkItself()
{
    QFETCH(bool, isExport);
    QFETCH(bool, dangling);
    const QString folder = tempPath(QStringLiteral("link-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/elsewhere")));
    const QString target = folder + QStringLiteral("/elsewhere/target");
    if (!dangling)
        writeAll(target, "the target stays as it is");
    const QString path = folder + QStringLiteral("/chosen");
    QVERIFY(QFile::link(target, path));

    Fixture made;
    made.setUp(quarterPicture(160, 120), 2, 2);
    if (isExport)
        made.document.exportPicture(path);
    else
        made.document.save(path);

    QCOMPARE(fileType(path), mode_t(S_IFREG));
    if (dangling)
        QVERIFY(!QFileInfo::exists(target));
    else
        QCOMPARE(readAll(target), QByteArray("the target stays as it is"));
    QCOMPARE(readAll(path).left(isExport ? 2 : 4), isExport ? QByteArray("\xFF\xD8") : QByteArray("\x01\0\0\0", 4));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("chosen"), QStringLiteral("elsewhere")}));
    if (!isExport)
        QCOMPARE(made.document.fileName(), path);
}

void TestPuzzleFileWrites::saveRefusesWhatIsNoFile_data()
{
    QTest::addColumn<int>("kind"); // a NonRegularFile, or one of the device cases below
    QTest::addColumn<QString>("reason");
    const QString pipe = QStringLiteral("It is a named pipe, not a file.");
    const QString device = QStringLiteral("It is a device, not a file.");
    QTest::newRow("pipe") << int(NonRegularFile::Fifo) << pipe;
    QTest::newRow("link to a pipe") << int(NonRegularFile::FifoLink) << pipe;
    QTest::newRow("socket") << int(NonRegularFile::Socket) << QStringLiteral("It is a socket, not a file.");
    QTest::newRow("folder") << int(NonRegularFile::Folder) << qt_error_string(EISDIR);
    QTest::newRow("device node") << 100 << device;
    QTest::newRow("link to a device node") << 101 << device;
}

void TestPuzzleFileWrites::saveRefusesWhatIsNoFile()
{
    QFETCH(int, kind);
    QFETCH(QString, reason);
    const QString folder = tempPath(QStringLiteral("refused-%1").arg(kind));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/chosen");
    // A node of our own, never a system one: a save that went wrong must not cost the machine its /dev/zero.
    if (kind >= 100) {
        const QString node = kind == 100 ? path : folder + QStringLiteral("/zero");
        if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 5)) != 0)
            QSKIP("this user cannot make device nodes");
        if (kind == 101)
            QVERIFY(QFile::link(node, path));
    } else {
        QVERIFY(makeNonRegularFile(NonRegularFile(kind), path));
    }
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
    const mode_t type = fileType(path);

    Fixture made;
    made.setUp(quarterPicture(160, 120), 2, 2);
    const Snapshot before(made.document);
    const QString message = QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason);
    QElapsedTimer clock;
    clock.start();
    for (bool isExport : {false, true}) {
        try {
            if (isExport)
                made.document.exportPicture(path);
            else
                made.document.save(path);
            QFAIL("it was replaced");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), message);
        }
    }
    QVERIFY(clock.elapsed() < RefusalMilliseconds);
    QVERIFY(Snapshot(made.document) == before);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden), entries);
    QCOMPARE(fileType(path), type);
    if (kind == 101 || kind == int(NonRegularFile::FifoLink)) // and what the link leads to
        QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
}

void TestPuzzleFileWrites::writesInPlaceWhereTheFolderTakesNoFile_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::newRow("room enough") << false;
    QTest::newRow("disk full") << true;
}

void TestPuzzleFileWrites::writesInPlaceWhereTheFolderTakesNoFile()
{
    QFETCH(bool, diskFull);
    const QString folder = tempPath(QStringLiteral("in-place-%1").arg(diskFull));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/old.nbq");
    const QByteArray old = readAll(dataFile(QStringLiteral("puzzle-3x4.nbq")));
    writeAll(path, old);
    struct stat before;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const auto restore =
        qScopeGuard([&] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });

    Fixture made;
    made.setUp(quarterPicture(640, 480), 3, 3, 2);
    {
        NoPermissionOverride noOverride;
        if (folderTakesFiles(folder))
            QSKIP("this user writes into read-only folders");
        std::unique_ptr<FileSizeLimit> limit;
        if (diskFull)
            limit = std::make_unique<FileSizeLimit>(500);
        try {
            made.document.save(path);
            QVERIFY(!diskFull);
        } catch (const UserError &e) {
            QVERIFY2(diskFull, qPrintable(e.message()));
            QCOMPARE(e.message(), QStringLiteral("Cannot create file \"%1\". %2").arg(path, qt_error_string(EFBIG)));
        }
    }
    struct stat after;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.nbq")});
    if (diskFull) {
        QCOMPARE(readAll(path), old);
        QVERIFY(made.document.fileName().isEmpty());
    } else {
        Fixture opened;
        QCOMPARE(opened.document.open(path).result, LoadResult::Loaded);
        QCOMPARE(opened.puzzle.effect(), 2);
        QCOMPARE(opened.puzzle.source().size(), QSize(640, 480));
        QCOMPARE(made.document.fileName(), path);
    }
}

// Setting up a puzzle draws the "Edit" / "Mode" stamp and the Hidden numbers, which need fonts.

QTEST_MAIN(TestPuzzleFileWrites)
#include "TestPuzzleFileWrites.moc"
