// SPDX-License-Identifier: GPL-3.0-or-later
// Draws a puzzle file as file managers show it: the concealed grid, never the photograph.
#include "Thumbnailer.h"

#include "Effects.h"
#include "Puzzle.h"
#include "PuzzleFile.h"
#include "RegularFile.h"
#include "ReplacingFile.h"
#include "UserError.h"
#include "WorkingBitmap.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

#include <algorithm>

namespace quorra {

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
    std::variant<StoredPuzzle, PuzzleFile::TooNew> read =
        PuzzleFile::read(file, info.absoluteFilePath(), QSize(size, size), JpegMemory::Bounded);
    if (std::holds_alternative<PuzzleFile::TooNew>(read))
        throw UserError(QStringLiteral("The puzzle file \"%1\" needs a newer version of Quorra.").arg(path));
    file.close();
    StoredPuzzle &stored = std::get<StoredPuzzle>(read);

    const TileGrid &grid = stored.grid;
    // The puzzle's geometry comes from the whole picture's size, whatever reduction was decoded.
    const QSize picture = stored.pictureSize.isValid() ? stored.pictureSize : stored.source.size();
    const int width = picture.width();
    const int height = picture.height();
    if (width <= 0 || height <= 0 || grid.columns() <= 0 || grid.rows() <= 0)
        throw UserError(QStringLiteral("The puzzle file \"%1\" holds no picture.").arg(path));

    // Cells no larger than a whole share of Size, so the grid fits without a second, blurring scaling step.
    const double scaleX = double(std::max(size / grid.totalColumns(), 1)) * grid.columns() / width;
    const double scaleY = double(std::max(size / grid.totalRows(), 1)) * grid.rows() / height;
    // Every cell from the concealed picture: no semi-effect reveal, nothing moved. A puzzle just opened has no
    // selection and is neither solved nor in set-up.
    stored.effect = shownEffect(stored.effect);
    stored.semiEffect = false;
    stored.grid.reset();

    QImage display;
    Puzzle puzzle(&display, &concealmentTexture());
    puzzle.adopt(std::move(stored));
    puzzle.zoomTo(std::min(scaleX, scaleY));

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
    // Encoded in memory first, so that nothing reaches the path unless the whole picture was made.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return false;
    return ReplacingFile::writeWhole(path, png).isEmpty();
}

} // namespace quorra
