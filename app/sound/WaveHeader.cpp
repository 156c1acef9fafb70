// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the format and length of a RIFF WAVE file from its header, without decoding any audio.
#include "WaveHeader.h"

#include <QFile>
#include <QtEndian>

#include <cstring>

namespace quorra {

namespace {

// A WAVE file has a handful of chunks; more than this is a damaged or hostile file.
constexpr int MaxChunks = 64;

quint16 u16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}
quint32 u32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

} // namespace

qint64 WaveHeader::durationMs() const
{
    if (!m_valid)
        return 0;
    const qint64 frames = m_dataBytes / m_blockAlign;
    return (frames * 1000 + m_sampleRate - 1) / m_sampleRate;
}

bool WaveHeader::isPlayable() const
{
    return m_valid && m_formatTag == FormatPcm && (m_bitsPerSample == 8 || m_bitsPerSample == 16);
}

WaveHeader WaveHeader::read(QIODevice &device)
{
    WaveHeader h;
    char riff[12];
    if (device.read(riff, 12) != 12 || memcmp(riff, "RIFF", 4) != 0 || memcmp(riff + 8, "WAVE", 4) != 0)
        return WaveHeader();

    bool haveFormat = false;
    bool haveData = false;
    for (int i = 0; i < MaxChunks && !(haveFormat && haveData); ++i) {
        char chunk[8];
        if (device.read(chunk, 8) != 8)
            break;
        const qint64 size = u32(chunk + 4);
        const qint64 start = device.pos();
        if (memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16)
                return WaveHeader();
            char fmt[40] = {};
            const qint64 want = qMin<qint64>(size, sizeof fmt);
            if (device.read(fmt, want) != want)
                return WaveHeader();
            h.m_formatTag = u16(fmt);
            h.m_channels = u16(fmt + 2);
            h.m_sampleRate = u32(fmt + 4);
            h.m_blockAlign = u16(fmt + 12);
            h.m_bitsPerSample = u16(fmt + 14);
            // The extensible format names the real one in the first two bytes of its sub-format.
            if (h.m_formatTag == FormatExtensible)
                h.m_formatTag = size >= 40 ? u16(fmt + 24) : 0;
            haveFormat = true;
        } else if (memcmp(chunk, "data", 4) == 0) {
            // A file cut short (or a streaming header's 0xFFFFFFFF) claims more than it holds.
            h.m_dataBytes = qMin(size, device.size() - start);
            haveData = true;
        }
        // Chunks are padded to an even size. A chunk reaching past the end ends the walk.
        const qint64 next = start + size + (size & 1);
        if (next > device.size() || !device.seek(next))
            break;
    }

    const bool consistent = haveFormat && haveData && h.m_channels >= 1 && h.m_channels <= 8 && h.m_sampleRate >= 1000
                            && h.m_sampleRate <= 384000 && h.m_bitsPerSample >= 8 && h.m_bitsPerSample <= 32
                            && h.m_bitsPerSample % 8 == 0 && h.m_blockAlign == h.m_channels * h.m_bitsPerSample / 8;
    if (!consistent)
        return WaveHeader();
    h.m_dataBytes -= h.m_dataBytes % h.m_blockAlign;
    h.m_valid = true;
    return h;
}

WaveHeader WaveHeader::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return WaveHeader();
    return read(file);
}

} // namespace quorra
