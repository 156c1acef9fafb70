// SPDX-License-Identifier: GPL-3.0-or-later
// The picture a puzzle is made of: decoded only as large as it is shown, decoded larger when it is needed larger.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace quorra {

struct JpegStream;

// A picture held whole (any format a reader gives), or a JPEG stream decoded at a reduction with the stream
// kept, so that showing a large photograph in a small window never costs its full-size pixels until something
// needs them. Every size the game computes comes from size(), the whole picture's, never from the bitmap.
class SourcePicture
{
public:
    SourcePicture() = default;
    explicit SourcePicture(QImage whole);
    // A picture read with readJpegStream.
    explicit SourcePicture(JpegStream decoded);
    // As above, from its parts; an invalid Size means the bitmap's own.
    SourcePicture(QImage decoded, QSize size, QByteArray stream);

    bool isNull() const { return m_bitmap.isNull() || m_size.isEmpty(); }
    // The whole picture's size.
    QSize size() const { return m_size; }
    // The picture as decoded so far: the whole of it, at size() or reduced.
    const QImage &bitmap() const { return m_bitmap; }
    bool isReduced() const { return m_bitmap.size() != m_size; }

    // Makes the bitmap at least Needed across and down (or whole), decoding the stream anew at the smallest
    // reduction that gives it; the larger bitmap is kept. Raises the decoder's errors, leaving this as it was.
    void cover(QSize needed);
    // The picture at its own size, decoded now when it was not yet.
    const QImage &whole();

private:
    QImage m_bitmap;
    QSize m_size;
    // What a reduced bitmap is decoded again from; dropped once the bitmap is whole.
    QByteArray m_stream;
};

} // namespace quorra
