// SPDX-License-Identifier: GPL-3.0-or-later
// JPEG streams made small at test time that would cost a decoder much: their segments and tables by hand.
#pragma once

#include <QByteArray>

namespace quorra {

inline QByteArray jpegSegment(uchar marker, const QByteArray &payload)
{
    const qsizetype length = payload.size() + 2;
    return QByteArray("\xff") + char(marker) + char(length >> 8) + char(length & 0xFF) + payload;
}

inline QByteArray jpegFrame(uchar marker, int width, int height, int components)
{
    QByteArray frame = QByteArray("\x08", 1) + char(height >> 8) + char(height & 0xFF) + char(width >> 8)
                       + char(width & 0xFF) + char(components);
    for (int c = 1; c <= components; ++c)
        frame += QByteArray(1, char(c)) + "\x11" + '\0';
    return jpegSegment(marker, frame);
}

// Huffman tables of one code each, the single bit 0: for the DC differences Dc and the AC symbol Ac.
inline QByteArray oneCodeTables(uchar dc, uchar ac)
{
    const QByteArray counts = QByteArray(1, '\1') + QByteArray(15, '\0');
    return jpegSegment(0xC4, QByteArray(1, '\0') + counts + char(dc) + '\x10' + counts + char(ac));
}

// A baseline stream up to its scan's data, whose tables read each zero bit of that data as part of an AC
// coefficient of ten bits: little data, legitimately, and much work.
inline QByteArray busyBaseline(int width, int height, int components)
{
    QByteArray scan(1, char(components));
    for (int c = 1; c <= components; ++c)
        scan += QByteArray(1, char(c)) + '\0';
    return "\xff\xd8" + jpegSegment(0xDB, QByteArray(1, '\0') + QByteArray(64, '\1'))
           + jpegFrame(0xC0, width, height, components) + oneCodeTables(0, 0x0A)
           + jpegSegment(0xDA, scan + QByteArray("\x00\x3f\x00", 3));
}

// A grey progressive stream of Width x Height whose Scans carry no data: its coefficients alone take two bytes
// a pixel, and each scan is a pass over all of them.
inline QByteArray emptyProgressive(int width, int height, int scans)
{
    QByteArray out = "\xff\xd8" + jpegSegment(0xDB, QByteArray(1, '\0') + QByteArray(64, '\1'))
                     + jpegFrame(0xC2, width, height, 1) + oneCodeTables(0, 0)
                     + jpegSegment(0xDA, QByteArray("\x01\x01\x00\x00\x00\x00", 6));
    for (int i = 1; i < scans; ++i)
        out += jpegSegment(0xDA, QByteArray("\x01\x01\x00\x01\x3f\x00", 6));
    return out + "\xff\xd9";
}

} // namespace quorra
