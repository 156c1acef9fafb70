// Reads the format and length of a RIFF WAVE file from its header, without decoding any audio.
#include "TWaveHeader.h"

#include <QFile>
#include <QtEndian>

#include <cstring>

namespace {

// A WAVE file has a handful of chunks; more than this is a damaged or hostile file.
constexpr int MaxChunks = 64;

quint16 U16(const char *P) { return qFromLittleEndian<quint16>(P); }
quint32 U32(const char *P) { return qFromLittleEndian<quint32>(P); }

} // namespace

qint64 TWaveHeader::DurationMs() const
{
    if (!Valid)
        return 0;
    const qint64 Frames = DataBytes / BlockAlign;
    return (Frames * 1000 + SampleRate - 1) / SampleRate;
}

bool TWaveHeader::IsPlayable() const
{
    return Valid && FormatTag == FormatPcm && (BitsPerSample == 8 || BitsPerSample == 16);
}

TWaveHeader TWaveHeader::Read(QIODevice &Device)
{
    TWaveHeader H;
    char Riff[12];
    if (Device.read(Riff, 12) != 12 || memcmp(Riff, "RIFF", 4) != 0 || memcmp(Riff + 8, "WAVE", 4) != 0)
        return H;

    bool HaveFormat = false;
    bool HaveData = false;
    for (int i = 0; i < MaxChunks && !(HaveFormat && HaveData); ++i) {
        char Chunk[8];
        if (Device.read(Chunk, 8) != 8)
            break;
        const qint64 Size = U32(Chunk + 4);
        const qint64 Start = Device.pos();
        if (memcmp(Chunk, "fmt ", 4) == 0) {
            if (Size < 16)
                return H;
            char Fmt[40] = {};
            const qint64 Want = qMin<qint64>(Size, sizeof Fmt);
            if (Device.read(Fmt, Want) != Want)
                return H;
            H.FormatTag = U16(Fmt);
            H.Channels = U16(Fmt + 2);
            H.SampleRate = U32(Fmt + 4);
            H.BlockAlign = U16(Fmt + 12);
            H.BitsPerSample = U16(Fmt + 14);
            // The extensible format names the real one in the first two bytes of its sub-format.
            if (H.FormatTag == FormatExtensible)
                H.FormatTag = Size >= 40 ? U16(Fmt + 24) : 0;
            HaveFormat = true;
        } else if (memcmp(Chunk, "data", 4) == 0) {
            // A file cut short (or a streaming header's 0xFFFFFFFF) claims more than it holds.
            H.DataBytes = qMin(Size, Device.size() - Start);
            HaveData = true;
        }
        // Chunks are padded to an even size. A chunk reaching past the end ends the walk.
        const qint64 Next = Start + Size + (Size & 1);
        if (Next > Device.size() || !Device.seek(Next))
            break;
    }

    const bool Consistent = HaveFormat && HaveData && H.Channels >= 1 && H.Channels <= 8 &&
                            H.SampleRate >= 1000 && H.SampleRate <= 384000 &&
                            H.BitsPerSample >= 8 && H.BitsPerSample <= 32 && H.BitsPerSample % 8 == 0 &&
                            H.BlockAlign == H.Channels * H.BitsPerSample / 8;
    if (!Consistent)
        return TWaveHeader();
    H.DataBytes -= H.DataBytes % H.BlockAlign;
    H.Valid = true;
    return H;
}

TWaveHeader TWaveHeader::ReadFile(const QString &Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return TWaveHeader();
    return Read(File);
}
