// Draws a puzzle file as file managers show it: the concealed grid, never the photograph.
#include "TThumbnailer.h"

#include "Effects.h"
#include "RegularFile.h"
#include "TError.h"
#include "TPuzzle.h"
#include "TPuzzleFile.h"
#include "WorkingBitmap.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>

QImage TThumbnailer::Render(const QString &Path, int Size)
{
    if (Size < 1 || Size > MaxSize)
        throw TError(QStringLiteral("The thumbnail size %1 is outside 1 to %2.").arg(Size).arg(MaxSize));

    // Read here rather than by opening the puzzle: the picture is decoded only as large as the thumbnail needs
    // (a photograph of many megapixels costs a fraction of its memory and time), and nothing is tangled.
    const QFileInfo Info(Path);
    if (!Info.exists())
        throw TError(QStringLiteral("There is no puzzle file \"%1\".").arg(Path));
    // Anything else (a FIFO, a device) could block the open or never end.
    QFile File;
    const QString Refused = OpenRegularFile(File, Path);
    if (!Refused.isEmpty())
        throw TError(QStringLiteral("Cannot open file \"%1\". %2").arg(Info.absoluteFilePath(), Refused));
    TPuzzleFile Stored;
    if (!Stored.Read(File, Info.absoluteFilePath(), QSize(Size, Size)))
        throw TError(QStringLiteral("The puzzle file \"%1\" needs a newer version of Quorra.").arg(Path));
    File.close();

    QImage Display;
    TPuzzle Puzzle(&Display, &ConcealmentTexture());
    Stored.ApplyTo(Puzzle);

    const TBody &Body = Puzzle.Body;
    const int Width = Puzzle.Source.width();
    const int Height = Puzzle.Source.height();
    if (Width <= 0 || Height <= 0 || Body.Cols <= 0 || Body.Rows <= 0)
        throw TError(QStringLiteral("The puzzle file \"%1\" holds no picture.").arg(Path));

    // Cells no larger than a whole share of Size, so the grid fits without a second, blurring scaling step.
    const double ScaleX = double(std::max(Size / Body.TotalCols(), 1)) * Body.Cols / Width;
    const double ScaleY = double(std::max(Size / Body.TotalRows(), 1)) * Body.Rows / Height;
    Puzzle.Scale = std::min(ScaleX, ScaleY);
    Puzzle.Effect = ShownEffect(Puzzle.Effect);
    // Every cell from the concealed picture: no semi-effect reveal, no selection, not solved.
    Puzzle.SemiEffect = false;
    Puzzle.Selected = NoCell;
    Puzzle.Solved = false;
    Puzzle.EditMode = false;
    Puzzle.Body.Reset();
    Puzzle.Rebuild();

    QImage Result = Display.convertToFormat(QImage::Format_RGB888);
    if (Result.width() > Size || Result.height() > Size)
        Result = Result.scaled(Size, Size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return Result;
}

qint32 TThumbnailer::ShownEffect(qint32 Stored)
{
    switch (Stored) {
    case Effect::Obscure:
    case Effect::Hidden:
    case Effect::TopSecret:
        return Stored;
    default:
        return Effect::TopSecret;
    }
}

bool TThumbnailer::WritePng(const QImage &Image, const QString &Path)
{
    if (Image.isNull())
        return false;
    // Encoded in memory first, then written unbuffered so the count says how much really reached the file: with
    // a write buffer, a flush that the disk cuts short goes unnoticed and QSaveFile commits the truncated file
    // (Qt 6.4).
    QByteArray Png;
    QBuffer Buffer(&Png);
    Buffer.open(QIODevice::WriteOnly);
    QImageWriter Writer(&Buffer, "png");
    if (!Writer.write(Image))
        return false;
    QSaveFile File(Path);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (File.write(Png) != Png.size())
        return false; // QSaveFile discards what it holds
    return File.commit();
}
