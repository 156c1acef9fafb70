// Tests of puzzle files and picture export: layout, round trips, refused files and failed writes.
#include "PictureLoader.h"
#include "TError.h"
#include "TJpegWriter.h"
#include "TPuzzle.h"
#include "TPuzzleFile.h"
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

QString DataFile(const QString &Name)
{
    return QStringLiteral(QUORRA_TEST_DATA "/") + Name;
}

QByteArray ReadAll(const QString &Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

void WriteAll(const QString &Path, const QByteArray &Bytes)
{
    QFile File(Path);
    QVERIFY(File.open(QIODevice::WriteOnly));
    QCOMPARE(File.write(Bytes), Bytes.size());
}

qint32 IntAt(const QByteArray &Bytes, qint64 Offset)
{
    return qFromLittleEndian<qint32>(Bytes.constData() + Offset);
}

// Four coloured quarters, far enough apart that JPEG error never confuses them.
const QColor Quarters[4] = {QColor(220, 30, 30), QColor(30, 200, 40), QColor(30, 40, 220), QColor(240, 220, 30)};

QImage QuarterPicture(int Width, int Height)
{
    QImage Picture(Width, Height, QImage::Format_BGR888);
    for (int Y = 0; Y < Height; ++Y) {
        uchar *Row = Picture.scanLine(Y);
        for (int X = 0; X < Width; ++X) {
            const QColor &C = Quarters[(Y >= Height / 2) * 2 + (X >= Width / 2)];
            Row[X * 3] = uchar(C.blue());
            Row[X * 3 + 1] = uchar(C.green());
            Row[X * 3 + 2] = uchar(C.red());
        }
    }
    return Picture;
}

bool NearColour(QRgb Pixel, const QColor &Expected, int Tolerance = 12)
{
    return qAbs(qRed(Pixel) - Expected.red()) <= Tolerance && qAbs(qGreen(Pixel) - Expected.green()) <= Tolerance
        && qAbs(qBlue(Pixel) - Expected.blue()) <= Tolerance;
}

// Each quarter has its colour, sampled away from the edges and from the white diagonal of the shared test
// pictures (which runs from the top-left corner through the top-left and bottom-right quarters).
void VerifyQuarters(const QImage &Picture)
{
    const int W = Picture.width(), H = Picture.height();
    const QPoint Centres[4] = {{3 * W / 8, H / 8}, {3 * W / 4, H / 4}, {W / 4, 3 * H / 4}, {7 * W / 8, 5 * H / 8}};
    for (int i = 0; i < 4; ++i)
        QVERIFY2(NearColour(Picture.pixel(Centres[i]), Quarters[i]),
                 qPrintable(QStringLiteral("quarter %1 is %2").arg(i).arg(Picture.pixel(Centres[i]), 8, 16)));
}

QImage DecodeJpegBytes(const QByteArray &Bytes)
{
    QBuffer Buffer;
    Buffer.setData(Bytes);
    Buffer.open(QIODevice::ReadOnly);
    QImage Picture;
    DecodeJpeg(Buffer, Picture);
    return Picture;
}

// A puzzle with its own display and concealment texture, as the main window would hold it.
struct TFixture {
    QImage Display;
    QImage Texture;
    TPuzzle Puzzle;

    TFixture() : Texture(16, 16, QImage::Format_BGR888), Puzzle(&Display, &Texture) { Texture.fill(Qt::gray); }

    void SetUp(const QImage &Picture, int Rows, int Cols, qint32 Effect = 4, bool Semi = false,
               bool EmptyRow = false, bool EmptyCol = false)
    {
        Puzzle.Source = Picture;
        Puzzle.Setup(Effect, Rows, Cols, Semi, EmptyRow, EmptyCol);
    }
};

// What a refused or failed operation must leave as it was.
struct TSnapshot {
    qint32 Version, Effect;
    bool SemiEffect, EditMode, Solved, Modified;
    QString FileName;
    QByteArray Body;
    qint64 SourceKey;

    explicit TSnapshot(const TPuzzle &P)
        : Version(P.Version), Effect(P.Effect), SemiEffect(P.SemiEffect), EditMode(P.EditMode), Solved(P.Solved),
          Modified(P.Modified), FileName(P.FileName),
          Body(reinterpret_cast<const char *>(&P.Body), sizeof(TBody)), SourceKey(P.Source.cacheKey())
    {
    }

    bool operator==(const TSnapshot &) const = default;
};

// Writes cannot grow a file past Limit bytes for as long as this lives: a full disk that root cannot bypass.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t Limit)
    {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit New = FOld;
        New.rlim_cur = Limit;
        setrlimit(RLIMIT_FSIZE, &New);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }

private:
    rlimit FOld;
    void (*FOldHandler)(int);
};

