// Tests of puzzle files and picture export: layout, round trips, refused files and failed writes.
#include "JpegReader.h"
#include "PictureLoader.h"
#include "UserError.h"
#include "JpegWriter.h"
#include "Puzzle.h"
#include "PuzzleFile.h"
#include "../NonRegularFiles.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/capability.h>
#include <memory>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(QUORRA_TEST_DATA "/") + name;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

qint32 intAt(const QByteArray &bytes, qint64 offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

// Four coloured quarters, far enough apart that JPEG error never confuses them.
const QColor Quarters[4] = {QColor(220, 30, 30), QColor(30, 200, 40), QColor(30, 40, 220), QColor(240, 220, 30)};

QImage quarterPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y) {
        uchar *row = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QColor &c = Quarters[(y >= height / 2) * 2 + (x >= width / 2)];
            row[x * 3] = uchar(c.blue());
            row[x * 3 + 1] = uchar(c.green());
            row[x * 3 + 2] = uchar(c.red());
        }
    }
    return picture;
}

bool nearColour(QRgb pixel, const QColor &expected, int tolerance = 12)
{
    return qAbs(qRed(pixel) - expected.red()) <= tolerance && qAbs(qGreen(pixel) - expected.green()) <= tolerance
        && qAbs(qBlue(pixel) - expected.blue()) <= tolerance;
}

// Each quarter has its colour, sampled away from the edges and from the white diagonal of the shared test
// pictures (which runs from the top-left corner through the top-left and bottom-right quarters).
void verifyQuarters(const QImage &picture)
{
    const int w = picture.width(), h = picture.height();
    const QPoint centres[4] = {{3 * w / 8, h / 8}, {3 * w / 4, h / 4}, {w / 4, 3 * h / 4}, {7 * w / 8, 5 * h / 8}};
    for (int i = 0; i < 4; ++i)
        QVERIFY2(nearColour(picture.pixel(centres[i]), Quarters[i]),
                 qPrintable(QStringLiteral("quarter %1 is %2").arg(i).arg(picture.pixel(centres[i]), 8, 16)));
}

QImage decodeJpegBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readJpeg(buffer);
}

// A puzzle with its own display and concealment texture, as the main window would hold it.
struct Fixture {
    QImage display;
    QImage texture;
    Puzzle puzzle;

    Fixture() : texture(16, 16, QImage::Format_BGR888), puzzle(&display, &texture) { texture.fill(Qt::gray); }

    void setUp(const QImage &picture, int rows, int cols, qint32 effect = 4, bool semi = false,
               bool emptyRow = false, bool emptyCol = false)
    {
        puzzle.source = picture;
        puzzle.setup(effect, rows, cols, semi, emptyRow, emptyCol);
    }
};

// What a refused or failed operation must leave as it was.
struct Snapshot {
    qint32 version, effect;
    bool semiEffect, editMode, solved, modified;
    QString fileName;
    QByteArray body;
    qint64 sourceKey;

    explicit Snapshot(const Puzzle &p)
        : version(p.version), effect(p.effect), semiEffect(p.semiEffect), editMode(p.editMode), solved(p.solved),
          modified(p.modified), fileName(p.fileName),
          body(reinterpret_cast<const char *>(&p.body), sizeof(TileGrid)), sourceKey(p.source.cacheKey())
    {
    }

    bool operator==(const Snapshot &) const = default;
};

// Writes cannot grow a file past Limit bytes for as long as this lives: a full disk that root cannot bypass.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit New = m_old;
        New.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &New);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old;
    void (*m_oldHandler)(int);
};

