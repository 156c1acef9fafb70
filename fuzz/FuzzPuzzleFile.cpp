// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: a puzzle file's bytes through the reader and, when accepted, a save and re-read and the tangle.
#include "Lcg.h"
#include "Puzzle.h"
#include "PuzzleFile.h"
#include "UserError.h"

#include <QBuffer>
#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace quorra {

namespace {

// Pictures this large are legal, but rendering them at full size takes seconds and gigabytes per run,
// which would starve the search; their reading has been exercised by then.
constexpr qint64 MaxRenderedPixels = 4 * 1024 * 1024;

} // namespace

} // namespace quorra

using namespace quorra;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The effects draw numbers with fonts, which need the GUI application.
    static QGuiApplication application(*argc, *argv);
    // A fixed seed, so that a finding replays the same tangle.
    Lcg::setTestClock([] { return quint32(12345); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    buffer.open(QIODevice::ReadOnly);
    try {
        auto read = PuzzleFile::read(buffer, QStringLiteral("fuzz.nbq"));
        auto *stored = std::get_if<StoredPuzzle>(&read);
        if (!stored)
            return 0;
        if (qint64(stored->source.width()) * stored->source.height() > MaxRenderedPixels)
            return 0;

        // Whatever the reader accepts, the writer must store so that it reads back the same.
        QBuffer saved;
        saved.open(QIODevice::ReadWrite);
        if (!PuzzleFile::write(*stored, saved))
            std::abort();
        saved.seek(0);
        auto reread = PuzzleFile::read(saved, QStringLiteral("saved.nbq"));
        const auto *again = std::get_if<StoredPuzzle>(&reread);
        if (!again || again->version != stored->version || again->effect != stored->effect
            || again->semiEffect != stored->semiEffect || !(again->grid.record() == stored->grid.record())
            || again->source.size() != stored->source.size())
            std::abort();

        // As opening does with an accepted file.
        QImage display;
        QImage texture(8, 8, QImage::Format_BGR888);
        texture.fill(Qt::gray);
        Puzzle puzzle(&display, &texture);
        puzzle.adopt(std::move(*stored));
        puzzle.tangle();
    } catch (const UserError &) {
    }
    return 0;
}
