// Fuzz target: a puzzle file's bytes through the reader and, when accepted, a save and re-read and the tangle.
#include "TError.h"
#include "TPuzzle.h"
#include "TPuzzleFile.h"
#include "TRandom.h"

#include <QBuffer>
#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Pictures this large are legal, but rendering them at full size takes seconds and gigabytes per run,
// which would starve the search; their reading has been exercised by then.
constexpr qint64 MaxRenderedPixels = 4 * 1024 * 1024;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *Argc, char ***Argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The effects draw numbers with fonts, which need the GUI application.
    static QGuiApplication Application(*Argc, *Argv);
    // A fixed seed, so that a finding replays the same tangle.
    TRandom::SetTestClock([] { return quint32(12345); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    QBuffer Buffer;
    Buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char *>(Data), qsizetype(Size)));
    Buffer.open(QIODevice::ReadOnly);
    try {
        TPuzzleFile Stored;
        if (!Stored.Read(Buffer, QStringLiteral("fuzz.nbq")))
            return 0;
        if (qint64(Stored.Source.width()) * Stored.Source.height() > MaxRenderedPixels)
            return 0;

        // Whatever the reader accepts, the writer must store so that it reads back the same.
        QBuffer Saved;
        Saved.open(QIODevice::ReadWrite);
        if (!Stored.Write(Saved))
            std::abort();
        Saved.seek(0);
        TPuzzleFile Again;
        if (!Again.Read(Saved, QStringLiteral("saved.nbq")) || Again.Version != Stored.Version
            || Again.Effect != Stored.Effect || Again.SemiEffect != Stored.SemiEffect
            || std::memcmp(&Again.Body, &Stored.Body, sizeof(TBody)) != 0
            || Again.Source.size() != Stored.Source.size())
            std::abort();

        // As opening does with an accepted file.
        QImage Display;
        QImage Texture(8, 8, QImage::Format_BGR888);
        Texture.fill(Qt::gray);
        TPuzzle Puzzle(&Display, &Texture);
        Stored.ApplyTo(Puzzle);
        Puzzle.Modified = false;
        Puzzle.Tangle();
    } catch (const TError &) {
    }
    return 0;
}
