// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's concealed cells for a puzzle file and given decoded pixels, for the browser tests to compare with.
//
// desktop-cells PUZZLE.nbq DECODED.png PANEL_WIDTH PANEL_HEIGHT SEED OUT.ppm
//
// The puzzle is opened as the window opens one (fitted to the panel, drawn and concealed by the puzzle object), on
// the decoded pixels instead of its own JPEG decoding, the generator's clock fixed at Seed. Its concealed picture,
// every cell at its home, is written as a binary PPM; the cells' size goes to standard output.
#include "../PuzzleProbe.h"
#include "Puzzle.h"
#include "StoredPuzzle.h"
#include "WorkingBitmap.h"
#include "core/Lcg.h"
#include "core/PuzzleHeader.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

using namespace quorra;

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s PUZZLE.nbq DECODED.png PANEL_WIDTH PANEL_HEIGHT SEED OUT.ppm\n", argv[0]);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray bytes = file.readAll();
    const auto header = readPuzzleHeader(
        std::span(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())));
    const QImage decoded(QString::fromLocal8Bit(argv[2]));
    if (!std::holds_alternative<PuzzleHeader>(header) || decoded.isNull()) {
        std::fprintf(stderr, "the puzzle or the decoded picture cannot be read\n");
        return 1;
    }
    const PuzzleHeader &h = std::get<PuzzleHeader>(header);
    const std::uint32_t seed = std::uint32_t(std::strtoul(argv[5], nullptr, 10));
    Lcg::setTestClock([seed] { return seed; });

    QImage display;
    Puzzle puzzle(&display, &concealmentTexture());
    puzzle.setOpenPanel(QSize(std::atoi(argv[3]), std::atoi(argv[4])), true);
    puzzle.adopt(StoredPuzzle{h.version, h.effect, h.semiEffect, h.grid, decoded.convertToFormat(QImage::Format_RGB32),
                              QSize(), QByteArray()});
    puzzle.rebuild();

    const QImage concealed = PuzzleProbe(puzzle).concealedPicture().convertToFormat(QImage::Format_RGB888);
    QFile out(QString::fromLocal8Bit(argv[6]));
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    out.write(QStringLiteral("P6\n%1 %2\n255\n").arg(concealed.width()).arg(concealed.height()).toLatin1());
    for (int y = 0; y < concealed.height(); ++y)
        out.write(reinterpret_cast<const char *>(concealed.constScanLine(y)), qsizetype(concealed.width()) * 3);
    std::printf("%d %d\n", puzzle.cellWidth(), puzzle.cellHeight());
    return out.error() == QFile::NoError ? 0 : 1;
}