// For as long as this lives, root is held to the permission bits like anyone else (it keeps its other powers),
// so that a read-only folder is one for every user the tests run as.
class TNoPermissionOverride
{
public:
    TNoPermissionOverride()
    {
        __user_cap_header_struct Header {_LINUX_CAPABILITY_VERSION_3, 0};
        if (syscall(SYS_capget, &Header, FOld) != 0)
            return;
        __user_cap_data_struct New[2];
        std::memcpy(New, FOld, sizeof New);
        New[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        FDropped = syscall(SYS_capset, &Header, New) == 0;
    }
    ~TNoPermissionOverride()
    {
        __user_cap_header_struct Header {_LINUX_CAPABILITY_VERSION_3, 0};
        if (FDropped)
            syscall(SYS_capset, &Header, FOld);
    }

private:
    __user_cap_data_struct FOld[2] {};
    bool FDropped = false;
};

// Whether a new file can be made in Folder by this thread.
bool FolderTakesFiles(const QString &Folder)
{
    const QByteArray Probe = QFile::encodeName(Folder + QStringLiteral("/probe"));
    const int Handle = ::open(Probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (Handle < 0)
        return false;
    ::close(Handle);
    ::unlink(Probe.constData());
    return true;
}

using TRecordNumbers = QMap<int, int>;

enum TWriteFailure { DiskFull, ParentIsFile, NoParent, ReadOnlyFolder };

} // namespace

Q_DECLARE_METATYPE(TWriteFailure)
Q_DECLARE_METATYPE(TNonRegularFile)

class TestPuzzleFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir FDir;

    QString TempPath(const QString &Name) const { return FDir.filePath(Name); }

