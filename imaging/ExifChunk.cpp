// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the EXIF block that PNG and WebP files keep in a chunk of their own, which Qt's readers leave unread.
#include "ExifChunk.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>

namespace quorra {

namespace {

// The orientation sits in the first directory, near the start; a JPEG's EXIF segment holds no more than this.
constexpr qint64 MaxExifBytes = 65533 - 6;

QByteArray asJpegCarriesIt(QByteArray payload)
{
    // Some writers keep the JPEG segment's own prefix inside the chunk as well.
    if (!payload.isEmpty() && !payload.startsWith(QByteArrayLiteral("Exif\0\0")))
        payload.prepend(QByteArrayLiteral("Exif\0\0"));
    return payload;
}

struct ChunkHeader {
    qint64 payload; // bytes of data
    qint64 length;  // bytes from this chunk's start to the next one's
    bool wanted;
    bool last;
};

// Walks the chunks from At, each known by its 8-byte header (read by Header), and returns the first wanted
// payload. Only headers are read on the way.
template <typename Header>
QByteArray findChunk(QIODevice &in, qint64 at, Header header)
{
    const qint64 start = in.pos();
    QByteArray payload;
    while (in.seek(at)) {
        const QByteArray bytes = in.read(8);
        if (bytes.size() < 8)
            break;
        const ChunkHeader chunk = header(reinterpret_cast<const uchar *>(bytes.constData()));
        if (chunk.wanted) {
            payload = in.read(std::min(chunk.payload, MaxExifBytes));
            break;
        }
        if (chunk.last)
            break;
        at += chunk.length;
    }
    in.seek(start);
    return asJpegCarriesIt(payload);
}

} // namespace

QByteArray pngExifChunk(QIODevice &in)
{
    if (in.isSequential() || !in.peek(8).startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArray();
    // A chunk is its length, its type, the data and a 4-byte check; eXIf comes before the image data.
    return findChunk(in, in.pos() + 8, [](const uchar *p) {
        const QByteArray type(reinterpret_cast<const char *>(p + 4), 4);
        const qint64 size = qFromBigEndian<quint32>(p);
        return ChunkHeader{size, 12 + size, type == "eXIf", type == "IDAT" || type == "IEND"};
    });
}

QByteArray webpExifChunk(QIODevice &in)
{
    // RIFF, the file's size, WEBP, then an extended header whose flags announce an EXIF chunk.
    const QByteArray head = in.peek(21);
    if (in.isSequential() || head.size() < 21 || !head.startsWith("RIFF") || head.mid(8, 8) != "WEBPVP8X"
        || !(uchar(head.at(20)) & 0x08))
        return QByteArray();
    // A chunk is its type, its little-endian size and the data, padded to an even length.
    return findChunk(in, in.pos() + 12, [](const uchar *p) {
        const QByteArray type(reinterpret_cast<const char *>(p), 4);
        const qint64 size = qFromLittleEndian<quint32>(p + 4);
        return ChunkHeader{size, 8 + size + (size & 1), type == "EXIF", false};
    });
}

} // namespace quorra