// For as long as this lives, root is held to the permission bits like anyone else (it keeps its other powers),
// so that a read-only folder is one for every user the tests run as.
class NoPermissionOverride
{
public:
    NoPermissionOverride()
    {
        __user_cap_header_struct header {_LINUX_CAPABILITY_VERSION_3, 0};
        if (syscall(SYS_capget, &header, m_old) != 0)
            return;
        __user_cap_data_struct New[2];
        std::memcpy(New, m_old, sizeof New);
        New[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        m_dropped = syscall(SYS_capset, &header, New) == 0;
    }
    ~NoPermissionOverride()
    {
        __user_cap_header_struct header {_LINUX_CAPABILITY_VERSION_3, 0};
        if (m_dropped)
            syscall(SYS_capset, &header, m_old);
    }

private:
    __user_cap_data_struct m_old[2] {};
    bool m_dropped = false;
};

// Whether a new file can be made in Folder by this thread.
bool folderTakesFiles(const QString &folder)
{
    const QByteArray probe = QFile::encodeName(folder + QStringLiteral("/probe"));
    const int handle = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (handle < 0)
        return false;
    ::close(handle);
    ::unlink(probe.constData());
    return true;
}

using RecordNumbers = QMap<int, int>;

enum WriteFailure { diskFull, ParentIsFile, NoParent, ReadOnlyFolder };

} // namespace

Q_DECLARE_METATYPE(WriteFailure)
Q_DECLARE_METATYPE(NonRegularFile)

class TestPuzzleFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString tempPath(const QString &name) const { return m_dir.filePath(name); }

    // Sets up how a save or export is made to fail, with the old file (when the case has one) in place.
    // Returns the path to write and the old bytes that must survive.
    QString prepareFailure(WriteFailure failure, const QString &name, QByteArray &old,
                           std::unique_ptr<FileSizeLimit> &limit);

private slots:
    void roundTrip_data();
    void roundTrip();
    void gridLayout_data();
    void gridLayout();
    void savedTwiceReplaces();
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
    void exportsFullResolution_data();
    void exportsFullResolution();
    void transparentColourIsKept();
};

QString TestPuzzleFile::prepareFailure(WriteFailure failure, const QString &name, QByteArray &old,
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
    made.setUp(quarterPicture(pictureSize.width(), pictureSize.height()), rows, cols, effect, semi, emptyRow,
               emptyCol);
    const TileGrid setUp = made.puzzle.body;
    made.puzzle.saveToFile(path);

    // Saving hands the maker a tangled puzzle at once.
    QCOMPARE(made.puzzle.fileName, path);
    QVERIFY(!made.puzzle.modified);
    QVERIFY(!made.puzzle.editMode);
    QVERIFY(!made.puzzle.solved);

    Fixture opened;
    QCOMPARE(opened.puzzle.loadFromFile(path), LoadResult::Loaded);
    const Puzzle &p = opened.puzzle;
    QCOMPARE(p.source.size(), pictureSize);
    verifyQuarters(p.source);
    QCOMPARE(p.version, 1);
    QCOMPARE(p.effect, effect);
    QCOMPARE(p.semiEffect, semi);
    QCOMPARE(p.body.rows, rows);
    QCOMPARE(p.body.cols, cols);
    QCOMPARE(p.body.extraRow, int(emptyRow));
    QCOMPARE(p.body.extraCol, int(emptyCol));
    QVERIFY(std::memcmp(p.body.target, setUp.target, sizeof setUp.target) == 0);
    QVERIFY(p.body.isPlayable());
    QCOMPARE(p.fileName, path);
    QVERIFY(p.title.isEmpty());
    QVERIFY(!p.editMode);
    QVERIFY(!p.solved);
    QVERIFY(!p.modified);
    // Opening draws nothing: the owner tangles the puzzle where the person can watch it.
    QVERIFY(p.display->isNull());
    opened.puzzle.tangle();
    QVERIFY(!p.display->isNull());
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
                         << QMap<int, int>{{0, 1},  {1, 5},  {2, 9},  {6, 2},  {7, 6},  {8, 10},
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
    made.puzzle.saveToFile(path);
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
    QVERIFY(JpegWriter::write(made.puzzle.source, encoded));
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
    made.puzzle.saveToFile(path);
    made.puzzle.setup(6, 4, 2, false, false, false);
    made.puzzle.saveToFile(path);

    const QByteArray bytes = readAll(path);
    QCOMPARE(intAt(bytes, 4), 6);
    QCOMPARE(intAt(bytes, 9), 4);
    QCOMPARE(intAt(bytes, 13), 2);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("puzzle.nbq")});
    QCOMPARE(QFile::permissions(path) & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

void TestPuzzleFile::opensOddFiles_data()
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
    QTest::newRow("picture cut after its headers") << "picture-truncated-after-headers.nbq" << 1 << 4 << false
                                                   << grid3x4 << int(QImage::Format_BGR888);
    QTest::newRow("garbage outside the grid") << "outside-region-garbage.nbq" << 1 << 4 << false << QSize(3, 3)
                                              << int(QImage::Format_BGR888);
    QTest::newRow("bytes after the picture") << "trailing-bytes.nbq" << 1 << 4 << false << grid3x4
                                             << int(QImage::Format_BGR888);
}