    // Sets up how a save or export is made to fail, with the old file (when the case has one) in place.
    // Returns the path to write and the old bytes that must survive.
    QString PrepareFailure(TWriteFailure Failure, const QString &Name, QByteArray &Old,
                           std::unique_ptr<TFileSizeLimit> &Limit);

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

QString TestPuzzleFile::PrepareFailure(TWriteFailure Failure, const QString &Name, QByteArray &Old,
                                       std::unique_ptr<TFileSizeLimit> &Limit)
{
    const QString Folder = TempPath(Name + QStringLiteral("-folder"));
    QDir().mkpath(Folder);
    switch (Failure) {
    case DiskFull: {
        const QString Path = Folder + QStringLiteral("/old.nbq");
        Old = ReadAll(DataFile(QStringLiteral("puzzle-3x4.nbq")));
        WriteAll(Path, Old);
        Limit = std::make_unique<TFileSizeLimit>(500);
        return Path;
    }
    case ParentIsFile:
        WriteAll(Folder + QStringLiteral("/file"), "not a folder");
        return Folder + QStringLiteral("/file/new.nbq");
    case NoParent:
        return Folder + QStringLiteral("/missing/new.nbq");
    case ReadOnlyFolder: {
        const QString Path = Folder + QStringLiteral("/old.nbq");
        Old = ReadAll(DataFile(QStringLiteral("puzzle-3x4.nbq")));
        WriteAll(Path, Old);
        // A file that may be written is written in place; this one may not.
        QFile::setPermissions(Path, QFile::ReadOwner);
        QFile::setPermissions(Folder, QFile::ReadOwner | QFile::ExeOwner);
        return Path;
    }
    }
    return QString();
}

void TestPuzzleFile::roundTrip_data()
{
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    QTest::addColumn<bool>("EmptyRow");
    QTest::addColumn<bool>("EmptyCol");
    QTest::addColumn<int>("Effect");
    QTest::addColumn<bool>("Semi");
    QTest::addColumn<QSize>("PictureSize");

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
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(bool, EmptyRow);
    QFETCH(bool, EmptyCol);
    QFETCH(int, Effect);
    QFETCH(bool, Semi);
    QFETCH(QSize, PictureSize);

    const QString Path = TempPath(QStringLiteral("round-%1.nbq").arg(QTest::currentDataTag()));
    TFixture Made;
    Made.SetUp(QuarterPicture(PictureSize.width(), PictureSize.height()), Rows, Cols, Effect, Semi, EmptyRow,
               EmptyCol);
    const TBody SetUp = Made.Puzzle.Body;
    Made.Puzzle.SaveToFile(Path);

    // Saving hands the maker a tangled puzzle at once.
    QCOMPARE(Made.Puzzle.FileName, Path);
    QVERIFY(!Made.Puzzle.Modified);
    QVERIFY(!Made.Puzzle.EditMode);
    QVERIFY(!Made.Puzzle.Solved);

    TFixture Opened;
    QCOMPARE(Opened.Puzzle.LoadFromFile(Path), TLoadResult::Loaded);
    const TPuzzle &P = Opened.Puzzle;
    QCOMPARE(P.Source.size(), PictureSize);
    VerifyQuarters(P.Source);
    QCOMPARE(P.Version, 1);
    QCOMPARE(P.Effect, Effect);
    QCOMPARE(P.SemiEffect, Semi);
    QCOMPARE(P.Body.Rows, Rows);
    QCOMPARE(P.Body.Cols, Cols);
    QCOMPARE(P.Body.ExtraRow, int(EmptyRow));
    QCOMPARE(P.Body.ExtraCol, int(EmptyCol));
    QVERIFY(std::memcmp(P.Body.Target, SetUp.Target, sizeof SetUp.Target) == 0);
    QVERIFY(P.Body.IsPlayable());
    QCOMPARE(P.FileName, Path);
    QVERIFY(P.Title.isEmpty());
    QVERIFY(!P.EditMode);
    QVERIFY(!P.Solved);
    QVERIFY(!P.Modified);
    // Opening draws nothing: the owner tangles the puzzle where the person can watch it.
    QVERIFY(P.Display->isNull());
    Opened.Puzzle.Tangle();
    QVERIFY(!P.Display->isNull());
}

void TestPuzzleFile::gridLayout_data()
{
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    QTest::addColumn<bool>("EmptyRow");
    QTest::addColumn<bool>("EmptyCol");
    // Record index -> Number, for every record in use; all others must be zero.
    QTest::addColumn<TRecordNumbers>("Numbers");

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
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(bool, EmptyRow);
    QFETCH(bool, EmptyCol);
    QFETCH(TRecordNumbers, Numbers);

    const QString Path = TempPath(QStringLiteral("layout-%1.nbq").arg(QTest::currentDataTag()));
    TFixture Made;
    Made.SetUp(QuarterPicture(120, 90), Rows, Cols, 5, true, EmptyRow, EmptyCol);
    Made.Puzzle.SaveToFile(Path);
    const QByteArray Bytes = ReadAll(Path);

    QVERIFY(Bytes.size() > TPuzzleFile::HeaderSize);
    QCOMPARE(IntAt(Bytes, 0), 1);
    QCOMPARE(IntAt(Bytes, 4), 5);
    QCOMPARE(int(Bytes.at(8)), 1);
    QCOMPARE(IntAt(Bytes, 9), Rows);
    QCOMPARE(IntAt(Bytes, 13), Cols);
    QCOMPARE(IntAt(Bytes, 17), int(EmptyRow));
    QCOMPARE(IntAt(Bytes, 21), int(EmptyCol));
    for (int Record = 0; Record < 36; ++Record) {
        const qint64 At = 25 + Record * 12;
        const int Column = Record / 6 + 1, Row = Record % 6 + 1;
        const bool Picture = Numbers.value(Record, 0) != 0;
        QCOMPARE(IntAt(Bytes, At), Numbers.value(Record, 0));
        QCOMPARE(IntAt(Bytes, At + 4), Picture ? Column : 0);
        QCOMPARE(IntAt(Bytes, At + 8), Picture ? Row : 0);
    }
    // Saved in edit mode, before the tangle: the current arrangement is still the solved one.
    QCOMPARE(Bytes.mid(457, 432), Bytes.mid(25, 432));
    // The picture follows the header at once and is the whole rest of the file.
    QCOMPARE(Bytes.mid(889, 2), QByteArray("\xFF\xD8"));
    QVERIFY(Bytes.endsWith("\xFF\xD9"));
    QBuffer Encoded;
    QVERIFY(Encoded.open(QIODevice::WriteOnly));
    QVERIFY(TJpegWriter::Write(Made.Puzzle.Source, Encoded));
    QCOMPARE(Bytes.mid(889), Encoded.data());
}

void TestPuzzleFile::savedTwiceReplaces()
{
    // No delete-first step: saving over an existing puzzle replaces it whole and leaves no stray files.
    const QString Folder = TempPath(QStringLiteral("twice"));
    QDir().mkpath(Folder);
    const QString Path = Folder + QStringLiteral("/puzzle.nbq");
    WriteAll(Path, QByteArray(100000, 'x'));
    QFile::setPermissions(Path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    TFixture Made;
    Made.SetUp(QuarterPicture(80, 60), 2, 3, 1);
    Made.Puzzle.SaveToFile(Path);
    Made.Puzzle.Setup(6, 4, 2, false, false, false);
    Made.Puzzle.SaveToFile(Path);

    const QByteArray Bytes = ReadAll(Path);
    QCOMPARE(IntAt(Bytes, 4), 6);
    QCOMPARE(IntAt(Bytes, 9), 4);
    QCOMPARE(IntAt(Bytes, 13), 2);
    QCOMPARE(QDir(Folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("puzzle.nbq")});
    QCOMPARE(QFile::permissions(Path) & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

void TestPuzzleFile::opensOddFiles_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<int>("Version");
    QTest::addColumn<int>("Effect");
    QTest::addColumn<bool>("Semi");
    QTest::addColumn<QSize>("Grid");
    QTest::addColumn<int>("Format");

    const QSize Grid3x4(4, 3);
    QTest::newRow("plain") << "puzzle-3x4.nbq" << 1 << 4 << false << Grid3x4 << int(QImage::Format_BGR888);
    QTest::newRow("version 0") << "version-zero.nbq" << 0 << 4 << false << Grid3x4 << int(QImage::Format_BGR888);
    QTest::newRow("version -1") << "version-minus-one.nbq" << -1 << 4 << false << Grid3x4 << int(QImage::Format_BGR888);
    QTest::newRow("semi-effect byte 7") << "semi-effect-byte-seven.nbq" << 1 << 4 << true << Grid3x4
                                        << int(QImage::Format_BGR888);
    QTest::newRow("effect 99") << "effect-ninety-nine.nbq" << 1 << 99 << false << Grid3x4 << int(QImage::Format_BGR888);
    QTest::newRow("grey picture") << "picture-grey.nbq" << 1 << 4 << false << Grid3x4 << int(QImage::Format_Grayscale8);
    QTest::newRow("picture cut after its headers") << "picture-truncated-after-headers.nbq" << 1 << 4 << false
                                                   << Grid3x4 << int(QImage::Format_BGR888);
    QTest::newRow("garbage outside the grid") << "outside-region-garbage.nbq" << 1 << 4 << false << QSize(3, 3)
                                              << int(QImage::Format_BGR888);
    QTest::newRow("bytes after the picture") << "trailing-bytes.nbq" << 1 << 4 << false << Grid3x4
                                             << int(QImage::Format_BGR888);
}

void TestPuzzleFile::opensOddFiles()
{
    QFETCH(QString, File);
    QFETCH(int, Version);
    QFETCH(int, Effect);
    QFETCH(bool, Semi);
    QFETCH(QSize, Grid);
    QFETCH(int, Format);

    TFixture Opened;
    QCOMPARE(Opened.Puzzle.LoadFromFile(DataFile(File)), TLoadResult::Loaded);
    const TPuzzle &P = Opened.Puzzle;
    QCOMPARE(P.Version, Version);
    QCOMPARE(P.Effect, Effect);
    QCOMPARE(P.SemiEffect, Semi);
    QCOMPARE(QSize(P.Body.TotalCols(), P.Body.TotalRows()), Grid);
    QCOMPARE(P.Source.size(), QSize(160, 120));
    QCOMPARE(int(P.Source.format()), Format);
    QVERIFY(!P.EditMode);
    QVERIFY(!P.Modified);
    QCOMPARE(P.FileName, DataFile(File));

    // A puzzle read from a file writes back the version it was read with.
    const QString Copy = TempPath(QStringLiteral("resaved-") + File);
    Opened.Puzzle.SaveToFile(Copy);
    QCOMPARE(IntAt(ReadAll(Copy), 0), Version);
}

void TestPuzzleFile::tooNew_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<int>("Version");

    QTest::newRow("version 2") << "version-two.nbq" << 2;
    QTest::newRow("version 2, nothing after it") << "version-two-header-only.nbq" << 2;
    QTest::newRow("largest version") << "version-max.nbq" << 0x7FFFFFFF;
}

void TestPuzzleFile::tooNew()
{
    QFETCH(QString, File);
    QFETCH(int, Version);

    TFixture Current;
    Current.SetUp(QuarterPicture(80, 60), 2, 2);
    TSnapshot Before(Current.Puzzle);
    QCOMPARE(Current.Puzzle.LoadFromFile(DataFile(File)), TLoadResult::TooNew);
    QCOMPARE(Current.Puzzle.Version, Version);
    Before.Version = Version;
    QVERIFY(TSnapshot(Current.Puzzle) == Before);
}

void TestPuzzleFile::refusesDamagedFiles_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<QString>("Message");

    const QString Short = QStringLiteral("\" is damaged: it ends before its header is complete.");
    const QString Grid = QStringLiteral("\" is damaged: its grid is not one that Quorra makes.");
    const QString Jpeg = QStringLiteral("JPEG error #");
    QTest::newRow("empty") << "empty.nbq" << Short;
    QTest::newRow("cut inside the version") << "cut-inside-version.nbq" << Short;
    QTest::newRow("cut inside the grid") << "short-header.nbq" << Short;
    QTest::newRow("no rows") << "rows-zero.nbq" << Grid;
    QTest::newRow("five rows") << "rows-five.nbq" << Grid;
    QTest::newRow("one column") << "cols-one.nbq" << Grid;
    QTest::newRow("six rows and an empty row") << "rows-six-with-extra-row.nbq" << Grid;
    QTest::newRow("empty column flag 2") << "extra-col-two.nbq" << Grid;
    QTest::newRow("empty row flag -1") << "extra-row-minus-one.nbq" << Grid;
    QTest::newRow("solved layout scrambled") << "target-scrambled.nbq" << Grid;
    QTest::newRow("solved layout with a wrong home") << "target-home-wrong.nbq" << Grid;
    QTest::newRow("piece in the empty row") << "target-extra-row-not-empty.nbq" << Grid;
    QTest::newRow("a piece twice") << "current-not-permutation.nbq" << Grid;
    QTest::newRow("a piece with another's home") << "current-home-mismatch.nbq" << Grid;
    QTest::newRow("piece number past the grid") << "current-number-out-of-range.nbq" << Grid;
    QTest::newRow("no picture") << "picture-missing.nbq" << Jpeg;
    QTest::newRow("BMP picture") << "picture-not-jpeg.nbq" << Jpeg;
    QTest::newRow("picture cut in its headers") << "picture-truncated-in-headers.nbq" << Jpeg;
    QTest::newRow("picture too large to hold") << "huge-picture.nbq"
                                                << QStringLiteral("The picture is too large (60000 x 60000 pixels).");
    QTest::newRow("picture of a thousand empty scans")
        << "picture-scan-bomb.nbq" << QStringLiteral("\" is damaged: its picture has more than 100 scans.");
}

void TestPuzzleFile::refusesDamagedFiles()
{
    QFETCH(QString, File);
    QFETCH(QString, Message);

    TFixture Current;
    Current.SetUp(QuarterPicture(80, 60), 2, 2);
    const TSnapshot Before(Current.Puzzle);
    QElapsedTimer Timer;
    Timer.start();
    try {
        Current.Puzzle.LoadFromFile(DataFile(File));
        QFAIL("the file was accepted");
    } catch (const TError &E) {
        QVERIFY2(E.Message().contains(Message), qPrintable(E.Message()));
        if (Message.startsWith(QLatin1Char('"')))
            QVERIFY2(E.Message().startsWith(QStringLiteral("The puzzle file \"%1").arg(DataFile(File))),
                     qPrintable(E.Message()));
    }
    QVERIFY2(Timer.elapsed() < 5000, qPrintable(QString::number(Timer.elapsed())));
    QVERIFY(TSnapshot(Current.Puzzle) == Before);
}

void TestPuzzleFile::pictureDecodedToFit()
{
    // Asked for a picture to show in 16 x 16, the reader decodes the 160 x 120 one at an eighth of its size.
    QFile File(DataFile(QStringLiteral("puzzle-3x4.nbq")));
    QVERIFY(File.open(QIODevice::ReadOnly));
    TPuzzleFile Stored;
    QVERIFY(Stored.Read(File, File.fileName(), QSize(16, 16)));
    QCOMPARE(Stored.Source.size(), QSize(20, 15));
}

void TestPuzzleFile::noFile()
{
    TFixture Current;
    Current.SetUp(QuarterPicture(80, 60), 2, 2);
    const TSnapshot Before(Current.Puzzle);
    QCOMPARE(Current.Puzzle.LoadFromFile(TempPath(QStringLiteral("nothing-here.nbq"))), TLoadResult::NoFile);
    QCOMPARE(Current.Puzzle.LoadFromFile(QString()), TLoadResult::NoFile);
    QVERIFY(TSnapshot(Current.Puzzle) == Before);
}

void TestPuzzleFile::cannotOpenFolder()
{
    const QString Folder = TempPath(QStringLiteral("a-folder.nbq"));
    QDir().mkpath(Folder);
    TFixture Current;
    try {
        Current.Puzzle.LoadFromFile(Folder);
        QFAIL("a folder was opened");
    } catch (const TError &E) {
        QCOMPARE(E.Message(), QStringLiteral("Cannot open file \"%1\". %2").arg(Folder, qt_error_string(EISDIR)));
    }
}

void TestPuzzleFile::refusesWhatIsNoFile_data()
{
    QTest::addColumn<TNonRegularFile>("Kind");
    QTest::addColumn<QString>("Reason");
    const QString Pipe = QStringLiteral("It is a named pipe, not a file.");
    QTest::newRow("pipe without a writer") << TNonRegularFile::Fifo << Pipe;
    QTest::newRow("link to a pipe") << TNonRegularFile::FifoLink << Pipe;
    QTest::newRow("socket") << TNonRegularFile::Socket << QStringLiteral("It is a socket, not a file.");
    QTest::newRow("link to /dev/zero") << TNonRegularFile::ZeroLink << QStringLiteral("It is a device, not a file.");
}

// As a puzzle and as a picture: refused at once, by name, and the puzzle on screen stays as it was.
void TestPuzzleFile::refusesWhatIsNoFile()
{
    QFETCH(TNonRegularFile, Kind);
    QFETCH(QString, Reason);
    TFixture Current;
    Current.SetUp(QuarterPicture(80, 60), 2, 2);
    const TSnapshot Before(Current.Puzzle);
    for (const QString &Suffix : {QStringLiteral(".nbq"), QStringLiteral(".jpg")}) {
        const QString Path = TempPath(QStringLiteral("no-file-%1").arg(int(Kind)) + Suffix);
        QVERIFY(MakeNonRegularFile(Kind, Path));
        QElapsedTimer Clock;
        Clock.start();
        try {
            if (Suffix == QLatin1String(".nbq"))
                Current.Puzzle.LoadFromFile(Path);
            else
                LoadPictureFile(Current.Puzzle.Source, Path);
            QFAIL("it was opened");
        } catch (const TError &E) {
            QCOMPARE(E.Message(), QStringLiteral("Cannot open file \"%1\". %2").arg(Path, Reason));
        }
        QVERIFY(Clock.elapsed() < RefusalMilliseconds);
        QVERIFY(TSnapshot(Current.Puzzle) == Before);
    }
}

void TestPuzzleFile::readsFromDevice()
{
    // Reading and writing work on any device, not only files: the stored arrangement is read as it is (the
    // tangle replaces it only when a puzzle opens), and header and grid are written back byte for byte.
    const QByteArray Bytes = ReadAll(DataFile(QStringLiteral("puzzle-3x4.nbq")));
    QBuffer Buffer;
    Buffer.setData(Bytes);
    QVERIFY(Buffer.open(QIODevice::ReadOnly));
    TPuzzleFile Stored;
    QVERIFY(Stored.Read(Buffer, QStringLiteral("memory")));
    QCOMPARE(Stored.Source.size(), QSize(160, 120));
    QCOMPARE(Stored.Body.Rows, 3);
    QCOMPARE(Stored.Body.Current[0][0].Number, 2); // the stored arrangement has its first row shifted

    QBuffer Out;
    QVERIFY(Out.open(QIODevice::WriteOnly));
    QVERIFY(Stored.Write(Out));
    QCOMPARE(Out.data().left(889), Bytes.left(889));
}

void TestPuzzleFile::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<TWriteFailure>("Failure");
    QTest::addColumn<int>("Reason"); // the system's error number whose text the message ends with
    QTest::newRow("disk full") << DiskFull << EFBIG;
    QTest::newRow("parent is a file") << ParentIsFile << ENOTDIR;
    QTest::newRow("parent missing") << NoParent << ENOENT;
    QTest::newRow("read-only folder") << ReadOnlyFolder << EACCES;
}

