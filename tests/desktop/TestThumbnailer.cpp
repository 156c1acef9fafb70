// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the thumbnailer: puzzle files drawn concealed and never as the photograph; damaged files refused.
#include "../HostileJpeg.h"
#include "../PuzzleProbe.h"
#include "Effects.h"
#include "PictureLoader.h"
#include "Puzzle.h"
#include "PuzzleDocument.h"
#include "PuzzleFile.h"
#include "Thumbnailer.h"
#include "UserError.h"
#include "WorkingBitmap.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

using namespace quorra;

namespace {

// The photograph is made of these alone. No concealment can produce them: the paper texture, its inversion on
// the grid lines, the black numbers and the mid tones of Obscure all lie far from every one of them.
const QList<QRgb> PhotoColours = {qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(0, 0, 255),
                                  qRgb(255, 255, 0), qRgb(255, 0, 255), qRgb(0, 255, 255)};

// Channels further apart than this are told apart even after the JPEG round trip of the stored picture.
constexpr int Closeness = 64;

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= Closeness && std::abs(qGreen(a) - qGreen(b)) <= Closeness
           && std::abs(qBlue(a) - qBlue(b)) <= Closeness;
}

// Where the thumbnail shows a photograph colour, or (-1, -1) when it shows none.
QPoint photoPixel(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            for (const QRgb colour : PhotoColours)
                if (near(image.pixel(x, y), colour))
                    return QPoint(x, y);
    return QPoint(-1, -1);
}

// Diagonal bands of the photograph colours, not lined up with any cell, so every cell holds several of them.
QImage photograph(QSize size)
{
    QImage image(size, WorkingFormat);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, PhotoColours.at((x / 37 + y / 29) % PhotoColours.size()));
    return image;
}

QString makePuzzle(const QString &path, QSize pictureSize, qint32 effect, int rows, int cols, bool semi, bool extraRow,
                   bool extraCol)
{
    QImage display;
    PuzzleDocument document(&display, &concealmentTexture());
    document.setPicture(photograph(pictureSize));
    // The file keeps the picture at its own size; a small scale only keeps the set-up quick.
    PuzzleProbe(document.puzzle()).setScale(std::min(1.0, 400.0 / std::max(pictureSize.width(), pictureSize.height())));
    document.setUp(effect, rows, cols, semi, extraRow, extraCol);
    document.save(path);
    return path;
}

struct Run {
    QProcess::ExitStatus status;
    int code;
};

// What a thumbnailer may hold at its peak. AddressSanitizer's shadow memory and quarantine add a couple of hundred
// megabytes to any run; the bound still tells a refusal from a decode of gigabytes.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 MaxThumbnailerMemory = qint64(600) * 1024 * 1024;
#else
constexpr qint64 MaxThumbnailerMemory = qint64(200) * 1024 * 1024;
#endif

// The largest memory any child process has taken so far.
qint64 largestChildMemory()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

Run runThumbnailer(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(QUORRA_THUMBNAILER), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {QProcess::CrashExit, -1};
    }
    return {process.exitStatus(), process.exitCode()};
}

} // namespace