void TestPuzzleFile::opensOddFiles()
{
    QFETCH(QString, file);
    QFETCH(int, version);
    QFETCH(int, effect);
    QFETCH(bool, semi);
    QFETCH(QSize, grid);
    QFETCH(int, format);

    Fixture opened;
    QCOMPARE(opened.puzzle.loadFromFile(dataFile(file)), LoadResult::Loaded);
    const Puzzle &p = opened.puzzle;
    QCOMPARE(p.version, version);
    QCOMPARE(p.effect, effect);
    QCOMPARE(p.semiEffect, semi);
    QCOMPARE(QSize(p.body.totalCols(), p.body.totalRows()), grid);
    QCOMPARE(p.source.size(), QSize(160, 120));
    QCOMPARE(int(p.source.format()), format);
    QVERIFY(!p.editMode);
    QVERIFY(!p.modified);
    QCOMPARE(p.fileName, dataFile(file));

    // A puzzle read from a file writes back the version it was read with.
    const QString copy = tempPath(QStringLiteral("resaved-") + file);
    opened.puzzle.saveToFile(copy);
    QCOMPARE(intAt(readAll(copy), 0), version);
}

void TestPuzzleFile::tooNew_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("version");

    QTest::newRow("version 2") << "version-two.nbq" << 2;
    QTest::newRow("version 2, nothing after it") << "version-two-header-only.nbq" << 2;
    QTest::newRow("largest version") << "version-max.nbq" << 0x7FFFFFFF;
}

void TestPuzzleFile::tooNew()
{
    QFETCH(QString, file);
    QFETCH(int, version);

    Fixture current;
    current.setUp(quarterPicture(80, 60), 2, 2);
    Snapshot before(current.puzzle);
    QCOMPARE(current.puzzle.loadFromFile(dataFile(file)), LoadResult::TooNew);
    QCOMPARE(current.puzzle.version, version);
    before.version = version;
    QVERIFY(Snapshot(current.puzzle) == before);
}

void TestPuzzleFile::refusesDamagedFiles_data()
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
    QTest::newRow("picture too large to hold") << "huge-picture.nbq"
                                                << QStringLiteral("The picture is too large (60000 x 60000 pixels).");
    QTest::newRow("picture of a thousand empty scans")
        << "picture-scan-bomb.nbq" << QStringLiteral("\" is damaged: its picture has more than 100 scans.");
}

void TestPuzzleFile::refusesDamagedFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, message);

    Fixture current;
    current.setUp(quarterPicture(80, 60), 2, 2);
    const Snapshot before(current.puzzle);
    QElapsedTimer timer;
    timer.start();
    try {
        current.puzzle.loadFromFile(dataFile(file));
        QFAIL("the file was accepted");
    } catch (const UserError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        if (message.startsWith(QLatin1Char('"')))
            QVERIFY2(e.message().startsWith(QStringLiteral("The puzzle file \"%1").arg(dataFile(file))),
                     qPrintable(e.message()));
    }
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(Snapshot(current.puzzle) == before);
}

