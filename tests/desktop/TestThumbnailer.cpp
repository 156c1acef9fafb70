// Tests of the thumbnailer: puzzle files drawn concealed and never as the photograph; damaged files refused.
#include "Effects.h"
#include "TPuzzle.h"
#include "TThumbnailer.h"
#include "WorkingBitmap.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

namespace {

// The photograph is made of these alone. No concealment can produce them: the paper texture, its inversion on
// the grid lines, the black numbers and the mid tones of Obscure all lie far from every one of them.
const QList<QRgb> PhotoColours = {qRgb(255, 0, 0), qRgb(0, 255, 0),   qRgb(0, 0, 255),
                                  qRgb(255, 255, 0), qRgb(255, 0, 255), qRgb(0, 255, 255)};

// Channels further apart than this are told apart even after the JPEG round trip of the stored picture.
constexpr int Closeness = 64;

bool Near(QRgb A, QRgb B)
{
    return std::abs(qRed(A) - qRed(B)) <= Closeness && std::abs(qGreen(A) - qGreen(B)) <= Closeness
        && std::abs(qBlue(A) - qBlue(B)) <= Closeness;
}

// Where the thumbnail shows a photograph colour, or (-1, -1) when it shows none.
QPoint PhotoPixel(const QImage &Image)
{
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            for (const QRgb Colour : PhotoColours)
                if (Near(Image.pixel(x, y), Colour))
                    return QPoint(x, y);
    return QPoint(-1, -1);
}

// Diagonal bands of the photograph colours, not lined up with any cell, so every cell holds several of them.
QImage Photograph(QSize Size)
{
    QImage Image(Size, WorkingFormat);
    for (int y = 0; y < Size.height(); ++y)
        for (int x = 0; x < Size.width(); ++x)
            Image.setPixel(x, y, PhotoColours.at((x / 37 + y / 29) % PhotoColours.size()));
    return Image;
}

QString MakePuzzle(const QString &Path, QSize PictureSize, qint32 Effect, int Rows, int Cols, bool Semi,
                   bool ExtraRow, bool ExtraCol)
{
    QImage Display;
    TPuzzle Puzzle(&Display, &ConcealmentTexture());
    Puzzle.Source = Photograph(PictureSize);
    // The file keeps the picture at its own size; a small scale only keeps the set-up quick.
    Puzzle.Scale = std::min(1.0, 400.0 / std::max(PictureSize.width(), PictureSize.height()));
    Puzzle.Setup(Effect, Rows, Cols, Semi, ExtraRow, ExtraCol);
    Puzzle.SaveToFile(Path);
    return Path;
}

struct TRun
{
    QProcess::ExitStatus Status;
    int Code;
};

TRun RunThumbnailer(const QStringList &Arguments)
{
    QProcess Process;
    Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Process.start(QStringLiteral(QUORRA_THUMBNAILER), Arguments);
    if (!Process.waitForFinished(60000)) {
        Process.kill();
        Process.waitForFinished();
        return {QProcess::CrashExit, -1};
    }
    return {Process.exitStatus(), Process.exitCode()};
}

} // namespace

class TestThumbnailer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir FFolder;

    QString Scratch(const QString &Name) const { return FFolder.filePath(Name); }