class TestThumbnailer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    QString scratch(const QString &name) const { return m_folder.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        // Without this the colour test below would prove nothing.
        QImage texture = concealmentTexture().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(photoPixel(texture), QPoint(-1, -1));
        texture.invertPixels();
        QCOMPARE(photoPixel(texture), QPoint(-1, -1));
    }

    void concealed_data()
    {
        QTest::addColumn<qint32>("effect");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<bool>("semi");
        QTest::addColumn<bool>("extraRow");
        QTest::addColumn<bool>("extraCol");
        QTest::addColumn<qint32>("shown");

        QTest::newRow("obscure 3x3") << qint32(Effect::Obscure) << 3 << 3 << false << false << false
                                     << qint32(Effect::Obscure);
        QTest::newRow("dark 2x4") << qint32(Effect::Dark) << 2 << 4 << false << false << false
                                  << qint32(Effect::TopSecret);
        QTest::newRow("transparent 4x2") << qint32(Effect::Transparent) << 4 << 2 << false << false << false
                                         << qint32(Effect::TopSecret);
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
        QFETCH(qint32, effect);
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(bool, semi);
        QFETCH(bool, extraRow);
        QFETCH(bool, extraCol);
        QFETCH(qint32, shown);
        QCOMPARE(Thumbnailer::shownEffect(effect), shown);

        const QSize picture(640, 480);
        const QString path =
            makePuzzle(scratch(QStringLiteral("concealed.nbq")), picture, effect, rows, cols, semi, extraRow, extraCol);
        const QImage thumbnail = Thumbnailer::render(path, 128).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!thumbnail.isNull());
        QVERIFY(thumbnail.width() <= 128 && thumbnail.height() <= 128);
        QCOMPARE(photoPixel(thumbnail), QPoint(-1, -1));

        const int totalCols = cols + (extraCol ? 1 : 0);
        const int totalRows = rows + (extraRow ? 1 : 0);
        QCOMPARE(thumbnail.width() % totalCols, 0);
        QCOMPARE(thumbnail.height() % totalRows, 0);
        const int cellWidth = thumbnail.width() / totalCols;
        const int cellHeight = thumbnail.height() / totalRows;

        const QString textureOnly = makePuzzle(scratch(QStringLiteral("texture.nbq")), picture, Effect::TopSecret, rows,
                                               cols, false, extraRow, extraCol);
        const QImage texture = Thumbnailer::render(textureOnly, 128).convertToFormat(QImage::Format_RGB32);
        if (shown == Effect::TopSecret) {
            QCOMPARE(thumbnail, texture);
            // The top-left cell: its own copy of the texture, its one-pixel border inverted.
            const QImage paper = concealmentTexture().convertToFormat(QImage::Format_RGB32);
            for (int y = 1; y < std::min(cellHeight, paper.height()) - 1; ++y) {
                QCOMPARE(thumbnail.pixel(0, y), qRgb(255 - qRed(paper.pixel(0, y)), 255 - qGreen(paper.pixel(0, y)),
                                                     255 - qBlue(paper.pixel(0, y))));
                QCOMPARE(thumbnail.pixel(1, y), paper.pixel(1, y));
            }
        } else if (shown == Effect::Obscure) {
            // The flattened mid tones, and their inversion on the grid lines, stay within 96 to 159.
            for (int y = 0; y < thumbnail.height(); ++y)
                for (int x = 0; x < thumbnail.width(); ++x) {
                    const QRgb p = thumbnail.pixel(x, y);
                    for (const int c : {qRed(p), qGreen(p), qBlue(p)})
                        QVERIFY2(c >= 96 && c <= 159, qPrintable(QStringLiteral("at %1, %2").arg(x).arg(y)));
                }
        } else {
            // The Hidden numbers: dark glyphs on the paper, which the texture alone does not have.
            QVERIFY(thumbnail != texture);
            int dark = 0;
            for (int y = 1; y < cellHeight - 1; ++y)
                for (int x = 1; x < cellWidth - 1; ++x)
                    dark += qGray(thumbnail.pixel(x, y)) < 40;
            QVERIFY(dark > 0);
        }
    }

    void fits_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<bool>("extraCol");
        QTest::addColumn<int>("size");

        QTest::newRow("landscape at 128") << QSize(640, 480) << 3 << 3 << false << 128;
        QTest::newRow("portrait with an empty column at 256") << QSize(480, 640) << 2 << 4 << true << 256;
        QTest::newRow("panorama at 64") << QSize(3000, 100) << 2 << 2 << false << 64;
        QTest::newRow("small picture grown to 256") << QSize(30, 20) << 2 << 2 << false << 256;
        QTest::newRow("12 megapixels at 256") << QSize(4000, 3000) << 4 << 4 << false << 256;
        QTest::newRow("one pixel") << QSize(640, 480) << 4 << 4 << true << 1;
        QTest::newRow("16 pixels") << QSize(640, 480) << 3 << 3 << false << 16;
    }

    // The whole grid fits into size x size and fills it along its longer side, with the puzzle's proportions.
    void fits()
    {
        QFETCH(QSize, picture);
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(bool, extraCol);
        QFETCH(int, size);

        const QString path =
            makePuzzle(scratch(QStringLiteral("fit.nbq")), picture, Effect::Hidden, rows, cols, false, false, extraCol);
        const QImage thumbnail = Thumbnailer::render(path, size);
        QVERIFY(thumbnail.width() >= 1 && thumbnail.width() <= size);
        QVERIFY(thumbnail.height() >= 1 && thumbnail.height() <= size);
        if (size < 64)
            return;
        const int totalCols = cols + (extraCol ? 1 : 0);
        QVERIFY(std::max(thumbnail.width(), thumbnail.height()) > size - std::max(totalCols, rows));
        const double expected = double(picture.width()) * totalCols / cols / picture.height();
        const double actual = double(thumbnail.width()) / thumbnail.height();
        // Cells are whole pixels at least one high, so a thin panorama keeps its shape only roughly.
        QVERIFY2(std::abs(actual - expected) / expected < (picture.height() < 200 ? 0.5 : 0.05),
                 qPrintable(QStringLiteral("%1 x %2").arg(thumbnail.width()).arg(thumbnail.height())));
    }

    void program_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("succeeds");

        const QString out = scratch(QStringLiteral("out.png"));
        QTest::newRow("sample puzzle") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), out, "128"} << true;
        QTest::newRow("file address") << QStringList{QUrl::fromLocalFile(QUORRA_SAMPLE_PUZZLE).toString(), out, "64"}
                                      << true;
        QTest::newRow("missing file") << QStringList{scratch(QStringLiteral("none.nbq")), out, "128"} << false;
        QTest::newRow("a folder") << QStringList{m_folder.path(), out, "128"} << false;
        QTest::newRow("size not a number") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), out, "big"} << false;
        QTest::newRow("size zero") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), out, "0"} << false;
        QTest::newRow("size negative") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), out, "-5"} << false;
        QTest::newRow("size too large") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), out, "99999"} << false;
        QTest::newRow("output folder missing")
            << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), scratch(QStringLiteral("no/out.png")), "128"} << false;
        QTest::newRow("too few arguments") << QStringList{QStringLiteral(QUORRA_SAMPLE_PUZZLE), out} << false;
    }

    // The program as file managers run it: a PNG on success, otherwise a failure code and no file.
    void program()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, succeeds);
        if (succeeds && !QFile::exists(QStringLiteral(QUORRA_SAMPLE_PUZZLE)))
            QSKIP("the sample puzzle has not been made");
        const QString out = arguments.size() > 1 ? arguments.at(1) : scratch(QStringLiteral("out.png"));
        QFile::remove(out);

        const Run run = runThumbnailer(arguments);
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.code == 0, succeeds);
        QCOMPARE(QFile::exists(out), succeeds);
        if (succeeds) {
            const QImage image(out, "PNG");
            QVERIFY(!image.isNull());
            QVERIFY(image.width() <= arguments.at(2).toInt() && image.height() <= arguments.at(2).toInt());
        }
    }

    // A disk that fills up while the thumbnail is written: a failure and no file, never a cut-short PNG. A
    // file-size limit stands in for the full disk, since root is not stopped by permissions.
    void diskFull()
    {
        QImage noise(256, 256, QImage::Format_RGB32);
        quint32 seed = 12345;
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x) {
                seed = seed * 1664525u + 1013904223u;
                noise.setPixel(x, y, seed >> 8);
            }
        const QString out = scratch(QStringLiteral("full.png"));
        QFile::remove(out);

        rlimit before;
        getrlimit(RLIMIT_FSIZE, &before);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = before;
        limited.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &limited);
        const bool written = Thumbnailer::writePng(noise, out);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!written);
        QVERIFY(!QFile::exists(out));
    }

    // A puzzle of a thousand empty scans over 8192 x 8192 pixels (each scan a pass over all of them) is refused
    // after a bounded number of scans, in a fraction of the time they would all take.
    void scanBomb()
    {
        const QString png = scratch(QStringLiteral("bomb.png"));
        QElapsedTimer timer;
        timer.start();
        const Run run = runThumbnailer({QStringLiteral(QUORRA_TEST_DATA "/picture-scan-bomb.nbq"), png, "128"});
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.code, 1);
        QVERIFY(!QFile::exists(png));
    }

    // A puzzle whose picture is a progressive stream declaring half a gigabyte of coefficients: a thumbnail
    // never takes that much, however the program itself would open the file.
    void coefficientBomb()
    {
        QFile header(QStringLiteral(QUORRA_TEST_DATA "/puzzle-3x4.nbq"));
        QFile picture(QStringLiteral(QUORRA_TEST_DATA "/huge-progressive.jpg"));
        QVERIFY(header.open(QIODevice::ReadOnly) && picture.open(QIODevice::ReadOnly));
        const QString path = scratch(QStringLiteral("coefficients.nbq"));
        QFile bomb(path);
        QVERIFY(bomb.open(QIODevice::WriteOnly));
        bomb.write(header.read(PuzzleFile::HeaderSize) + picture.readAll());
        bomb.close();
        try {
            Thumbnailer::render(path, 128);
            QFAIL("a thumbnail was drawn");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), notEnoughMemoryText());
        }
    }

    // Every byte of a puzzle that came by mail is hostile: whatever its picture holds, a thumbnail costs what a
    // thumbnail costs, and a picture that needs more gets none.
    void hostilePicture_data()
    {
        QTest::addColumn<QString>("path");
        QFile puzzle(QStringLiteral(QUORRA_TEST_DATA "/puzzle-3x4.nbq"));
        QVERIFY(puzzle.open(QIODevice::ReadOnly));
        const QByteArray header = puzzle.read(PuzzleFile::HeaderSize);
        QFile colour(QStringLiteral(QUORRA_TEST_DATA "/colour-420.jpg"));
        QVERIFY(colour.open(QIODevice::ReadOnly));
        const QByteArray picture = colour.readAll();
        // Head, then Gap zeros as a hole in a sparse file and an end-of-image marker, when Gap is given.
        auto write = [this, &header](const QString &name, const QByteArray &head, qint64 gap = 0) {
            QFile file(scratch(name));
            if (!file.open(QIODevice::WriteOnly) || file.write(header + head) != header.size() + head.size()
                || (gap > 0 && (!file.seek(file.pos() + gap) || file.write("\xff\xd9") != 2)))
                return QString();
            return file.fileName();
        };

        QTest::newRow("2 GB of zeros before the end")
            << write(QStringLiteral("zeros.nbq"), picture.chopped(2), qint64(2) << 30);
        // 200 MB of coefficients, which a puzzle that the program itself opens may well need.
        QTest::newRow("over the memory bound")
            << write(QStringLiteral("memory.nbq"), emptyProgressive(10000, 10000, 1));
        // A gigabyte of coefficients of ten bits over a quarter of a gigapixel: much picture data, legitimately,
        // and seconds of work.
        QTest::newRow("a gigabyte of picture data")
            << write(QStringLiteral("busy.nbq"), busyBaseline(16384, 16384, 3), qint64(1) << 30);
    }

    void hostilePicture()
    {
        QFETCH(QString, path);
        QVERIFY(!path.isEmpty());
        const QString png = scratch(QStringLiteral("hostile.png"));
        QFile::remove(png);
        QElapsedTimer timer;
        timer.start();
        const Run run = runThumbnailer({path, png, "128"});
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.code, 1);
        QVERIFY(!QFile::exists(png));
        QVERIFY2(largestChildMemory() < MaxThumbnailerMemory, qPrintable(QString::number(largestChildMemory())));
        QFile::remove(path);
    }

    void testData_data()
    {
        QTest::addColumn<QString>("path");
        const QFileInfoList files =
            QDir(QStringLiteral(QUORRA_TEST_DATA)).entryInfoList({QStringLiteral("*.nbq")}, QDir::Files, QDir::Name);
        QVERIFY(!files.isEmpty());
        for (const QFileInfo &file : files)
            QTest::newRow(qPrintable(file.fileName())) << file.absoluteFilePath();
    }

    // Every odd or damaged puzzle file of the test data: no crash, and either a proper thumbnail (the files
    // the program itself opens) or a failure code with no file at all.
    void testData()
    {
        QFETCH(QString, path);
        const QString out = scratch(QStringLiteral("data.png"));
        QFile::remove(out);

        const Run run = runThumbnailer({path, out, QStringLiteral("96")});
        QCOMPARE(run.status, QProcess::NormalExit);
        if (run.code != 0) {
            QVERIFY(!QFile::exists(out));
            return;
        }
        const QImage image(out, "PNG");
        QVERIFY(!image.isNull());
        QVERIFY(image.width() <= 96 && image.height() <= 96);
    }
};

QTEST_MAIN(TestThumbnailer)
#include "TestThumbnailer.moc"
