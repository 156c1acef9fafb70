// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the sample puzzle (samples/Sample.nbq) from the sample picture: a 3 x 3 split under the Hidden effect.
#include "Effects.h"
#include "Puzzle.h"
#include "PuzzleDocument.h"
#include "UserError.h"
#include "WorkingBitmap.h"

#include <QGuiApplication>

#include <cstdio>

using namespace quorra;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString picture = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("samples/Sample.jpg");
    const QString output = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("samples/Sample.nbq");
    try {
        QImage display;
        PuzzleDocument document(&display, &concealmentTexture());
        document.loadPicture(picture);
        if (document.puzzle().source().isNull()) {
            std::fprintf(stderr, "make-sample-puzzle: %s holds no picture\n", qPrintable(picture));
            return 1;
        }
        document.setUp(Effect::Hidden, 3, 3, false, false, false);
        document.save(output);
    } catch (const UserError &e) {
        std::fprintf(stderr, "make-sample-puzzle: %s\n", e.what());
        return 1;
    }
    return 0;
}
