// Builds WAVE file images in memory for the sound tests, whole or deliberately damaged.
#pragma once

#include <QByteArray>
#include <QtEndian>

namespace WaveBytes {

inline void Put16(QByteArray &B, quint16 V)
{
    char P[2];
    qToLittleEndian(V, P);
    B.append(P, 2);
}

inline void Put32(QByteArray &B, quint32 V)
{
    char P[4];
    qToLittleEndian(V, P);
    B.append(P, 4);
}

inline QByteArray Chunk(const char *Id, const QByteArray &Body, quint32 ClaimedSize)
{
    QByteArray B(Id, 4);
    Put32(B, ClaimedSize);
    B += Body;
    if (Body.size() & 1)
        B += '\0';
    return B;
}

inline QByteArray Chunk(const char *Id, const QByteArray &Body) { return Chunk(Id, Body, Body.size()); }

inline QByteArray Format(quint16 Tag, quint16 Channels, quint32 Rate, quint16 Bits, quint16 BlockAlign)
{
    QByteArray F;
    Put16(F, Tag);
    Put16(F, Channels);
    Put32(F, Rate);
    Put32(F, Rate * BlockAlign);
    Put16(F, BlockAlign);
    Put16(F, Bits);
    return F;
}

inline QByteArray Riff(const QByteArray &Chunks)
{
    QByteArray B("RIFF");
    Put32(B, 4 + Chunks.size());
    return B + "WAVE" + Chunks;
}

// A plain 16-bit mono PCM file of the given number of frames at 44.1 kHz.
inline QByteArray Pcm16(int Frames)
{
    return Riff(Chunk("fmt ", Format(1, 1, 44100, 16, 2)) + Chunk("data", QByteArray(Frames * 2, '\0')));
}

} // namespace WaveBytes