void TestPuzzleFile::pictureDecodedToFit()
{
    // Asked for a picture to show in 16 x 16, the reader decodes the 160 x 120 one at an eighth of its size.
    QFile file(dataFile(QStringLiteral("puzzle-3x4.nbq")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    PuzzleFile stored;
    QVERIFY(stored.read(file, file.fileName(), QSize(16, 16)));
    QCOMPARE(stored.source.size(), QSize(20, 15));
}

void TestPuzzleFile::noFile()
{
    Fixture current;
    current.setUp(quarterPicture(80, 60), 2, 2);
    const Snapshot before(current.puzzle);
    QCOMPARE(current.puzzle.loadFromFile(tempPath(QStringLiteral("nothing-here.nbq"))), LoadResult::NoFile);
    QCOMPARE(current.puzzle.loadFromFile(QString()), LoadResult::NoFile);
    QVERIFY(Snapshot(current.puzzle) == before);
}

void TestPuzzleFile::cannotOpenFolder()
{
    const QString folder = tempPath(QStringLiteral("a-folder.nbq"));
    QDir().mkpath(folder);
    Fixture current;
    try {
        current.puzzle.loadFromFile(folder);
        QFAIL("a folder was opened");
    } catch (const UserError &e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot open file \"%1\". %2").arg(folder, qt_error_string(EISDIR)));
    }
}

void TestPuzzleFile::refusesWhatIsNoFile_data()
{
    QTest::addColumn<NonRegularFile>("kind");
    QTest::addColumn<QString>("reason");
    const QString pipe = QStringLiteral("It is a named pipe, not a file.");
    QTest::newRow("pipe without a writer") << NonRegularFile::Fifo << pipe;
    QTest::newRow("link to a pipe") << NonRegularFile::FifoLink << pipe;
    QTest::newRow("socket") << NonRegularFile::Socket << QStringLiteral("It is a socket, not a file.");
    QTest::newRow("link to /dev/zero") << NonRegularFile::ZeroLink << QStringLiteral("It is a device, not a file.");
}

// As a puzzle and as a picture: refused at once, by name, and the puzzle on screen stays as it was.
void TestPuzzleFile::refusesWhatIsNoFile()
{
    QFETCH(NonRegularFile, kind);
    QFETCH(QString, reason);
    Fixture current;
    current.setUp(quarterPicture(80, 60), 2, 2);
    const Snapshot before(current.puzzle);
    for (const QString &suffix : {QStringLiteral(".nbq"), QStringLiteral(".jpg")}) {
        const QString path = tempPath(QStringLiteral("no-file-%1").arg(int(kind)) + suffix);
        QVERIFY(makeNonRegularFile(kind, path));
        QElapsedTimer clock;
        clock.start();
        try {
            if (suffix == QLatin1String(".nbq"))
                current.puzzle.loadFromFile(path);
            else
                loadPictureFile(current.puzzle.source, path);
            QFAIL("it was opened");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
        }
        QVERIFY(clock.elapsed() < RefusalMilliseconds);
        QVERIFY(Snapshot(current.puzzle) == before);
    }
}

void TestPuzzleFile::readsFromDevice()
{
    // Reading and writing work on any device, not only files: the stored arrangement is read as it is (the
    // tangle replaces it only when a puzzle opens), and header and grid are written back byte for byte.
    const QByteArray bytes = readAll(dataFile(QStringLiteral("puzzle-3x4.nbq")));
    QBuffer buffer;
    buffer.setData(bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    PuzzleFile stored;
    QVERIFY(stored.read(buffer, QStringLiteral("memory")));
    QCOMPARE(stored.source.size(), QSize(160, 120));
    QCOMPARE(stored.body.rows, 3);
    QCOMPARE(stored.body.current[0][0].number, 2); // the stored arrangement has its first row shifted

    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(stored.write(out));
    QCOMPARE(out.data().left(889), bytes.left(889));
}

void TestPuzzleFile::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<WriteFailure>("failure");
    QTest::addColumn<int>("reason"); // the system's error number whose text the message ends with
    QTest::newRow("disk full") << diskFull << EFBIG;
    QTest::newRow("parent is a file") << ParentIsFile << ENOTDIR;
    QTest::newRow("parent missing") << NoParent << ENOENT;
    QTest::newRow("read-only folder") << ReadOnlyFolder << EACCES;
}

