// Reads the format and length of a RIFF WAVE file from its header, without decoding any audio.
#pragma once

#include <QString>
#include <QtGlobal>

class QIODevice;

class WaveHeader
{
public:
    enum : quint16 { FormatPcm = 1, FormatExtensible = 0xFFFE };

    bool valid = false;
    quint16 formatTag = 0; // for the extensible format, the tag of its sub-format
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint16 bitsPerSample = 0;
    quint16 blockAlign = 0;
    qint64 dataBytes = 0; // what the file really holds, never more than the header claims

    // Whole milliseconds of sound, rounded up so "still playing" never ends early; 0 when invalid.
    qint64 durationMs() const;
    // Integer PCM of 8 or 16 bits: what the sound device decodes.
    bool isPlayable() const;

    static WaveHeader read(QIODevice &device);
    static WaveHeader readFile(const QString &path);
};
