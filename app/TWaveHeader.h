// Reads the format and length of a RIFF WAVE file from its header, without decoding any audio.
#pragma once

#include <QString>
#include <QtGlobal>

class QIODevice;

class TWaveHeader
{
public:
    enum : quint16 { FormatPcm = 1, FormatExtensible = 0xFFFE };

    bool Valid = false;
    quint16 FormatTag = 0; // for the extensible format, the tag of its sub-format
    quint16 Channels = 0;
    quint32 SampleRate = 0;
    quint16 BitsPerSample = 0;
    quint16 BlockAlign = 0;
    qint64 DataBytes = 0; // what the file really holds, never more than the header claims

    // Whole milliseconds of sound, rounded up so "still playing" never ends early; 0 when invalid.
    qint64 DurationMs() const;
    // Integer PCM of 8 or 16 bits: what the sound device decodes.
    bool IsPlayable() const;

    static TWaveHeader Read(QIODevice &Device);
    static TWaveHeader ReadFile(const QString &Path);
};