void TestPuzzleFile::failedSaveKeepsOldFile()
{
    QFETCH(WriteFailure, failure);
    QFETCH(int, reason);

    Fixture made;
    made.setUp(quarterPicture(640, 480), 3, 3);
    const Snapshot before(made.puzzle);
    QByteArray old;
    std::unique_ptr<FileSizeLimit> limit;
    const QString path = prepareFailure(failure, QStringLiteral("save-%1").arg(int(failure)), old, limit);
    const QString folder = QFileInfo(path).absolutePath();
    const QStringList filesBefore = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    auto noOverride = std::make_unique<NoPermissionOverride>();
    if (failure == ReadOnlyFolder && folderTakesFiles(folder))
        QSKIP("this user writes into read-only folders; the disk-full case covers a failed write");
    try {
        made.puzzle.saveToFile(path);
        limit.reset();
        QFAIL("the save was reported as done");
    } catch (const UserError &e) {
        limit.reset();
        QCOMPARE(e.message(), QStringLiteral("Cannot create file \"%1\". %2").arg(path, qt_error_string(reason)));
    }
    noOverride.reset();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(Snapshot(made.puzzle) == before);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), filesBefore);
    if (!old.isEmpty())
        QCOMPARE(readAll(path), old);
    else
        QVERIFY(!QFileInfo::exists(path));
}

void TestPuzzleFile::failedExportKeepsOldFile_data()
{
    failedSaveKeepsOldFile_data();
}

void TestPuzzleFile::failedExportKeepsOldFile()
{
    QFETCH(WriteFailure, failure);
    QFETCH(int, reason);

    Fixture made;
    made.setUp(quarterPicture(640, 480), 2, 2);
    const Snapshot before(made.puzzle);
    QByteArray old;
    std::unique_ptr<FileSizeLimit> limit;
    const QString path = prepareFailure(failure, QStringLiteral("export-%1").arg(int(failure)), old, limit);
    const QString folder = QFileInfo(path).absolutePath();
    auto noOverride = std::make_unique<NoPermissionOverride>();
    if (failure == ReadOnlyFolder && folderTakesFiles(folder))
        QSKIP("this user writes into read-only folders; the disk-full case covers a failed write");
    try {
        made.puzzle.saveImageAs(path);
        limit.reset();
        QFAIL("the export was reported as done");
    } catch (const UserError &e) {
        limit.reset();
        QCOMPARE(e.message(), QStringLiteral("Cannot create file \"%1\". %2").arg(path, qt_error_string(reason)));
    }
    noOverride.reset();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(Snapshot(made.puzzle) == before);
    if (!old.isEmpty())
        QCOMPARE(readAll(path), old);
    else
        QVERIFY(!QFileInfo::exists(path));
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
    made.puzzle.source = quarterPicture(3000, 2000);
    made.puzzle.scale = scale;
    made.puzzle.setup(4, 2, 3, false, false, false);
    const Snapshot before(made.puzzle);
    const QImage shown = *made.puzzle.display;

    const QString path = tempPath(QStringLiteral("export-%1.jpg").arg(scale));
    made.puzzle.saveImageAs(path);
    const QImage exported = decodeJpegBytes(readAll(path));
    QCOMPARE(exported.size(), QSize(3000, 2000));
    QCOMPARE(exported.format(), QImage::Format_BGR888);
    verifyQuarters(exported);
    QVERIFY(Snapshot(made.puzzle) == before);
    QVERIFY(*made.puzzle.display == shown);
}

