// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of pictures decoded only as large as the view shows them: the reduction chosen, the geometry taken from the
// whole picture, the look against a smooth downscale, and the whole picture decoded when something needs it.
#include "../PuzzleProbe.h"
#include "PuzzleFileFixture.h"

#include <cmath>

using namespace quorra;

namespace {

// An effect made from the plain picture alone, pixel by pixel, with no randomness and no text.
constexpr qint32 Negative = Effect::Negative;

// Fine stripes, a one-pixel checkerboard, gradients and noise: detail that a careless reduction turns to moiré.
QImage detailedPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_BGR888);
    quint32 noise = 12345;
    for (int y = 0; y < height; ++y) {
        uchar *row = picture.scanLine(y);
        for (int x = 0; x < width; ++x, row += 3) {
            noise = noise * 1103515245u + 12345u;
            const int grain = int(noise >> 27) - 16;
            const bool checker = x < width / 3 && ((x + y) & 1);
            const int stripes = x >= width / 3 && x < 2 * width / 3 ? ((x / 2) & 1) * 160 : 0;
            row[0] = uchar(std::clamp(x * 255 / width + grain, 0, 255));
            row[1] = uchar(std::clamp((checker ? 230 : 30) + grain, 0, 255));
            row[2] = uchar(std::clamp(stripes + int(60 * std::sin(y * 0.7)) + 60 + grain, 0, 255));
        }
    }
    return picture;
}

// Mean absolute difference per channel of two pictures of the same size.
double meanDifference(const QImage &a, const QImage &b)
{
    const QImage left = a.convertToFormat(QImage::Format_RGB888);
    const QImage right = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int y = 0; y < left.height(); ++y) {
        const uchar *p = left.constScanLine(y), *q = right.constScanLine(y);
        for (int i = 0; i < left.width() * 3; ++i)
            sum += std::abs(int(p[i]) - int(q[i]));
    }
    return sum / (double(left.width()) * left.height() * 3);
}

} // namespace

class TestPictureReduction : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void decodesWhatTheViewShows_data();
    void decodesWhatTheViewShows();
};

void TestPictureReduction::decodesWhatTheViewShows_data()
{
    QTest::addColumn<bool>("newPuzzle"); // made from a ".jpg" rather than opened from a puzzle file
    QTest::addColumn<QSize>("panel");
    QTest::addColumn<bool>("emptyLines");
    QTest::addColumn<QSize>("decoded");

    QTest::newRow("opened, 1/2") << false << QSize(600, 400) << false << QSize(600, 400);
    QTest::newRow("opened, 1/4") << false << QSize(300, 200) << false << QSize(300, 200);
    QTest::newRow("opened, 1/8") << false << QSize(150, 100) << false << QSize(150, 100);
    QTest::newRow("opened, 1/2, empty row and column") << false << QSize(640, 420) << true << QSize(600, 400);
    QTest::newRow("opened, panel larger than the picture") << false << QSize(1300, 900) << false << QSize(1200, 800);
    QTest::newRow("new, 1/2") << true << QSize(600, 400) << false << QSize(600, 400);
    // A new picture is read before its split is known: the whole panel decides.
    QTest::newRow("new, 1/8, empty row and column") << true << QSize(150, 100) << true << QSize(150, 100);
}

void TestPictureReduction::decodesWhatTheViewShows()
{
    QFETCH(bool, newPuzzle);
    QFETCH(QSize, panel);
    QFETCH(bool, emptyLines);
    QFETCH(QSize, decoded);
    const QSize whole(1200, 800);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char('/'), QLatin1Char('-'));

    // The picture as a JPEG file, and today's way: the whole picture decoded and stretched to the view.
    Fixture made;
    made.setUp(detailedPicture(whole.width(), whole.height()), 3, 3, Negative, false, emptyLines, emptyLines);
    const QString puzzlePath = m_dir.filePath(tag + QStringLiteral(".nbq"));
    made.document.save(puzzlePath);
    const QByteArray stream = made.document.pictureStream();
    const QString picturePath = m_dir.filePath(tag + QStringLiteral(".jpg"));
    writeAll(picturePath, stream);
    const QImage wholeDecoded = decodeJpegBytes(stream);

    Fixture today, reduced;
    reduced.puzzle.setOpenPanel(panel, false);
    if (newPuzzle) {
        today.setUp(wholeDecoded, 3, 3, Negative, false, emptyLines, emptyLines);
        reduced.document.loadPicture(picturePath);
        reduced.document.setUp(Negative, 3, 3, false, emptyLines, emptyLines);
    } else {
        QCOMPARE(today.document.open(puzzlePath).result, LoadResult::Loaded);
        QCOMPARE(reduced.document.open(puzzlePath).result, LoadResult::Loaded);
        today.puzzle.tangle();
        reduced.puzzle.tangle();
    }
    for (Fixture *f : {&today, &reduced})
        f->puzzle.updateFit(panel.width(), panel.height(), false);

    QCOMPARE(reduced.puzzle.source().size(), decoded);
    QCOMPARE(reduced.puzzle.pictureSize(), whole);
    QCOMPARE(reduced.puzzle.scale(), today.puzzle.scale());
    QCOMPARE(reduced.puzzle.cellWidth(), today.puzzle.cellWidth());
    QCOMPARE(reduced.puzzle.cellHeight(), today.puzzle.cellHeight());
    const QImage &plain = PuzzleProbe(reduced.puzzle).plainPicture();
    QCOMPARE(plain.size(), PuzzleProbe(today.puzzle).plainPicture().size());
    const QImage smooth = wholeDecoded.scaled(plain.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double reducedDifference = meanDifference(plain, smooth);
    const double todayDifference = meanDifference(PuzzleProbe(today.puzzle).plainPicture(), smooth);
    QVERIFY2(reducedDifference <= todayDifference,
             qPrintable(QStringLiteral("%1 against today's %2").arg(reducedDifference).arg(todayDifference)));

    // Saving stores the whole picture, as today, and Actual Size shows exactly today's pixels.
    const QString todaySaved = m_dir.filePath(tag + QStringLiteral("-today.nbq"));
    const QString reducedSaved = m_dir.filePath(tag + QStringLiteral("-reduced.nbq"));
    today.document.save(todaySaved);
    reduced.document.save(reducedSaved);
    QCOMPARE(readAll(reducedSaved).mid(PuzzleFile::HeaderSize), readAll(todaySaved).mid(PuzzleFile::HeaderSize));
    today.puzzle.actualSize();
    reduced.puzzle.actualSize();
    QCOMPARE(reduced.puzzle.source().size(), whole);
    QVERIFY(PuzzleProbe(reduced.puzzle).plainPicture() == PuzzleProbe(today.puzzle).plainPicture());
    QVERIFY(PuzzleProbe(reduced.puzzle).concealedPicture() == PuzzleProbe(today.puzzle).concealedPicture());
}

QTEST_MAIN(TestPictureReduction)
#include "TestPictureReduction.moc"
