// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures that are small files but large decodes, made at test time: each declares a size within the size guard
// and either holds all its pixels (as zeros, which compress to almost nothing) or ends after its header.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <zlib.h>

namespace quorra {

namespace HostilePictures {

inline void appendBigEndian32(QByteArray &bytes, quint32 value)
{
    char raw[4];
    qToBigEndian(value, raw);
    bytes.append(raw, 4);
}

inline void appendLittleEndian16(QByteArray &bytes, quint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

inline void appendLittleEndian32(QByteArray &bytes, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

inline void appendPngChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    appendBigEndian32(png, quint32(data.size()));
    const QByteArray typed = QByteArray(type, 4) + data;
    png += typed;
    appendBigEndian32(png, quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.constData()), uInt(typed.size()))));
}

// A PNG of Width x Height at Depth bits a channel of Channels (1 grey, 4 RGBA) whose rows are all zero; when Whole
// is false its image data ends after its first bytes, as a file cut short does.
inline QByteArray zeroPng(int width, int height, int depth, int channels, bool whole)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian32(header, quint32(width));
    appendBigEndian32(header, quint32(height));
    header.append(char(depth));
    header.append(char(channels == 4 ? 6 : 0));
    header.append(3, '\0');
    appendPngChunk(png, "IHDR", header);

    const qint64 rowBytes = 1 + qint64(width) * channels * depth / 8;
    const qint64 total = whole ? rowBytes * height : rowBytes;
    QByteArray data;
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    const QByteArray zeros(1 << 20, '\0');
    QByteArray out(1 << 16, '\0');
    for (qint64 left = total; left >= 0;) {
        const qint64 now = std::min<qint64>(left, zeros.size());
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        stream.avail_in = uInt(now);
        left -= now;
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef *>(out.data());
            stream.avail_out = uInt(out.size());
            deflate(&stream, flush);
            data.append(out.constData(), out.size() - stream.avail_out);
        } while (stream.avail_out == 0);
        if (flush == Z_FINISH)
            break;
    }
    deflateEnd(&stream);
    appendPngChunk(png, "IDAT", data);
    if (whole)
        appendPngChunk(png, "IEND", QByteArray());
    return png;
}

// A lossless WebP of 34 bytes that declares Width x Height and ends just after its header.
inline QByteArray webpHeader(int width, int height)
{
    QByteArray body("WEBPVP8L", 8);
    appendLittleEndian32(body, 5);
    body.append('\x2f');
    appendLittleEndian32(body, quint32(width - 1) | quint32(height - 1) << 14 | 1u << 28);
    // A few bytes of image data, as much as a reader looks at before it decodes.
    body.append(QByteArray(9, '\0'));
    QByteArray webp("RIFF", 4);
    appendLittleEndian32(webp, quint32(body.size()));
    return webp + body;
}

// A deflate-compressed RGBA TIFF of Width x Height, 8 bits a channel, whose one strip ends after a few bytes.
inline QByteArray tiffHeader(int width, int height)
{
    QByteArray tiff("II*\0", 4);
    appendLittleEndian32(tiff, 8);
    struct Entry {
        quint16 tag, type;
        quint32 count, value;
    };
    const quint32 dataAt = 8 + 2 + 11 * 12 + 4 + 8;
    const Entry entries[] = {
        {256, 4, 1, quint32(width)},
        {257, 4, 1, quint32(height)},
        {258, 3, 4, dataAt - 8},
        {259, 3, 1, 8},
        {262, 3, 1, 2},
        {273, 4, 1, dataAt},
        {277, 3, 1, 4},
        {278, 4, 1, quint32(height)},
        {279, 4, 1, 16},
        {284, 3, 1, 1},
        {338, 3, 1, 2},
    };
    appendLittleEndian16(tiff, quint16(std::size(entries)));
    for (const Entry &e : entries) {
        appendLittleEndian16(tiff, e.tag);
        appendLittleEndian16(tiff, e.type);
        appendLittleEndian32(tiff, e.count);
        if (e.type == 3 && e.count == 1) {
            appendLittleEndian16(tiff, quint16(e.value));
            appendLittleEndian16(tiff, 0);
        } else {
            appendLittleEndian32(tiff, e.value);
        }
    }
    appendLittleEndian32(tiff, 0);
    for (int i = 0; i < 4; ++i)
        appendLittleEndian16(tiff, 8);
    return tiff + QByteArray(16, '\0');
}

// A GIF whose first image is Width x Height and whose data ends at once.
inline QByteArray gifHeader(int width, int height)
{
    QByteArray gif("GIF89a", 6);
    appendLittleEndian16(gif, quint16(width));
    appendLittleEndian16(gif, quint16(height));
    gif.append(QByteArray("\x80\0\0", 3));
    gif.append(QByteArray(6, '\0'));
    gif.append(',');
    appendLittleEndian32(gif, 0);
    appendLittleEndian16(gif, quint16(width));
    appendLittleEndian16(gif, quint16(height));
    gif.append(QByteArray("\0\x02\x02\x4c\x01\0;", 7));
    return gif;
}

// A BMP of Width x Height at Bits a pixel: at 8 bits run-length coded with one end-of-bitmap code (a kilobyte that
// unpacks to Width x Height bytes), at more bits cut short after its header.
inline QByteArray bmpHeader(int width, int height, int bits)
{
    const quint32 palette = bits == 8 ? 256 * 4 : 0, dataAt = 14 + 40 + palette;
    QByteArray bmp("BM", 2);
    appendLittleEndian32(bmp, dataAt + 2);
    appendLittleEndian32(bmp, 0);
    appendLittleEndian32(bmp, dataAt);
    appendLittleEndian32(bmp, 40);
    appendLittleEndian32(bmp, quint32(width));
    appendLittleEndian32(bmp, quint32(height));
    appendLittleEndian16(bmp, 1);
    appendLittleEndian16(bmp, quint16(bits));
    appendLittleEndian32(bmp, bits == 8 ? 1 : 0);
    appendLittleEndian32(bmp, 2);
    appendLittleEndian32(bmp, 0);
    appendLittleEndian32(bmp, 0);
    appendLittleEndian32(bmp, bits == 8 ? 256 : 0);
    appendLittleEndian32(bmp, 0);
    for (quint32 i = 0; i < palette / 4; ++i)
        appendLittleEndian32(bmp, i * 0x010101);
    return bmp + QByteArray("\0\1", 2);
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace HostilePictures

} // namespace quorra
