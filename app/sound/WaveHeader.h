// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the format and length of a RIFF WAVE file from its header, without decoding any audio.
#pragma once

#include <QString>
#include <QtGlobal>

class QIODevice;

namespace quorra {

class WaveHeader
{
public:
    static constexpr quint16 FormatPcm = 1;
    static constexpr quint16 FormatExtensible = 0xFFFE;

    // False for anything that is not a consistent WAVE file; every other query is then 0.
    bool isValid() const { return m_valid; }
    // For the extensible format, the tag of its sub-format.
    quint16 formatTag() const { return m_formatTag; }
    quint16 channels() const { return m_channels; }
    quint32 sampleRate() const { return m_sampleRate; }
    quint16 bitsPerSample() const { return m_bitsPerSample; }
    quint16 blockAlign() const { return m_blockAlign; }
    // What the file really holds, never more than the header claims, in whole frames.
    qint64 dataBytes() const { return m_dataBytes; }

    // Whole milliseconds of sound, rounded up so "still playing" never ends early; 0 when invalid.
    qint64 durationMs() const;
    // Integer PCM of 8 or 16 bits: what the sound device decodes.
    bool isPlayable() const;

    static WaveHeader read(QIODevice &device);
    static WaveHeader readFile(const QString &path);

private:
    bool m_valid = false;
    quint16 m_formatTag = 0;
    quint16 m_channels = 0;
    quint32 m_sampleRate = 0;
    quint16 m_bitsPerSample = 0;
    quint16 m_blockAlign = 0;
    qint64 m_dataBytes = 0;
};

} // namespace quorra