private slots:
    void initTestCase()
    {
        QVERIFY(FFolder.isValid());
        // Without this the colour test below would prove nothing.
        QImage Texture = ConcealmentTexture().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(PhotoPixel(Texture), QPoint(-1, -1));
        Texture.invertPixels();
        QCOMPARE(PhotoPixel(Texture), QPoint(-1, -1));
    }

    void concealed_data()
    {
        QTest::addColumn<qint32>("Effect");
        QTest::addColumn<int>("Rows");
        QTest::addColumn<int>("Cols");
        QTest::addColumn<bool>("Semi");
        QTest::addColumn<bool>("ExtraRow");
        QTest::addColumn<bool>("ExtraCol");
        QTest::addColumn<qint32>("Shown");

        QTest::newRow("obscure 3x3") << qint32(Effect::Obscure) << 3 << 3 << false << false << false << qint32(Effect::Obscure);
        QTest::newRow("dark 2x4") << qint32(Effect::Dark) << 2 << 4 << false << false << false << qint32(Effect::TopSecret);
        QTest::newRow("transparent 4x2")
            << qint32(Effect::Transparent) << 4 << 2 << false << false << false << qint32(Effect::TopSecret);
        QTest::newRow("negative 3x3 semi-effect")
            << qint32(Effect::Negative) << 3 << 3 << true << false << false << qint32(Effect::TopSecret);
        QTest::newRow("hidden 2x2 empty row and column")
            << qint32(Effect::Hidden) << 2 << 2 << false << true << true << qint32(Effect::Hidden);
        QTest::newRow("hidden 4x4 semi-effect")
            << qint32(Effect::Hidden) << 4 << 4 << true << false << false << qint32(Effect::Hidden);
        QTest::newRow("top secret 3x2 empty column")
            << qint32(Effect::TopSecret) << 3 << 2 << false << false << true << qint32(Effect::TopSecret);
        QTest::newRow("low resolution 3x3")
            << qint32(Effect::LowResolution) << 3 << 3 << false << false << false << qint32(Effect::TopSecret);
        QTest::newRow("code 7 conceals nothing")
            << qint32(7) << 3 << 3 << false << false << false << qint32(Effect::TopSecret);
        QTest::newRow("code -1 conceals nothing")
            << qint32(-1) << 2 << 3 << false << true << false << qint32(Effect::TopSecret);
    }

    // Whatever the stored effect, no pixel of the photograph reaches the thumbnail; the effects that would let
    // some through are shown as the plain texture, with the grid lines of every cell.
    void concealed()
    {
        QFETCH(qint32, Effect);
        QFETCH(int, Rows);
        QFETCH(int, Cols);
        QFETCH(bool, Semi);
        QFETCH(bool, ExtraRow);
        QFETCH(bool, ExtraCol);
        QFETCH(qint32, Shown);
        QCOMPARE(TThumbnailer::ShownEffect(Effect), Shown);

        const QSize Picture(640, 480);
        const QString Path = MakePuzzle(Scratch(QStringLiteral("concealed.nbq")), Picture, Effect, Rows, Cols, Semi,
                                        ExtraRow, ExtraCol);
        const QImage Thumbnail = TThumbnailer::Render(Path, 128).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!Thumbnail.isNull());
        QVERIFY(Thumbnail.width() <= 128 && Thumbnail.height() <= 128);
        QCOMPARE(PhotoPixel(Thumbnail), QPoint(-1, -1));

        const int TotalCols = Cols + (ExtraCol ? 1 : 0);
        const int TotalRows = Rows + (ExtraRow ? 1 : 0);
        QCOMPARE(Thumbnail.width() % TotalCols, 0);
        QCOMPARE(Thumbnail.height() % TotalRows, 0);
        const int CellWidth = Thumbnail.width() / TotalCols;
        const int CellHeight = Thumbnail.height() / TotalRows;

        const QString TextureOnly = MakePuzzle(Scratch(QStringLiteral("texture.nbq")), Picture, Effect::TopSecret, Rows,
                                               Cols, false, ExtraRow, ExtraCol);
        const QImage Texture = TThumbnailer::Render(TextureOnly, 128).convertToFormat(QImage::Format_RGB32);
        if (Shown == Effect::TopSecret) {
            QCOMPARE(Thumbnail, Texture);
            // The top-left cell: its own copy of the texture, its one-pixel border inverted.
            const QImage Paper = ConcealmentTexture().convertToFormat(QImage::Format_RGB32);
            for (int y = 1; y < std::min(CellHeight, Paper.height()) - 1; ++y) {
                QCOMPARE(Thumbnail.pixel(0, y), qRgb(255 - qRed(Paper.pixel(0, y)), 255 - qGreen(Paper.pixel(0, y)),
                                                     255 - qBlue(Paper.pixel(0, y))));
                QCOMPARE(Thumbnail.pixel(1, y), Paper.pixel(1, y));
            }
        } else if (Shown == Effect::Obscure) {
            // The flattened mid tones, and their inversion on the grid lines, stay within 96 to 159.
            for (int y = 0; y < Thumbnail.height(); ++y)
                for (int x = 0; x < Thumbnail.width(); ++x) {
                    const QRgb P = Thumbnail.pixel(x, y);
                    for (const int C : {qRed(P), qGreen(P), qBlue(P)})
                        QVERIFY2(C >= 96 && C <= 159, qPrintable(QStringLiteral("at %1, %2").arg(x).arg(y)));
                }
        } else {
            // The Hidden numbers: dark glyphs on the paper, which the texture alone does not have.
            QVERIFY(Thumbnail != Texture);
            int Dark = 0;
            for (int y = 1; y < CellHeight - 1; ++y)
                for (int x = 1; x < CellWidth - 1; ++x)
                    Dark += qGray(Thumbnail.pixel(x, y)) < 40;
            QVERIFY(Dark > 0);
        }
    }

    void fits_data()
    {
        QTest::addColumn<QSize>("Picture");
        QTest::addColumn<int>("Rows");
        QTest::addColumn<int>("Cols");
        QTest::addColumn<bool>("ExtraCol");
        QTest::addColumn<int>("Size");

        QTest::newRow("landscape at 128") << QSize(640, 480) << 3 << 3 << false << 128;
        QTest::newRow("portrait with an empty column at 256") << QSize(480, 640) << 2 << 4 << true << 256;
        QTest::newRow("panorama at 64") << QSize(3000, 100) << 2 << 2 << false << 64;
        QTest::newRow("small picture grown to 256") << QSize(30, 20) << 2 << 2 << false << 256;
        QTest::newRow("12 megapixels at 256") << QSize(4000, 3000) << 4 << 4 << false << 256;
        QTest::newRow("one pixel") << QSize(640, 480) << 4 << 4 << true << 1;
        QTest::newRow("16 pixels") << QSize(640, 480) << 3 << 3 << false << 16;
    }

    // The whole grid fits into Size x Size and fills it along its longer side, with the puzzle's proportions.
    void fits()
    {
        QFETCH(QSize, Picture);
        QFETCH(int, Rows);
        QFETCH(int, Cols);
        QFETCH(bool, ExtraCol);
        QFETCH(int, Size);

        const QString Path =
            MakePuzzle(Scratch(QStringLiteral("fit.nbq")), Picture, Effect::Hidden, Rows, Cols, false, false, ExtraCol);
        const QImage Thumbnail = TThumbnailer::Render(Path, Size);
        QVERIFY(Thumbnail.width() >= 1 && Thumbnail.width() <= Size);
        QVERIFY(Thumbnail.height() >= 1 && Thumbnail.height() <= Size);
        if (Size < 64)
            return;
        const int TotalCols = Cols + (ExtraCol ? 1 : 0);
        QVERIFY(std::max(Thumbnail.width(), Thumbnail.height()) > Size - std::max(TotalCols, Rows));
        const double Expected = double(Picture.width()) * TotalCols / Cols / Picture.height();
        const double Actual = double(Thumbnail.width()) / Thumbnail.height();
        // Cells are whole pixels at least one high, so a thin panorama keeps its shape only roughly.
        QVERIFY2(std::abs(Actual - Expected) / Expected < (Picture.height() < 200 ? 0.5 : 0.05),
                 qPrintable(QStringLiteral("%1 x %2").arg(Thumbnail.width()).arg(Thumbnail.height())));
    }

    void program_data()
    {
        QTest::addColumn<QStringList>("Arguments");
        QTest::addColumn<bool>("Succeeds");

        const QString Out = Scratch(QStringLiteral("out.png"));
        QTest::newRow("sample puzzle") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), Out, "128"} << true;
        QTest::newRow("file address") << QStringList{QUrl::fromLocalFile(QUORRA_SAMPLE_PUZZLE).toString(), Out, "64"}
                                      << true;
        QTest::newRow("missing file") << QStringList{Scratch(QStringLiteral("none.nbq")), Out, "128"} << false;
        QTest::newRow("a folder") << QStringList{FFolder.path(), Out, "128"} << false;
        QTest::newRow("size not a number") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), Out, "big"} << false;
        QTest::newRow("size zero") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), Out, "0"} << false;
        QTest::newRow("size negative") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), Out, "-5"} << false;
        QTest::newRow("size too large") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), Out, "99999"} << false;
        QTest::newRow("output folder missing")
            << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), Scratch(QStringLiteral("no/out.png")), "128"}
            << false;
        QTest::newRow("too few arguments") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), Out} << false;
    }

    // The program as file managers run it: a PNG on success, otherwise a failure code and no file.
    void program()
    {
        QFETCH(QStringList, Arguments);
        QFETCH(bool, Succeeds);
        if (Succeeds && !QFile::exists(QStringLiteral(QUORRA_SAMPLE_PUZZLE)))
            QSKIP("the sample puzzle has not been made");
        const QString Out = Arguments.size() > 1 ? Arguments.at(1) : Scratch(QStringLiteral("out.png"));
        QFile::remove(Out);

        const TRun Run = RunThumbnailer(Arguments);
        QCOMPARE(Run.Status, QProcess::NormalExit);
        QCOMPARE(Run.Code == 0, Succeeds);
        QCOMPARE(QFile::exists(Out), Succeeds);
        if (Succeeds) {
            const QImage Image(Out, "PNG");
            QVERIFY(!Image.isNull());
            QVERIFY(Image.width() <= Arguments.at(2).toInt() && Image.height() <= Arguments.at(2).toInt());
        }
    }

    // A disk that fills up while the thumbnail is written: a failure and no file, never a cut-short PNG. A
    // file-size limit stands in for the full disk, since root is not stopped by permissions.
    void diskFull()
    {
        QImage Noise(256, 256, QImage::Format_RGB32);
        quint32 Seed = 12345;
        for (int y = 0; y < Noise.height(); ++y)
            for (int x = 0; x < Noise.width(); ++x) {
                Seed = Seed * 1664525u + 1013904223u;
                Noise.setPixel(x, y, Seed >> 8);
            }
        const QString Out = Scratch(QStringLiteral("full.png"));
        QFile::remove(Out);

        rlimit Before;
        getrlimit(RLIMIT_FSIZE, &Before);
        const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit Limited = Before;
        Limited.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &Limited);
        const bool Written = TThumbnailer::WritePng(Noise, Out);
        setrlimit(RLIMIT_FSIZE, &Before);
        std::signal(SIGXFSZ, OldHandler);

        QVERIFY(!Written);
        QVERIFY(!QFile::exists(Out));
    }

    // A puzzle of a thousand empty scans over 8192 x 8192 pixels (each scan a pass over all of them) is refused
    // after a bounded number of scans, in a fraction of the time they would all take.
    void scanBomb()
    {
        const QString Png = Scratch(QStringLiteral("bomb.png"));
        QElapsedTimer Timer;
        Timer.start();
        const TRun Run = RunThumbnailer({QStringLiteral(QUORRA_TEST_DATA "/picture-scan-bomb.nbq"), Png, "128"});
        QVERIFY2(Timer.elapsed() < 5000, qPrintable(QString::number(Timer.elapsed())));
        QCOMPARE(Run.Status, QProcess::NormalExit);
        QCOMPARE(Run.Code, 1);
        QVERIFY(!QFile::exists(Png));
    }

    void testData_data()
    {
        QTest::addColumn<QString>("Path");
        const QFileInfoList Files =
            QDir(QStringLiteral(QUORRA_TEST_DATA)).entryInfoList({QStringLiteral("*.nbq")}, QDir::Files, QDir::Name);
        QVERIFY(!Files.isEmpty());
        for (const QFileInfo &File : Files)
            QTest::newRow(qPrintable(File.fileName())) << File.absoluteFilePath();
    }

    // Every odd or damaged puzzle file of the test data: no crash, and either a proper thumbnail (the files
    // the program itself opens) or a failure code with no file at all.
    void testData()
    {
        QFETCH(QString, Path);
        const QString Out = Scratch(QStringLiteral("data.png"));
        QFile::remove(Out);

        const TRun Run = RunThumbnailer({Path, Out, QStringLiteral("96")});
        QCOMPARE(Run.Status, QProcess::NormalExit);
        if (Run.Code != 0) {
            QVERIFY(!QFile::exists(Out));
            return;
        }
        const QImage Image(Out, "PNG");
        QVERIFY(!Image.isNull());
        QVERIFY(Image.width() <= 96 && Image.height() <= 96);
    }
};

QTEST_MAIN(TestThumbnailer)
#include "TestThumbnailer.moc"