void TestPuzzleFile::transparentColourIsKept()
{
    // The GIF's yellow quarter is its transparent index: the files keep the yellow, not a background.
    Fixture made;
    loadPictureFile(made.puzzle.source, dataFile(QStringLiteral("transparent.gif")));
    QCOMPARE(made.puzzle.source.size(), QSize(160, 120));
    made.puzzle.setup(4, 2, 2, false, false, false);
    const QString path = tempPath(QStringLiteral("transparent.nbq"));
    made.puzzle.saveToFile(path);
    const QString exported = tempPath(QStringLiteral("transparent.jpg"));
    made.puzzle.saveImageAs(exported);

    const QImage stored = decodeJpegBytes(readAll(path).mid(889));
    Fixture opened;
    QCOMPARE(opened.puzzle.loadFromFile(path), LoadResult::Loaded);
    for (const QImage &picture : {stored, opened.puzzle.source, decodeJpegBytes(readAll(exported))}) {
        QCOMPARE(picture.size(), QSize(160, 120));
        verifyQuarters(picture);
    }
}

void TestPuzzleFile::saveReplacesTheLinkItself_data()
{
    QTest::addColumn<bool>("isExport");
    QTest::addColumn<bool>("dangling");
    QTest::newRow("save over a link to a file") << false << false;
    QTest::newRow("save over a link to nothing") << false << true;
    QTest::newRow("export over a link to a file") << true << false;
    QTest::newRow("export over a link to nothing") << true << true;
}

void TestPuzzleFile::saveReplacesTheLinkItself()
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
        made.puzzle.saveImageAs(path);
    else
        made.puzzle.saveToFile(path);

    QCOMPARE(fileType(path), mode_t(S_IFREG));
    if (dangling)
        QVERIFY(!QFileInfo::exists(target));
    else
        QCOMPARE(readAll(target), QByteArray("the target stays as it is"));
    QCOMPARE(readAll(path).left(isExport ? 2 : 4), isExport ? QByteArray("\xFF\xD8") : QByteArray("\x01\0\0\0", 4));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList {QStringLiteral("chosen"), QStringLiteral("elsewhere")}));
    if (!isExport)
        QCOMPARE(made.puzzle.fileName, path);
}

void TestPuzzleFile::saveRefusesWhatIsNoFile_data()
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

void TestPuzzleFile::saveRefusesWhatIsNoFile()
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
    const Snapshot before(made.puzzle);
    const QString message = QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason);
    QElapsedTimer clock;
    clock.start();
    for (bool isExport : {false, true}) {
        try {
            if (isExport)
                made.puzzle.saveImageAs(path);
            else
                made.puzzle.saveToFile(path);
            QFAIL("it was replaced");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), message);
        }
    }
    QVERIFY(clock.elapsed() < RefusalMilliseconds);
    QVERIFY(Snapshot(made.puzzle) == before);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden), entries);
    QCOMPARE(fileType(path), type);
    if (kind == 101 || kind == int(NonRegularFile::FifoLink)) // and what the link leads to
        QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
}

void TestPuzzleFile::writesInPlaceWhereTheFolderTakesNoFile_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::newRow("room enough") << false;
    QTest::newRow("disk full") << true;
}

void TestPuzzleFile::writesInPlaceWhereTheFolderTakesNoFile()
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
    const auto restore = qScopeGuard(
        [&] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });

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
            made.puzzle.saveToFile(path);
            QVERIFY(!diskFull);
        } catch (const UserError &e) {
            QVERIFY2(diskFull, qPrintable(e.message()));
            QCOMPARE(e.message(), QStringLiteral("Cannot create file \"%1\". %2").arg(path, qt_error_string(EFBIG)));
        }
    }
    struct stat after;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("old.nbq")});
    if (diskFull) {
        QCOMPARE(readAll(path), old);
        QVERIFY(made.puzzle.fileName.isEmpty());
    } else {
        Fixture opened;
        QCOMPARE(opened.puzzle.loadFromFile(path), LoadResult::Loaded);
        QCOMPARE(opened.puzzle.effect, 2);
        QCOMPARE(opened.puzzle.source.size(), QSize(640, 480));
        QCOMPARE(made.puzzle.fileName, path);
    }
}

// Setting up a puzzle draws the "Edit" / "Mode" stamp and the Hidden numbers, which need fonts.
QTEST_MAIN(TestPuzzleFile)
#include "TestPuzzleFile.moc"
