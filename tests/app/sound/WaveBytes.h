// SPDX-License-Identifier: GPL-3.0-or-later
// Builds WAVE file images in memory for the sound tests, whole or deliberately damaged.
#pragma once

#include <QByteArray>
#include <QtEndian>

namespace quorra {

namespace WaveBytes {

inline void put16(QByteArray &b, quint16 v)
{
    char p[2];
    qToLittleEndian(v, p);
    b.append(p, 2);
}

inline void put32(QByteArray &b, quint32 v)
{
    char p[4];
    qToLittleEndian(v, p);
    b.append(p, 4);
}

inline QByteArray chunk(const char *id, const QByteArray &body, quint32 claimedSize)
{
    QByteArray b(id, 4);
    put32(b, claimedSize);
    b += body;
    if (body.size() & 1)
        b += '\0';
    return b;
}

inline QByteArray chunk(const char *id, const QByteArray &body)
{
    return chunk(id, body, body.size());
}

inline QByteArray format(quint16 tag, quint16 channels, quint32 rate, quint16 bits, quint16 blockAlign)
{
    QByteArray f;
    put16(f, tag);
    put16(f, channels);
    put32(f, rate);
    put32(f, rate * blockAlign);
    put16(f, blockAlign);
    put16(f, bits);
    return f;
}

inline QByteArray riff(const QByteArray &chunks)
{
    QByteArray b("RIFF");
    put32(b, 4 + chunks.size());
    return b + "WAVE" + chunks;
}

// A plain 16-bit mono PCM file of the given number of frames at 44.1 kHz.
inline QByteArray pcm16(int frames)
{
    return riff(chunk("fmt ", format(1, 1, 44100, 16, 2)) + chunk("data", QByteArray(frames * 2, '\0')));
}

} // namespace WaveBytes

} // namespace quorra