void TestPuzzleFile::failedSaveKeepsOldFile()
{
    QFETCH(TWriteFailure, Failure);
    QFETCH(int, Reason);

    TFixture Made;
    Made.SetUp(QuarterPicture(640, 480), 3, 3);
    const TSnapshot Before(Made.Puzzle);
    QByteArray Old;
    std::unique_ptr<TFileSizeLimit> Limit;
    const QString Path = PrepareFailure(Failure, QStringLiteral("save-%1").arg(int(Failure)), Old, Limit);
    const QString Folder = QFileInfo(Path).absolutePath();
    const QStringList FilesBefore = QDir(Folder).entryList(QDir::Files | QDir::Hidden);
    auto NoOverride = std::make_unique<TNoPermissionOverride>();
    if (Failure == ReadOnlyFolder && FolderTakesFiles(Folder))
        QSKIP("this user writes into read-only folders; the disk-full case covers a failed write");
    try {
        Made.Puzzle.SaveToFile(Path);
        Limit.reset();
        QFAIL("the save was reported as done");
    } catch (const TError &E) {
        Limit.reset();
        QCOMPARE(E.Message(), QStringLiteral("Cannot create file \"%1\". %2").arg(Path, qt_error_string(Reason)));
    }
    NoOverride.reset();
    QFile::setPermissions(Folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(TSnapshot(Made.Puzzle) == Before);
    QCOMPARE(QDir(Folder).entryList(QDir::Files | QDir::Hidden), FilesBefore);
    if (!Old.isEmpty())
        QCOMPARE(ReadAll(Path), Old);
    else
        QVERIFY(!QFileInfo::exists(Path));
}

void TestPuzzleFile::failedExportKeepsOldFile_data()
{
    failedSaveKeepsOldFile_data();
}

void TestPuzzleFile::failedExportKeepsOldFile()
{
    QFETCH(TWriteFailure, Failure);
    QFETCH(int, Reason);

    TFixture Made;
    Made.SetUp(QuarterPicture(640, 480), 2, 2);
    const TSnapshot Before(Made.Puzzle);
    QByteArray Old;
    std::unique_ptr<TFileSizeLimit> Limit;
    const QString Path = PrepareFailure(Failure, QStringLiteral("export-%1").arg(int(Failure)), Old, Limit);
    const QString Folder = QFileInfo(Path).absolutePath();
    auto NoOverride = std::make_unique<TNoPermissionOverride>();
    if (Failure == ReadOnlyFolder && FolderTakesFiles(Folder))
        QSKIP("this user writes into read-only folders; the disk-full case covers a failed write");
    try {
        Made.Puzzle.SaveImageAs(Path);
        Limit.reset();
        QFAIL("the export was reported as done");
    } catch (const TError &E) {
        Limit.reset();
        QCOMPARE(E.Message(), QStringLiteral("Cannot create file \"%1\". %2").arg(Path, qt_error_string(Reason)));
    }
    NoOverride.reset();
    QFile::setPermissions(Folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(TSnapshot(Made.Puzzle) == Before);
    if (!Old.isEmpty())
        QCOMPARE(ReadAll(Path), Old);
    else
        QVERIFY(!QFileInfo::exists(Path));
}

void TestPuzzleFile::exportsFullResolution_data()
{
    QTest::addColumn<double>("Scale");
    QTest::newRow("scale 0.1") << 0.1;
    QTest::newRow("actual size") << 1.0;
    QTest::newRow("scale 0.33") << 0.33;
}

void TestPuzzleFile::exportsFullResolution()
{
    QFETCH(double, Scale);
    TFixture Made;
    Made.Puzzle.Source = QuarterPicture(3000, 2000);
    Made.Puzzle.Scale = Scale;
    Made.Puzzle.Setup(4, 2, 3, false, false, false);
    const TSnapshot Before(Made.Puzzle);
    const QImage Shown = *Made.Puzzle.Display;

    const QString Path = TempPath(QStringLiteral("export-%1.jpg").arg(Scale));
    Made.Puzzle.SaveImageAs(Path);
    const QImage Exported = DecodeJpegBytes(ReadAll(Path));
    QCOMPARE(Exported.size(), QSize(3000, 2000));
    QCOMPARE(Exported.format(), QImage::Format_BGR888);
    VerifyQuarters(Exported);
    QVERIFY(TSnapshot(Made.Puzzle) == Before);
    QVERIFY(*Made.Puzzle.Display == Shown);
}

void TestPuzzleFile::transparentColourIsKept()
{
    // The GIF's yellow quarter is its transparent index: the files keep the yellow, not a background.
    TFixture Made;
    LoadPictureFile(Made.Puzzle.Source, DataFile(QStringLiteral("transparent.gif")));
    QCOMPARE(Made.Puzzle.Source.size(), QSize(160, 120));
    Made.Puzzle.Setup(4, 2, 2, false, false, false);
    const QString Path = TempPath(QStringLiteral("transparent.nbq"));
    Made.Puzzle.SaveToFile(Path);
    const QString Exported = TempPath(QStringLiteral("transparent.jpg"));
    Made.Puzzle.SaveImageAs(Exported);

    const QImage Stored = DecodeJpegBytes(ReadAll(Path).mid(889));
    TFixture Opened;
    QCOMPARE(Opened.Puzzle.LoadFromFile(Path), TLoadResult::Loaded);
    for (const QImage &Picture : {Stored, Opened.Puzzle.Source, DecodeJpegBytes(ReadAll(Exported))}) {
        QCOMPARE(Picture.size(), QSize(160, 120));
        VerifyQuarters(Picture);
    }
}

void TestPuzzleFile::saveReplacesTheLinkItself_data()
{
    QTest::addColumn<bool>("Export");
    QTest::addColumn<bool>("Dangling");
    QTest::newRow("save over a link to a file") << false << false;
    QTest::newRow("save over a link to nothing") << false << true;
    QTest::newRow("export over a link to a file") << true << false;
    QTest::newRow("export over a link to nothing") << true << true;
}

void TestPuzzleFile::saveReplacesTheLinkItself()
{
    QFETCH(bool, Export);
    QFETCH(bool, Dangling);
    const QString Folder = TempPath(QStringLiteral("link-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(Folder + QStringLiteral("/elsewhere")));
    const QString Target = Folder + QStringLiteral("/elsewhere/target");
    if (!Dangling)
        WriteAll(Target, "the target stays as it is");
    const QString Path = Folder + QStringLiteral("/chosen");
    QVERIFY(QFile::link(Target, Path));

    TFixture Made;
    Made.SetUp(QuarterPicture(160, 120), 2, 2);
    if (Export)
        Made.Puzzle.SaveImageAs(Path);
    else
        Made.Puzzle.SaveToFile(Path);

    QCOMPARE(FileType(Path), mode_t(S_IFREG));
    if (Dangling)
        QVERIFY(!QFileInfo::exists(Target));
    else
        QCOMPARE(ReadAll(Target), QByteArray("the target stays as it is"));
    QCOMPARE(ReadAll(Path).left(Export ? 2 : 4), Export ? QByteArray("\xFF\xD8") : QByteArray("\x01\0\0\0", 4));
    QCOMPARE(QDir(Folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList {QStringLiteral("chosen"), QStringLiteral("elsewhere")}));
    if (!Export)
        QCOMPARE(Made.Puzzle.FileName, Path);
}

void TestPuzzleFile::saveRefusesWhatIsNoFile_data()
{
    QTest::addColumn<int>("Kind"); // a TNonRegularFile, or one of the device cases below
    QTest::addColumn<QString>("Reason");
    const QString Pipe = QStringLiteral("It is a named pipe, not a file.");
    const QString Device = QStringLiteral("It is a device, not a file.");
    QTest::newRow("pipe") << int(TNonRegularFile::Fifo) << Pipe;
    QTest::newRow("link to a pipe") << int(TNonRegularFile::FifoLink) << Pipe;
    QTest::newRow("socket") << int(TNonRegularFile::Socket) << QStringLiteral("It is a socket, not a file.");
    QTest::newRow("folder") << int(TNonRegularFile::Folder) << qt_error_string(EISDIR);
    QTest::newRow("device node") << 100 << Device;
    QTest::newRow("link to a device node") << 101 << Device;
}

void TestPuzzleFile::saveRefusesWhatIsNoFile()
{
    QFETCH(int, Kind);
    QFETCH(QString, Reason);
    const QString Folder = TempPath(QStringLiteral("refused-%1").arg(Kind));
    QVERIFY(QDir().mkpath(Folder));
    const QString Path = Folder + QStringLiteral("/chosen");
    // A node of our own, never a system one: a save that went wrong must not cost the machine its /dev/zero.
    if (Kind >= 100) {
        const QString Node = Kind == 100 ? Path : Folder + QStringLiteral("/zero");
        if (::mknod(QFile::encodeName(Node).constData(), S_IFCHR | 0666, makedev(1, 5)) != 0)
            QSKIP("this user cannot make device nodes");
        if (Kind == 101)
            QVERIFY(QFile::link(Node, Path));
    } else {
        QVERIFY(MakeNonRegularFile(TNonRegularFile(Kind), Path));
    }
    const QStringList Entries = QDir(Folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
    const mode_t Type = FileType(Path);

    TFixture Made;
    Made.SetUp(QuarterPicture(160, 120), 2, 2);
    const TSnapshot Before(Made.Puzzle);
    const QString Message = QStringLiteral("Cannot create file \"%1\". %2").arg(Path, Reason);
    QElapsedTimer Clock;
    Clock.start();
    for (bool Export : {false, true}) {
        try {
            if (Export)
                Made.Puzzle.SaveImageAs(Path);
            else
                Made.Puzzle.SaveToFile(Path);
            QFAIL("it was replaced");
        } catch (const TError &E) {
            QCOMPARE(E.Message(), Message);
        }
    }
    QVERIFY(Clock.elapsed() < RefusalMilliseconds);
    QVERIFY(TSnapshot(Made.Puzzle) == Before);
    QCOMPARE(QDir(Folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden), Entries);
    QCOMPARE(FileType(Path), Type);
    if (Kind == 101 || Kind == int(TNonRegularFile::FifoLink)) // and what the link leads to
        QVERIFY(QFileInfo(Path).exists() && !QFileInfo(Path).isFile());
}

void TestPuzzleFile::writesInPlaceWhereTheFolderTakesNoFile_data()
{
    QTest::addColumn<bool>("DiskFull");
    QTest::newRow("room enough") << false;
    QTest::newRow("disk full") << true;
}

void TestPuzzleFile::writesInPlaceWhereTheFolderTakesNoFile()
{
    QFETCH(bool, DiskFull);
    const QString Folder = TempPath(QStringLiteral("in-place-%1").arg(DiskFull));
    QVERIFY(QDir().mkpath(Folder));
    const QString Path = Folder + QStringLiteral("/old.nbq");
    const QByteArray Old = ReadAll(DataFile(QStringLiteral("puzzle-3x4.nbq")));
    WriteAll(Path, Old);
    struct stat Before;
    QCOMPARE(::stat(QFile::encodeName(Path).constData(), &Before), 0);
    QFile::setPermissions(Folder, QFile::ReadOwner | QFile::ExeOwner);
    const auto Restore = qScopeGuard(
        [&] { QFile::setPermissions(Folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });

    TFixture Made;
    Made.SetUp(QuarterPicture(640, 480), 3, 3, 2);
    {
        TNoPermissionOverride NoOverride;
        if (FolderTakesFiles(Folder))
            QSKIP("this user writes into read-only folders");
        std::unique_ptr<TFileSizeLimit> Limit;
        if (DiskFull)
            Limit = std::make_unique<TFileSizeLimit>(500);
        try {
            Made.Puzzle.SaveToFile(Path);
            QVERIFY(!DiskFull);
        } catch (const TError &E) {
            QVERIFY2(DiskFull, qPrintable(E.Message()));
            QCOMPARE(E.Message(), QStringLiteral("Cannot create file \"%1\". %2").arg(Path, qt_error_string(EFBIG)));
        }
    }
    struct stat After;
    QCOMPARE(::stat(QFile::encodeName(Path).constData(), &After), 0);
    QCOMPARE(After.st_ino, Before.st_ino);
    QCOMPARE(QDir(Folder).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("old.nbq")});
    if (DiskFull) {
        QCOMPARE(ReadAll(Path), Old);
        QVERIFY(Made.Puzzle.FileName.isEmpty());
    } else {
        TFixture Opened;
        QCOMPARE(Opened.Puzzle.LoadFromFile(Path), TLoadResult::Loaded);
        QCOMPARE(Opened.Puzzle.Effect, 2);
        QCOMPARE(Opened.Puzzle.Source.size(), QSize(640, 480));
        QCOMPARE(Made.Puzzle.FileName, Path);
    }
}

// Setting up a puzzle draws the "Edit" / "Mode" stamp and the Hidden numbers, which need fonts.
QTEST_MAIN(TestPuzzleFile)
#include "TestPuzzleFile.moc"
