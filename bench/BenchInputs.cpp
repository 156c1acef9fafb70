// SPDX-License-Identifier: GPL-3.0-or-later
// The inputs the benchmark makes for itself: a photograph-like picture, its puzzle files, the settings to start with.
#include "BenchInputs.h"

#include "Puzzle.h"
#include "PuzzleDocument.h"
#include "PuzzleFile.h"
#include "WorkingBitmap.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace quorra {

QImage makePhotograph(int width, int height)
{
    QImage picture(width, height, WorkingFormat);
    // Separable waves of a few frequencies per channel give the large smooth areas of sky, skin or walls.
    std::vector<float> columnWave[3], rowWave[3];
    std::vector<float> columnDetail(static_cast<size_t>(width)), rowDetail(static_cast<size_t>(height));
    const float pi = 3.14159265f;
    for (int c = 0; c < 3; ++c) {
        columnWave[c].resize(size_t(width));
        rowWave[c].resize(size_t(height));
        for (int x = 0; x < width; ++x)
            columnWave[c][size_t(x)] = std::sin(2 * pi * x / width * (1.3f + c * 0.4f) + c);
        for (int y = 0; y < height; ++y)
            rowWave[c][size_t(y)] = std::cos(2 * pi * y / height * (0.9f + c * 0.5f) + 2 * c);
    }
    for (int x = 0; x < width; ++x)
        columnDetail[size_t(x)] = std::sin(x * 0.61f) + 0.5f * std::sin(x * 1.7f);
    for (int y = 0; y < height; ++y)
        rowDetail[size_t(y)] = std::sin(y * 0.53f) + 0.5f * std::sin(y * 2.1f);
    quint32 noise = 12345u;
    for (int y = 0; y < height; ++y) {
        uchar *p = picture.scanLine(y);
        // Blocks of a few hundred pixels get their own tone: the edges of buildings, trees and shadows.
        const int blockY = y / 230;
        for (int x = 0; x < width; ++x, p += 3) {
            const int block = (x / 310) * 131 + blockY * 71;
            const float tone = float((block * 2654435761u) >> 27) - 16.0f;
            // Fine texture (foliage, fabric) only where a slow field says so, as in a real scene.
            const bool textured = columnWave[2][size_t(x)] * rowWave[1][size_t(y)] > 0.1f;
            const float detail = textured ? 18.0f * columnDetail[size_t(x)] * rowDetail[size_t(y)] : 0.0f;
            for (int c = 0; c < 3; ++c) {
                noise = noise * 1664525u + 1013904223u;
                const float grain = float(noise >> 28) - 7.5f;
                const float v =
                    120.0f + 70.0f * columnWave[c][size_t(x)] * rowWave[c][size_t(y)] + tone + detail + grain;
                p[c] = uchar(std::clamp(v, 0.0f, 255.0f));
            }
        }
    }
    return picture;
}

void makePuzzleFile(const QImage &picture, const QString &path, qint32 effect, int rows, int cols, bool emptyRow,
                    bool emptyCol)
{
    QImage display;
    PuzzleDocument document(&display, &concealmentTexture());
    document.setPicture(picture);
    // A small scale keeps the set-up quick; the file holds the picture at its own size whatever the scale.
    document.puzzle().zoomTo(0.05);
    document.setUp(effect, rows, cols, false, emptyRow, emptyCol);
    document.save(path);
}

QByteArray jpegPartOf(const QString &puzzlePath)
{
    QFile file(puzzlePath);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the puzzle file");
    file.seek(PuzzleFile::HeaderSize);
    return file.readAll();
}

namespace {

void fail(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    throw std::runtime_error(text);
}

} // namespace

QImage decodeWithLibjpeg(const QByteArray &stream)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    errors.error_exit = fail;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(stream.constData()), (unsigned long)stream.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    QImage picture(int(info.output_width), int(info.output_height), WorkingFormat);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return picture;
}

QByteArray encodeWithLibjpeg(const QImage &picture)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    errors.error_exit = fail;
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(picture.width());
    info.image_height = JDIMENSION(picture.height());
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray result(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return result;
}

void writeSettings(const QString &folder, const QString &name)
{
    QDir().mkpath(folder);
    QFile ini(folder + QLatin1Char('/') + name + QStringLiteral(".INI"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[TNimbrelMainForm]\nShowAtStartAction_Checked=False\nmSound_Checked=False\n");
}

} // namespace quorra
