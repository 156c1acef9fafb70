// Draws a puzzle file as file managers show it: the concealed grid, never the photograph.
#include "Thumbnailer.h"

#include "Effects.h"
#include "RegularFile.h"
#include "UserError.h"
#include "Puzzle.h"
#include "PuzzleFile.h"
#include "WorkingBitmap.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>

QImage Thumbnailer::render(const QString &path, int size)
{
    if (size < 1 || size > MaxSize)
        throw UserError(QStringLiteral("The thumbnail size %1 is outside 1 to %2.").arg(size).arg(MaxSize));

    // Read here rather than by opening the puzzle: the picture is decoded only as large as the thumbnail needs
    // (a photograph of many megapixels costs a fraction of its memory and time), and nothing is tangled.
    const QFileInfo info(path);
    if (!info.exists())
        throw UserError(QStringLiteral("There is no puzzle file \"%1\".").arg(path));
    // Anything else (a FIFO, a device) could block the open or never end.
    QFile file;
    const QString refused = openRegularFile(file, path);
    if (!refused.isEmpty())
        throw UserError(QStringLiteral("Cannot open file \"%1\". %2").arg(info.absoluteFilePath(), refused));
    PuzzleFile stored;
    if (!stored.read(file, info.absoluteFilePath(), QSize(size, size)))
        throw UserError(QStringLiteral("The puzzle file \"%1\" needs a newer version of Quorra.").arg(path));
    file.close();

    QImage display;
    Puzzle puzzle(&display, &concealmentTexture());
    stored.applyTo(puzzle);

    const TileGrid &body = puzzle.body;
    const int width = puzzle.source.width();
    const int height = puzzle.source.height();
    if (width <= 0 || height <= 0 || body.cols <= 0 || body.rows <= 0)
        throw UserError(QStringLiteral("The puzzle file \"%1\" holds no picture.").arg(path));

    // Cells no larger than a whole share of Size, so the grid fits without a second, blurring scaling step.
    const double scaleX = double(std::max(size / body.totalCols(), 1)) * body.cols / width;
    const double scaleY = double(std::max(size / body.totalRows(), 1)) * body.rows / height;
    puzzle.scale = std::min(scaleX, scaleY);
    puzzle.effect = shownEffect(puzzle.effect);
    // Every cell from the concealed picture: no semi-effect reveal, no selection, not solved.
    puzzle.semiEffect = false;
    puzzle.selected = NoCell;
    puzzle.solved = false;
    puzzle.editMode = false;
    puzzle.body.reset();
    puzzle.rebuild();

    QImage result = display.convertToFormat(QImage::Format_RGB888);
    if (result.width() > size || result.height() > size)
        result = result.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return result;
}

qint32 Thumbnailer::shownEffect(qint32 stored)
{
    switch (stored) {
    case Effect::Obscure:
    case Effect::Hidden:
    case Effect::TopSecret:
        return stored;
    default:
        return Effect::TopSecret;
    }
}

bool Thumbnailer::writePng(const QImage &image, const QString &path)
{
    if (image.isNull())
        return false;
    // Encoded in memory first, then written unbuffered so the count says how much really reached the file: with
    // a write buffer, a flush that the disk cuts short goes unnoticed and QSaveFile commits the truncated file
    // (Qt 6.4).
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(png) != png.size())
        return false; // QSaveFile discards what it holds
    return file.commit();
}
