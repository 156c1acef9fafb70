// The inputs the benchmark makes for itself: a photograph-like picture and puzzle files of it.
#include "BenchInputs.h"

#include "TPuzzle.h"
#include "TPuzzleFile.h"
#include "WorkingBitmap.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

QImage MakePhotograph(int Width, int Height)
{
    QImage Picture(Width, Height, WorkingFormat);
    // Separable waves of a few frequencies per channel give the large smooth areas of sky, skin or walls.
    std::vector<float> ColumnWave[3], RowWave[3];
    std::vector<float> ColumnDetail(static_cast<size_t>(Width)), RowDetail(static_cast<size_t>(Height));
    const float Pi = 3.14159265f;
    for (int C = 0; C < 3; ++C) {
        ColumnWave[C].resize(size_t(Width));
        RowWave[C].resize(size_t(Height));
        for (int X = 0; X < Width; ++X)
            ColumnWave[C][size_t(X)] = std::sin(2 * Pi * X / Width * (1.3f + C * 0.4f) + C);
        for (int Y = 0; Y < Height; ++Y)
            RowWave[C][size_t(Y)] = std::cos(2 * Pi * Y / Height * (0.9f + C * 0.5f) + 2 * C);
    }
    for (int X = 0; X < Width; ++X)
        ColumnDetail[size_t(X)] = std::sin(X * 0.61f) + 0.5f * std::sin(X * 1.7f);
    for (int Y = 0; Y < Height; ++Y)
        RowDetail[size_t(Y)] = std::sin(Y * 0.53f) + 0.5f * std::sin(Y * 2.1f);
    quint32 Noise = 12345u;
    for (int Y = 0; Y < Height; ++Y) {
        uchar *P = Picture.scanLine(Y);
        // Blocks of a few hundred pixels get their own tone: the edges of buildings, trees and shadows.
        const int BlockY = Y / 230;
        for (int X = 0; X < Width; ++X, P += 3) {
            const int Block = (X / 310) * 131 + BlockY * 71;
            const float Tone = float((Block * 2654435761u) >> 27) - 16.0f;
            // Fine texture (foliage, fabric) only where a slow field says so, as in a real scene.
            const bool Textured = ColumnWave[2][size_t(X)] * RowWave[1][size_t(Y)] > 0.1f;
            const float Detail = Textured ? 18.0f * ColumnDetail[size_t(X)] * RowDetail[size_t(Y)] : 0.0f;
            for (int C = 0; C < 3; ++C) {
                Noise = Noise * 1664525u + 1013904223u;
                const float Grain = float(Noise >> 28) - 7.5f;
                const float V = 120.0f + 70.0f * ColumnWave[C][size_t(X)] * RowWave[C][size_t(Y)] + Tone + Detail
                    + Grain;
                P[C] = uchar(std::clamp(V, 0.0f, 255.0f));
            }
        }
    }
    return Picture;
}

void MakePuzzleFile(const QImage &Picture, const QString &Path, qint32 Effect, int Rows, int Cols, bool EmptyRow,
                    bool EmptyCol)
{
    QImage Display;
    TPuzzle Puzzle(&Display, &ConcealmentTexture());
    Puzzle.Source = Picture;
    // A small scale keeps the set-up quick; the file holds the picture at its own size whatever the scale.
    Puzzle.Scale = 0.05;
    Puzzle.Setup(Effect, Rows, Cols, false, EmptyRow, EmptyCol);
    Puzzle.SaveToFile(Path);
}

QByteArray JpegPartOf(const QString &PuzzlePath)
{
    QFile File(PuzzlePath);
    if (!File.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the puzzle file");
    File.seek(TPuzzleFile::HeaderSize);
    return File.readAll();
}

namespace {

void Fail(j_common_ptr Info)
{
    char Text[JMSG_LENGTH_MAX];
    Info->err->format_message(Info, Text);
    throw std::runtime_error(Text);
}

} // namespace

QImage DecodeWithLibjpeg(const QByteArray &Stream)
{
    jpeg_decompress_struct Info;
    jpeg_error_mgr Errors;
    Info.err = jpeg_std_error(&Errors);
    Errors.error_exit = Fail;
    jpeg_create_decompress(&Info);
    jpeg_mem_src(&Info, reinterpret_cast<const unsigned char *>(Stream.constData()), (unsigned long)Stream.size());
    jpeg_read_header(&Info, TRUE);
    Info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&Info);
    QImage Picture(int(Info.output_width), int(Info.output_height), WorkingFormat);
    while (Info.output_scanline < Info.output_height) {
        JSAMPROW Row = Picture.scanLine(int(Info.output_scanline));
        jpeg_read_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);
    return Picture;
}

QByteArray EncodeWithLibjpeg(const QImage &Picture)
{
    jpeg_compress_struct Info;
    jpeg_error_mgr Errors;
    Info.err = jpeg_std_error(&Errors);
    Errors.error_exit = Fail;
    jpeg_create_compress(&Info);
    unsigned char *Buffer = nullptr;
    unsigned long Size = 0;
    jpeg_mem_dest(&Info, &Buffer, &Size);
    Info.image_width = JDIMENSION(Picture.width());
    Info.image_height = JDIMENSION(Picture.height());
    Info.input_components = 3;
    Info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&Info);
    jpeg_set_quality(&Info, 90, TRUE);
    jpeg_start_compress(&Info, TRUE);
    while (Info.next_scanline < Info.image_height) {
        JSAMPROW Row = const_cast<JSAMPROW>(Picture.constScanLine(int(Info.next_scanline)));
        jpeg_write_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_compress(&Info);
    jpeg_destroy_compress(&Info);
    QByteArray Result(reinterpret_cast<const char *>(Buffer), qsizetype(Size));
    std::free(Buffer);
    return Result;
}
